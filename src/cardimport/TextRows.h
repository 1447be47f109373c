#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// The rows of an imported file, kept compactly: its text once, as bytes, and
// for each field the offset where the field begins. A field ends one byte
// before the next field of its row begins (the separator), the last one at
// the row's end. Each row's bytes are UTF-8 or Windows-1252, as marked.
class TextRows
{
public:
    // CSV fields that begin with a double quote are quoted ("" inside for one
    // quote); verbatim fields are their bytes as they stand.
    enum class Fields { Csv, Verbatim };

    void reset(QByteArray text, Fields fields);
    void clear();

    // While reading: a row's fields in turn, then the row's end.
    void addField(qsizetype start) { m_fieldStart.append(quint32(start)); }
    void endRow(qsizetype end, bool windows1252, bool readOtherWay);
    // Appends a verbatim row of values to the text (the rows made from vCards).
    void appendRow(const QStringList &values, bool readOtherWay);
    void reserve(qsizetype rows, qsizetype fields);

    int size() const { return int(m_rowEnd.size()); }
    bool isEmpty() const { return m_rowEnd.isEmpty(); }
    int fieldCount(int row) const { return int(m_rowFirst.at(row + 1) - m_rowFirst.at(row)); }
    int maxFieldCount() const { return m_maxFields; }

    // The bytes of field `column` of `row` as the file has them, quotes
    // included; empty past the row's last field.
    QByteArrayView rawField(int row, int column) const
    {
        const quint32 next = m_rowFirst.constData()[row + 1];
        const quint32 index = m_rowFirst.constData()[row] + quint32(column);
        if (column < 0 || index >= next)
            return {};
        const quint32 start = m_fieldStart.constData()[index];
        const quint32 end = index + 1 < next ? m_fieldStart.constData()[index + 1] - 1 : m_rowEnd.constData()[row];
        return QByteArrayView(m_text.constData() + start, qsizetype(end) - qsizetype(start));
    }
    bool quoted(QByteArrayView raw) const { return m_fields == Fields::Csv && raw.startsWith('"'); }
    // Whether the row's bytes are Windows-1252 (else UTF-8).
    bool windows1252(int row) const { return m_flags.at(row) & Windows1252; }
    // Whether the row was read as Windows-1252 in a file that is otherwise UTF-8.
    bool readOtherWay(int row) const { return m_flags.at(row) & OtherWay; }

    QString field(int row, int column) const;
    QStringList row(int row) const;

    // The whole text, and the bytes of one row (its fields and separators).
    QByteArrayView rawText() const { return m_text; }
    QByteArrayView rowBytes(int row) const;
    // Reads every row as Windows-1252 (the file's encoding, chosen or found).
    void setAllWindows1252();
    // Rows read as Windows-1252 in a file that is otherwise UTF-8.
    int otherWayRows() const;

    // Bytes held for the rows, the text included.
    qsizetype bytes() const;

private:
    enum Flag : quint8 { Windows1252 = 1, OtherWay = 2 };

    QByteArray m_text;
    Fields m_fields = Fields::Csv;
    QList<quint32> m_fieldStart;
    QList<quint32> m_rowFirst{0}; // index of each row's first field, then the total
    QList<quint32> m_rowEnd;
    QList<quint8> m_flags;
    int m_maxFields = 0;
};

} // namespace tavolux
