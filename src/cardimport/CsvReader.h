#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// Comma-separated values as RFC 4180 has them: records end at CR LF, LF or
// CR; a field in double quotes may hold separators, line breaks and doubled
// quotes. Blank lines are no records.
class CsvReader
{
public:
    // The separator of the first record: ';', ',' or tab, whichever occurs
    // most outside quotes (';' first, then ',', then tab on a tie; ',' when
    // there is none).
    static QChar detectSeparator(QStringView text);

    // Reads every record of `text`; false, with errorString(), when a quoted
    // field never ends or a closing quote is followed by other text.
    bool read(QStringView text, QChar separator);

    const QList<QStringList> &rows() const { return m_rows; }
    QList<QStringList> takeRows() { return std::move(m_rows); }
    QString errorString() const { return m_error; }

private:
    QList<QStringList> m_rows;
    QString m_error;
};

} // namespace tavolux
