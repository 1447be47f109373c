#pragma once

#include "cardimport/TextRows.h"

#include <QByteArray>
#include <QString>

namespace tavolux {

// Comma-separated values as RFC 4180 has them, read on the bytes of a file in
// UTF-8 or Windows-1252: records end at CR LF, LF or CR; a field in double
// quotes may hold separators, line breaks and doubled quotes. Blank lines are
// no records.
class CsvReader
{
public:
    // The separator of the first record: ';', ',' or tab, whichever occurs
    // most outside quotes (';' first, then ',', then tab on a tie; ',' when
    // there is none).
    static char detectSeparator(QByteArrayView text);

    // Reads every record of `text` from byte `start` into `rows`, which keeps
    // the text. A record that is not valid UTF-8 is marked as Windows-1252.
    // Damaged, with errorString(), when a quoted field never ends, a closing
    // quote is followed by other text, or a record has more than `maxColumns`
    // fields; NotText at a control character other than tab, form feed and
    // line breaks, or a line longer than `maxLine` bytes.
    enum class Result { Ok, Damaged, NotText };
    Result read(QByteArray text, qsizetype start, char separator, TextRows &rows, int maxColumns,
                qsizetype maxLine);

    QString errorString() const { return m_error; }
    // Records that are not ASCII but valid UTF-8 (those that are not, the
    // rows count as read the other way).
    int utf8Rows() const { return m_utf8Rows; }

private:
    QString m_error;
    int m_utf8Rows = 0;
};

} // namespace tavolux
