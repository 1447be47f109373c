#pragma once

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
bool saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write);

} // namespace tavolux
