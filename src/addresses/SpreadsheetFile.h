#pragma once

#include "workbook/WorkbookWriter.h"

#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tavolux {

// Writes the spreadsheet of `rows` (see writeSpreadsheet) to the file at
// `path`. The new file replaces the old one only when it is written whole;
// where no new file can be made in the folder but the file itself may be
// written, it is written in place. False on any failure.
bool saveSpreadsheet(const QString &path, const QList<QStringList> &rows);

// The same for a file that `write` makes, handing its bytes to the sink it is given.
using SpreadsheetSink = std::function<bool(const char *, qsizetype)>;
bool saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write,
                     QFileDevice::FileError *error = nullptr);

// Writes the .xlsx workbook of `sheet` (see writeWorkbook) to the file at
// `path`: the workbook is made whole in a private temporary folder first and
// then saved as above, so that the old file is replaced only by a whole new
// one (or, in a folder where no new file can be made, written in place).
// The reason of a failure comes back in Italian.
WorkbookResult saveWorkbook(const QString &path, const WorkbookSheet &sheet);

} // namespace tavolux
