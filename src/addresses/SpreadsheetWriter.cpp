#include "addresses/SpreadsheetWriter.h"

#include "platform/Cp1252.h"

#include <cstring>

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

// Appends one cell: the text trimmed, in the code page, with the three
// markup characters escaped, written straight into the output.
void appendCell(QByteArray &out, const QString &text)
{
    const QStringView value = trimmedView(text);
    constexpr qsizetype open = sizeof kCellOpen - 1;
    constexpr qsizetype close = sizeof kCellClose - 1;
    const qsizetype start = out.size();
    out.resize(start + open + 5 * value.size() + close); // room for the worst case
    char *dst = out.data() + start;
    std::memcpy(dst, kCellOpen, open);
    dst += open;
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
    std::memcpy(dst, kCellClose, close);
    dst += close;
    out.resize(dst - out.constData());
}

} // namespace

QByteArray writeSpreadsheet(const QList<QStringList> &rows)
{
    QByteArray out;
    out.reserve(2048 + rows.size() * 400);
    out += kHead;
    for (const auto &column : kHeader) {
        out += kHeaderCell;
        out += column.width;
        out += '>';
        out += column.title;
        out += kCellClose;
    }
    out += "</tr>";
    for (const QStringList &row : rows) {
        out += "<tr>";
        for (int c = 0; c < kSpreadsheetColumns; ++c)
            appendCell(out, c < row.size() ? row.at(c) : QString());
        out += "</tr>";
    }
    out += kTail;
    return out;
}

} // namespace tavolux
