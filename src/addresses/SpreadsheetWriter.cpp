#include "addresses/SpreadsheetWriter.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

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

void appendCell(QByteArray &out, const QString &text)
{
    out += kCellOpen;
    const QByteArray bytes = cp1252::encode(trimText(text));
    for (const char c : bytes) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    out += kCellClose;
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
