// Arbitrary bytes as grid rows: the spreadsheet file equals the plain
// reference writer's, byte for byte, also when it is handed over in pieces,
// and has the table's shape whatever the cells hold (no markup leaks out of a
// cell). Inputs of a few megabytes reach the writer's piece limits.
#include "ReferenceSpreadsheet.h"
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
    if (file != reference::spreadsheet(rows))
        __builtin_trap();
    QByteArray streamed;
    bool longPiece = false;
    if (!writeSpreadsheet(rows, [&](const char *piece, qsizetype length) {
            longPiece = longPiece || length > kSpreadsheetPiece;
            streamed.append(piece, length);
            return true;
        }))
        __builtin_trap();
    if (streamed != file)
        __builtin_trap();
    // A piece longer than the limit only for a cell that does not fit in one.
    if (longPiece && size < size_t(kSpreadsheetPiece / 5))
        __builtin_trap();
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
