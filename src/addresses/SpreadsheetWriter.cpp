#include "addresses/SpreadsheetWriter.h"

#include "platform/Cp1252.h"

#include <cstring>
#include <vector>

namespace tavolux {

namespace {

const char kHead[] =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\""
    " xmlns:x=\"urn:schemas-microsoft-com:office:excel\""
    " xmlns=\"http://www.w3.org/TR/REC-html40\">"
    "<head>"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<!--[if gte mso 9]><xml>"
    "<x:ExcelWorkbook>"
    "<x:ExcelWorksheets>"
    "<x:ExcelWorksheet>"
    "<x:Name>Archivio Indirizzi</x:Name>"
    "<x:WorksheetOptions>"
    "<x:Selected/>"
    "<x:Panes>"
    "<x:Pane>"
    "<x:Number>1</x:Number>"
    "<x:ActiveRow>3</x:ActiveRow>"
    "</x:Pane>"
    "</x:Panes>"
    "<x:ProtectContents>False</x:ProtectContents>"
    "<x:ProtectObjects>False</x:ProtectObjects>"
    "<x:ProtectScenarios>False</x:ProtectScenarios>"
    "</x:WorksheetOptions>"
    "</x:ExcelWorksheet>"
    "</x:ExcelWorksheets>"
    "</x:ExcelWorkbook>"
    "</xml><![endif]-->"
    "</head>"
    "<body>"
    "<table x:str>"
    "<tr>";

const char kHeaderCell[] = "<td style=\"text-align: left; font-weight: bold;\" width=";

const struct {
    const char *width;
    const char *title;
} kHeader[kSpreadsheetColumns] = {
    {"300", "Nome etichetta"},
    {"250", "Tipo"},
    {"450", "Indirizzo (rigo 1)"},
    {"450", "Indirizzo (rigo 2)"},
    {"450", "Indirizzo (rigo 3)"},
    {"450", "Indirizzo (rigo 4)"},
    {"450", "Indirizzo (rigo 5)"},
    {"450", "Indirizzo (rigo 6)"},
    {"350", "Note"},
};

const char kCellOpen[] = "<td style=\"text-align: left;\">";
const char kCellClose[] = "</td>";
const char kTail[] = "</table></body></html>";

QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

// Writes one cell at dst: the text trimmed, in the code page, with the three
// markup characters escaped. Returns the end of what it wrote.
char *putCell(char *dst, const QString &text)
{
    const QStringView value = trimmedView(text);
    std::memcpy(dst, kCellOpen, sizeof kCellOpen - 1);
    dst += sizeof kCellOpen - 1;
    const char16_t *p = value.utf16();
    const char16_t *end = p + value.size();
    for (; p != end; ++p) {
        char c;
        if (*p < 0x80) {
            c = char(*p);
        } else {
            // A surrogate pair is one character and becomes one '?'.
            if (QChar::isHighSurrogate(*p) && p + 1 != end && QChar::isLowSurrogate(p[1]))
                ++p;
            c = cp1252::encodeChar(*p);
        }
        switch (c) {
        case '&': std::memcpy(dst, "&amp;", 5); dst += 5; break;
        case '<': std::memcpy(dst, "&lt;", 4); dst += 4; break;
        case '>': std::memcpy(dst, "&gt;", 4); dst += 4; break;
        default: *dst++ = c;
        }
    }
    std::memcpy(dst, kCellClose, sizeof kCellClose - 1);
    return dst + sizeof kCellClose - 1;
}

char *put(char *dst, const char *text)
{
    const size_t length = std::strlen(text);
    std::memcpy(dst, text, length);
    return dst + length;
}

} // namespace

bool writeSpreadsheet(const QList<QStringList> &rows, const std::function<bool(const char *, qsizetype)> &sink)
{
    // One buffer, reused: each row is written straight into it, after making
    // room for its worst case (every character escaped as "&amp;").
    constexpr qsizetype kPiece = 1 << 20;
    constexpr qsizetype kRowTags = 9 + kSpreadsheetColumns * qsizetype(sizeof kCellOpen + sizeof kCellClose);
    std::vector<char> buffer(size_t(kPiece + 4096 + sizeof kHead));
    char *begin = buffer.data();
    char *dst = begin;
    auto flush = [&] {
        const bool ok = dst == begin || sink(begin, dst - begin);
        dst = begin;
        return ok;
    };
    dst = put(dst, kHead);
    for (const auto &column : kHeader) {
        dst = put(dst, kHeaderCell);
        dst = put(dst, column.width);
        *dst++ = '>';
        dst = put(dst, column.title);
        dst = put(dst, kCellClose);
    }
    dst = put(dst, "</tr>");
    static const QString empty;
    for (const QStringList &row : rows) {
        qsizetype need = kRowTags;
        for (int c = 0; c < kSpreadsheetColumns && c < row.size(); ++c)
            need += 5 * row.at(c).size();
        if ((dst - begin) + need > qsizetype(buffer.size())) {
            if (!flush())
                return false;
            if (need > qsizetype(buffer.size())) { // a row longer than a piece
                buffer.resize(size_t(need));
                dst = begin = buffer.data();
            }
        }
        dst = put(dst, "<tr>");
        for (int c = 0; c < kSpreadsheetColumns; ++c)
            dst = putCell(dst, c < row.size() ? row.at(c) : empty);
        dst = put(dst, "</tr>");
    }
    dst = put(dst, kTail);
    return flush();
}

QByteArray writeSpreadsheet(const QList<QStringList> &rows)
{
    QByteArray out;
    writeSpreadsheet(rows, [&out](const char *data, qsizetype size) {
        out.append(data, size);
        return true;
    });
    return out;
}

} // namespace tavolux
