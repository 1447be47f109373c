#include "cardimport/CsvReader.h"

#include "cardimport/TextEncoding.h"

namespace tavolux {

char CsvReader::detectSeparator(QByteArrayView text)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    bool fieldStart = true; // a quote opens a field only at its start
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text.at(i + 1) == '"')
                    ++i;
                else
                    quoted = false;
            }
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        if (c == '\n' || c == '\r') {
            if (semicolons + commas + tabs > 0)
                break;
            fieldStart = true;
        } else if (c == ';') {
            ++semicolons;
            fieldStart = true;
        } else if (c == ',') {
            ++commas;
            fieldStart = true;
        } else if (c == '\t') {
            ++tabs;
            fieldStart = true;
        }
    }
    if (semicolons >= commas && semicolons >= tabs && semicolons > 0)
        return ';';
    if (commas >= tabs && commas > 0)
        return ',';
    if (tabs > 0)
        return '\t';
    return ',';
}

bool CsvReader::read(QByteArray text, qsizetype start, char separator, TextRows &rows, int maxColumns)
{
    m_error.clear();
    m_utf8Rows = 0;
    rows.reset(std::move(text), TextRows::Fields::Csv);
    // The rows keep the text; read it where they hold it.
    const QByteArrayView all = rows.rawText();
    const char *const base = all.data();
    const char *p = base + start;
    const char *const end = base + all.size();
    qsizetype line = 1;
    while (p != end) {
        if (*p == '\n' || *p == '\r') { // a blank line
            if (*p == '\n')
                ++line;
            else if (p + 1 == end || p[1] != '\n')
                ++line;
            ++p;
            continue;
        }
        const char *rowStart = p;
        unsigned char high = 0; // the bits of every byte: 0x80 when one is not ASCII
        int fields = 0;
        for (;;) {
            rows.addField(p - base);
            if (++fields > maxColumns) {
                m_error = QStringLiteral("più di %1 colonne (riga %2)").arg(maxColumns).arg(line);
                return false;
            }
            if (p != end && *p == '"') {
                // A quoted field: up to the quote that is not doubled.
                const qsizetype startLine = line;
                ++p;
                for (;;) {
                    if (p == end) {
                        m_error = QStringLiteral("virgolette non chiuse (riga %1)").arg(startLine);
                        return false;
                    }
                    const char c = *p++;
                    high |= static_cast<unsigned char>(c);
                    if (c == '"') {
                        if (p != end && *p == '"') {
                            ++p;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++line;
                }
                if (p != end && *p != separator && *p != '\n' && *p != '\r') {
                    m_error = QStringLiteral("testo dopo le virgolette di chiusura (riga %1)").arg(line);
                    return false;
                }
            } else {
                // An unquoted run up to the next separator or line break; quotes in it are text.
                while (p != end) {
                    const char c = *p;
                    if (c == separator || c == '\n' || c == '\r')
                        break;
                    high |= static_cast<unsigned char>(c);
                    ++p;
                }
            }
            if (p != end && *p == separator) {
                ++p;
                continue;
            }
            break;
        }
        const bool windows1252 = (high & 0x80) && !isUtf8(rowStart, p - rowStart);
        m_utf8Rows += (high & 0x80) && !windows1252 ? 1 : 0;
        rows.endRow(p - base, windows1252, windows1252);
        if (p != end) {
            if (*p == '\r' && p + 1 != end && p[1] == '\n')
                ++p;
            ++p;
            ++line;
        }
    }
    return true;
}

} // namespace tavolux
