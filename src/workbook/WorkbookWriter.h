#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tavolux {

// One column of the sheet: its header and its width on screen, in pixels.
struct WorkbookColumn
{
    QString header;
    int pixels = 0;
};

// One sheet: a bold header row, then `rows` rows whose cells `cell` hands out
// one at a time (columns 0 to columns.size() - 1, row 0 is the first under
// the header).
struct WorkbookSheet
{
    QString name;
    QList<WorkbookColumn> columns;
    qsizetype rows = 0;
    std::function<QString(qsizetype row, int column)> cell;
};

// What became of a write: ok, or why not and what the user may do about it,
// each a sentence in Italian.
struct WorkbookResult
{
    bool ok = true;
    QString message;
    QString remedy;
};

// The failure of the working files in the system's temporary folder.
WorkbookResult scratchFailure();
// The remedy for a disk that may be full.
QString freeDiskRemedy();

// Writes `sheet` as an .xlsx workbook of that one sheet to the file at `path`,
// creating or emptying it. Every cell, the header's included, is a text cell
// (number format "@") holding exactly the text given, so nothing is read as a
// number, a date or a formula. `scratch` is a folder for the library's own
// working files (empty: the system's temporary folder). On failure the file
// at `path` may be incomplete or missing.
WorkbookResult writeWorkbook(const QString &path, const WorkbookSheet &sheet, const QString &scratch = QString());

// The same for rows held as lists (missing cells count as empty).
WorkbookResult writeWorkbook(const QString &path, const QString &name, const QList<WorkbookColumn> &columns,
                             const QList<QStringList> &rows, const QString &scratch = QString());

// The spreadsheet library's file, loaded when the next workbook is written:
// by default the one the program was built against. A test names a missing
// one to see the failure; an empty name goes back to the default.
void setWorkbookLibrary(const QString &fileName);

// The most text one cell may hold, and the most rows under the header.
inline constexpr int kWorkbookMaxCell = 32767;
inline constexpr qsizetype kWorkbookMaxRows = 1048575;

} // namespace tavolux
