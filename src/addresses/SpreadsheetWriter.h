#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

#include <functional>

namespace tavolux {

// The spreadsheet export: an HTML table that spreadsheet programs open as the
// worksheet "Archivio Indirizzi". Each row holds the nine exported columns
// (name, type, six lines, note); missing cells count as empty. The result is
// the file's bytes: one line, Windows-1252, no byte-order mark. Cell text is
// trimmed and & < > are written as entities, so every cell opens as given; a
// cell that begins with '=' is marked as text, so that it is not run as a formula.
QByteArray writeSpreadsheet(const QList<QStringList> &rows);

// The same bytes handed to `sink` in pieces of at most kSpreadsheetPiece bytes
// (longer only for a single cell that does not fit in one), so that a file can
// be written as it is made; false as soon as the sink refuses a piece.
bool writeSpreadsheet(const QList<QStringList> &rows, const std::function<bool(const char *, qsizetype)> &sink);

// One cell as the writer takes it: the text, or, where `text` is null, the
// value as Windows-1252 bytes (written as their text would be).
struct SpreadsheetCell
{
    const QString *text = nullptr;
    QByteArrayView bytes;
};

// The same file from `rows` rows whose cells `cell` hands out one at a time
// (columns 0 to 8), without the rows ever being held as text.
bool writeSpreadsheet(qsizetype rows, const std::function<SpreadsheetCell(qsizetype row, int column)> &cell,
                      const std::function<bool(const char *, qsizetype)> &sink);

inline constexpr int kSpreadsheetColumns = 9;
inline constexpr qsizetype kSpreadsheetPiece = qsizetype(1) << 20;

} // namespace tavolux
