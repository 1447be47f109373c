#include "addresses/SpreadsheetWriter.h"

#include "platform/Cp1252.h"

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

void appendCell(QByteArray &out, QByteArray &scratch, const QString &text)
{
    out.append(kCellOpen, sizeof kCellOpen - 1);
    scratch.clear();
    cp1252::appendEncoded(scratch, trimmedView(text));
    // Copy runs of plain bytes at once; escape the three markup characters.
    const char *p = scratch.constData();
    const char *end = p + scratch.size();
    const char *run = p;
    for (; p != end; ++p) {
        const char *entity = nullptr;
        switch (*p) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        default: continue;
        }
        out.append(run, p - run);
        out.append(entity);
        run = p + 1;
    }
    out.append(run, end - run);
    out.append(kCellClose, sizeof kCellClose - 1);
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
    QByteArray scratch;
    for (const QStringList &row : rows) {
        out += "<tr>";
        for (int c = 0; c < kSpreadsheetColumns; ++c)
            appendCell(out, scratch, c < row.size() ? row.at(c) : QString());
        out += "</tr>";
    }
    out += kTail;
    return out;
}

} // namespace tavolux
