#include "cardimport/CsvReader.h"

#include "cardimport/TextEncoding.h"

#include <cstring>

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

CsvReader::Result CsvReader::read(QByteArray text, qsizetype start, char separator, TextRows &rows, int maxColumns,
                                  qsizetype maxLine)
{
    m_error.clear();
    m_utf8Rows = 0;
    rows.reset(std::move(text), TextRows::Fields::Csv);
    // What each byte is to the reader, outside quotes and inside them.
    enum : unsigned char { Plain, Separator, Break, Quote, High, Control };
    unsigned char outside[256], inside[256];
    for (int c = 0; c < 256; ++c) {
        const unsigned char kind = c >= 0x80 ? High : c < 32 && c != '\t' && c != '\f' ? Control : Plain;
        outside[c] = inside[c] = kind;
    }
    outside['\n'] = outside['\r'] = Break;
    inside['\n'] = inside['\r'] = Break;
    inside['"'] = Quote;
    outside[static_cast<unsigned char>(separator)] = Separator;
    // Eight bytes at a time where none of them is one of these.
    constexpr quint64 ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    auto hasByte = [](quint64 x, quint64 repeated) {
        const quint64 y = x ^ repeated;
        return ((y - ones) & ~y & highs) != 0;
    };
    auto ordinary = [&](const unsigned char *at, quint64 special) {
        quint64 x;
        std::memcpy(&x, at, 8);
        return ((x & highs) | ((x - 0x20 * ones) & ~x & highs)) == 0 && !hasByte(x, special);
    };
    const quint64 separators = ones * static_cast<unsigned char>(separator);
    const quint64 quotes = ones * '"';
    // The rows keep the text; read it where they hold it.
    const QByteArrayView all = rows.rawText();
    const auto *const base = reinterpret_cast<const unsigned char *>(all.data());
    const unsigned char *p = base + start;
    const unsigned char *const end = base + all.size();
    const unsigned char *lineStart = p;
    qsizetype line = 1;
    auto newLine = [&](const unsigned char *at) {
        if (at - lineStart > maxLine)
            return false;
        lineStart = at + 1;
        return true;
    };
    auto notText = [&] {
        m_error = QStringLiteral("riga %1").arg(line);
        return Result::NotText;
    };
    while (p != end) {
        if (*p == '\n' || *p == '\r') { // a blank line
            if (!newLine(p))
                return notText();
            if (*p == '\n' || p + 1 == end || p[1] != '\n')
                ++line;
            ++p;
            continue;
        }
        const unsigned char *rowStart = p;
        bool high = false;
        int fields = 0;
        for (;;) {
            rows.addField(p - base);
            if (++fields > maxColumns) {
                m_error = QStringLiteral("più di %1 colonne (riga %2)").arg(maxColumns).arg(line);
                return Result::Damaged;
            }
            if (p != end && *p == '"') {
                // A quoted field: up to the quote that is not doubled.
                const qsizetype startLine = line;
                ++p;
                for (;;) {
                    while (end - p >= 8 && ordinary(p, quotes))
                        p += 8;
                    while (p != end && inside[*p] == Plain)
                        ++p;
                    if (p == end) {
                        m_error = QStringLiteral("virgolette non chiuse (riga %1)").arg(startLine);
                        return Result::Damaged;
                    }
                    const unsigned char kind = inside[*p];
                    if (kind == Quote) {
                        if (++p != end && *p == '"') {
                            ++p;
                            continue;
                        }
                        break;
                    }
                    if (kind == High) {
                        high = true;
                    } else if (kind == Break) {
                        if (!newLine(p))
                            return notText();
                        line += *p == '\n' ? 1 : 0;
                    } else {
                        return notText();
                    }
                    ++p;
                }
                if (p != end && *p != separator && *p != '\n' && *p != '\r') {
                    m_error = QStringLiteral("testo dopo le virgolette di chiusura (riga %1)").arg(line);
                    return Result::Damaged;
                }
            } else {
                // An unquoted run up to the next separator or line break; quotes in it are text.
                for (;;) {
                    while (end - p >= 8 && ordinary(p, separators))
                        p += 8;
                    while (p != end && outside[*p] == Plain)
                        ++p;
                    if (p == end || outside[*p] != High)
                        break;
                    high = true;
                    ++p;
                }
                if (p != end && outside[*p] == Control)
                    return notText();
            }
            if (p != end && *p == static_cast<unsigned char>(separator)) {
                ++p;
                continue;
            }
            break;
        }
        const bool windows1252 = high && !isUtf8(reinterpret_cast<const char *>(rowStart), p - rowStart);
        m_utf8Rows += high && !windows1252 ? 1 : 0;
        rows.endRow(p - base, windows1252, windows1252);
        if (p != end) {
            if (!newLine(p))
                return notText();
            if (*p == '\r' && p + 1 != end && p[1] == '\n')
                ++p;
            ++p;
            ++line;
        }
    }
    if (end - lineStart > maxLine)
        return notText();
    return Result::Ok;
}

} // namespace tavolux
