// Arbitrary bytes as grid rows: the spreadsheet file has the table's shape
// whatever the cells hold (no markup leaks out of a cell).
#include "addresses/SpreadsheetWriter.h"
#include "platform/Cp1252.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QStringList> rows;
    for (const QByteArray &rowBytes : input.split('\n')) {
        QStringList row;
        for (const QByteArray &cell : rowBytes.split('\t'))
            row << cp1252::decode(cell);
        while (row.size() < 9)
            row << QString();
        rows << row.mid(0, 9);
    }
    const QByteArray file = writeSpreadsheet(rows);
    // The same rows with empty cells: every '<', '>' and '&' of the file must
    // be the writer's own, so the counts cannot depend on what cells hold.
    QList<QStringList> blank(rows.size(), QStringList(9, QString()));
    const QByteArray shape = writeSpreadsheet(blank);
    for (char c : {'<', '>'})
        if (file.count(c) != shape.count(c))
            __builtin_trap();
    if (file.count('&') != file.count("&amp;") + file.count("&lt;") + file.count("&gt;") + shape.count('&'))
        __builtin_trap();
    return 0;
}
