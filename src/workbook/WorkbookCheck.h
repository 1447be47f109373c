#pragma once

#include <QByteArray>
#include <QString>

namespace tavolux {

// Reads back an .xlsx file as written by writeWorkbook, a piece at a time
// through minizip: every part of the zip inflates to its recorded size and
// checksum and ends with the close of its root element, and the first sheet
// holds `rows` rows. The library behind the writer does not see a failed
// write to its working files (full disk, size limit), and then makes a
// well-formed zip of cut parts: this is what tells. Empty when whole, else
// what is wrong (for the log, not for the user).
QString checkWorkbook(const QString &path, qsizetype rows);

// The text of the part `name` of an .xlsx file ("xl/workbook.xml"); empty
// when missing or damaged.
QByteArray workbookPart(const QString &path, const QByteArray &name);

} // namespace tavolux
