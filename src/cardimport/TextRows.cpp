#include "cardimport/TextRows.h"

#include "platform/Cp1252.h"

namespace tavolux {

void TextRows::reset(QByteArray text, Fields fields)
{
    clear();
    m_text = std::move(text);
    m_fields = fields;
}

void TextRows::clear()
{
    m_text.clear();
    m_fieldStart.clear();
    m_rowFirst = {0};
    m_rowEnd.clear();
    m_flags.clear();
    m_maxFields = 0;
}

void TextRows::reserve(qsizetype rows, qsizetype fields)
{
    m_rowFirst.reserve(rows + 1);
    m_rowEnd.reserve(rows);
    m_flags.reserve(rows);
    m_fieldStart.reserve(fields);
}

void TextRows::endRow(qsizetype end, bool windows1252, bool readOtherWay)
{
    const int fields = int(m_fieldStart.size() - m_rowFirst.last());
    m_maxFields = qMax(m_maxFields, fields);
    m_rowFirst.append(quint32(m_fieldStart.size()));
    m_rowEnd.append(quint32(end));
    m_flags.append(quint8((windows1252 ? Windows1252 : 0) | (readOtherWay ? OtherWay : 0)));
}

void TextRows::appendRow(const QStringList &values, bool readOtherWay)
{
    for (const QString &value : values) {
        if (m_fieldStart.size() > m_rowFirst.last())
            m_text.append('\0'); // the gap a separator would take
        addField(m_text.size());
        m_text.append(value.toUtf8());
    }
    endRow(m_text.size(), false, readOtherWay);
}

QString TextRows::field(int row, int column) const
{
    QByteArrayView raw = rawField(row, column);
    QByteArray unquoted;
    if (quoted(raw)) {
        // Without its quotes, a doubled quote read as one.
        raw = raw.sliced(1, qMax<qsizetype>(0, raw.size() - 2));
        unquoted.reserve(raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            unquoted.append(raw.at(i));
            if (raw.at(i) == '"' && i + 1 < raw.size() && raw.at(i + 1) == '"')
                ++i;
        }
        raw = unquoted;
    }
    if (windows1252(row))
        return cp1252::decode(raw.data(), int(raw.size()));
    return QString::fromUtf8(raw);
}

QStringList TextRows::row(int row) const
{
    QStringList values;
    const int n = fieldCount(row);
    values.reserve(n);
    for (int c = 0; c < n; ++c)
        values << field(row, c);
    return values;
}

QByteArrayView TextRows::rowBytes(int row) const
{
    const quint32 first = m_rowFirst.at(row);
    const quint32 start = first < m_rowFirst.at(row + 1) ? m_fieldStart.at(first) : m_rowEnd.at(row);
    return QByteArrayView(m_text.constData() + start, qsizetype(m_rowEnd.at(row)) - qsizetype(start));
}

void TextRows::setAllWindows1252()
{
    for (quint8 &flags : m_flags)
        flags = Windows1252;
}

int TextRows::otherWayRows() const
{
    int n = 0;
    for (const quint8 flags : m_flags)
        n += (flags & OtherWay) ? 1 : 0;
    return n;
}

qsizetype TextRows::bytes() const
{
    return m_text.capacity() + (m_fieldStart.capacity() + m_rowFirst.capacity() + m_rowEnd.capacity()) * 4
           + m_flags.capacity();
}

} // namespace tavolux
