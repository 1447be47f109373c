#pragma once

#include "platform/FileSave.h"
#include "workbook/WorkbookWriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tavolux {

// Writes the spreadsheet of `rows` (see writeSpreadsheet) to the file at
// `path`, as saveFile() replaces a file. False on any failure.
bool saveSpreadsheet(const QString &path, const QList<QStringList> &rows);

// The same for a file that `write` makes, handing its bytes to the sink it is
// given (more than once where the file is written in place).
using SpreadsheetSink = ByteSink;
FileSaveResult saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write);

// The prefix of the working folders of the .xlsx export in the system's
// temporary folder.
QString workbookScratchPrefix();

// Writes the .xlsx workbook of `sheet` (see writeWorkbook) to the file at
// `path`: the workbook is made whole in a working folder of its own in the
// system's temporary folder (which also removes those that killed exports
// left), then saved as above. The reason of a failure comes back in Italian.
WorkbookResult saveWorkbook(const QString &path, const WorkbookSheet &sheet);

} // namespace tavolux
