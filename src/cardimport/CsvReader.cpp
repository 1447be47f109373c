#include "cardimport/CsvReader.h"

namespace tavolux {

QChar CsvReader::detectSeparator(QStringView text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    bool fieldStart = true; // a quote opens a field only at its start
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                    ++i;
                else
                    quoted = false;
            }
            continue;
        }
        if (c == QLatin1Char('"') && fieldStart) {
            quoted = true;
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (semicolons + commas + tabs > 0)
                break;
            fieldStart = true;
        } else if (c == QLatin1Char(';')) {
            ++semicolons;
            fieldStart = true;
        } else if (c == QLatin1Char(',')) {
            ++commas;
            fieldStart = true;
        } else if (c == QLatin1Char('\t')) {
            ++tabs;
            fieldStart = true;
        }
    }
    if (semicolons >= commas && semicolons >= tabs && semicolons > 0)
        return QLatin1Char(';');
    if (commas >= tabs && commas > 0)
        return QLatin1Char(',');
    if (tabs > 0)
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

bool CsvReader::read(QStringView text, QChar separator)
{
    m_rows.clear();
    m_error.clear();
    const QChar *p = text.data();
    const QChar *const end = p + text.size();
    const char16_t sep = separator.unicode();
    QStringList row;
    QString field;
    qsizetype line = 1;
    bool rowHasData = false;
    auto endRow = [&] {
        if (rowHasData || !row.isEmpty()) {
            row.append(field);
            m_rows.append(std::move(row));
            row = QStringList();
            if (!m_rows.isEmpty())
                row.reserve(m_rows.last().size());
        }
        field.clear();
        rowHasData = false;
    };
    while (p != end) {
        const char16_t c = p->unicode();
        if (c == u'"' && field.isEmpty()) {
            // A quoted field: up to the quote that is not doubled.
            const qsizetype startLine = line;
            ++p;
            const QChar *runStart = p;
            for (;;) {
                if (p == end) {
                    m_error = QStringLiteral("virgolette non chiuse (riga %1)").arg(startLine);
                    return false;
                }
                if (p->unicode() == u'"') {
                    field.append(runStart, p - runStart);
                    if (p + 1 != end && p[1].unicode() == u'"') {
                        field.append(QLatin1Char('"'));
                        p += 2;
                        runStart = p;
                        continue;
                    }
                    ++p;
                    break;
                }
                if (p->unicode() == u'\n')
                    ++line;
                ++p;
            }
            rowHasData = true;
            if (p != end && p->unicode() != sep && p->unicode() != u'\n' && p->unicode() != u'\r') {
                m_error = QStringLiteral("testo dopo le virgolette di chiusura (riga %1)").arg(line);
                return false;
            }
            continue;
        }
        if (c == sep) {
            row.append(field);
            field.clear();
            rowHasData = true;
            ++p;
            continue;
        }
        if (c == u'\n' || c == u'\r') {
            endRow();
            ++line;
            if (c == u'\r' && p + 1 != end && p[1].unicode() == u'\n')
                ++p;
            ++p;
            continue;
        }
        // An unquoted run up to the next separator or line break; quotes in it are text.
        const QChar *runStart = p;
        while (p != end) {
            const char16_t d = p->unicode();
            if (d == sep || d == u'\n' || d == u'\r')
                break;
            ++p;
        }
        field.append(runStart, p - runStart);
        rowHasData = true;
    }
    endRow();
    return true;
}

} // namespace tavolux
