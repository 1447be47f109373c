#pragma once

// The spreadsheet file written the plain way, piece by piece into one growing
// array: what the fast writer's output must equal byte for byte.
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace reference {

inline QByteArray cellText(const QString &text)
{
    QByteArray bytes = tavolux::cp1252::encode(tavolux::trimText(text));
    bytes.replace("&", "&amp;");
    bytes.replace("<", "&lt;");
    bytes.replace(">", "&gt;");
    return bytes;
}

inline QByteArray spreadsheet(const QList<QStringList> &rows)
{
    QByteArray out;
    out += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"";
    out += " xmlns:x=\"urn:schemas-microsoft-com:office:excel\"";
    out += " xmlns=\"http://www.w3.org/TR/REC-html40\">";
    for (const char *piece :
         {"<head>", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">",
          "<!--[if gte mso 9]><xml>", "<x:ExcelWorkbook>", "<x:ExcelWorksheets>", "<x:ExcelWorksheet>",
          "<x:Name>Archivio Indirizzi</x:Name>", "<x:WorksheetOptions>", "<x:Selected/>", "<x:Panes>", "<x:Pane>",
          "<x:Number>1</x:Number>", "<x:ActiveRow>3</x:ActiveRow>", "</x:Pane>", "</x:Panes>",
          "<x:ProtectContents>False</x:ProtectContents>", "<x:ProtectObjects>False</x:ProtectObjects>",
          "<x:ProtectScenarios>False</x:ProtectScenarios>", "</x:WorksheetOptions>", "</x:ExcelWorksheet>",
          "</x:ExcelWorksheets>", "</x:ExcelWorkbook>", "</xml><![endif]-->", "</head>", "<body>", "<table x:str>",
          "<tr>"})
        out += piece;
    const QList<QPair<const char *, const char *>> header{
        {"300", "Nome etichetta"},     {"250", "Tipo"},
        {"450", "Indirizzo (rigo 1)"}, {"450", "Indirizzo (rigo 2)"},
        {"450", "Indirizzo (rigo 3)"}, {"450", "Indirizzo (rigo 4)"},
        {"450", "Indirizzo (rigo 5)"}, {"450", "Indirizzo (rigo 6)"},
        {"350", "Note"},
    };
    for (const auto &column : header) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += column.first;
        out += ">";
        out += column.second;
        out += "</td>";
    }
    out += "</tr>";
    for (const QStringList &row : rows) {
        out += "<tr>";
        for (int c = 0; c < 9; ++c) {
            const QString text = tavolux::trimText(row.value(c));
            out += text.startsWith(QLatin1Char('='))
                       ? "<td style=\"text-align: left;\" x:str sdnum=\"1040;0;@\">"
                       : "<td style=\"text-align: left;\">";
            out += cellText(text);
            out += "</td>";
        }
        out += "</tr>";
    }
    out += "</table>";
    out += "</body>";
    out += "</html>";
    return out;
}

} // namespace reference
