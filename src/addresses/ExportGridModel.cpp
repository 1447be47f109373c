#include "addresses/ExportGridModel.h"

#include "platform/Cp1252.h"
#include "storage/AddressArchive.h"
#include "storage/TCampo250.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

namespace tavolux {

namespace {

const struct {
    const char *header;
    int width;
    bool editable;
} kColumns[ExportGridModel::ColumnCount] = {
    {"N.", 60, false},
    {"Nome etichetta", 250, false},
    {"Tipo", 200, false},
    {"Indirizzo (rigo 1)", 280, false},
    {"Indirizzo (rigo 2)", 280, false},
    {"Indirizzo (rigo 3)", 280, false},
    {"Indirizzo (rigo 4)", 280, true},
    {"Indirizzo (rigo 5)", 280, false},
    {"Indirizzo (rigo 6)", 280, true},
    {"Note", 350, true},
};

bool validColumn(int column)
{
    return column >= 0 && column < ExportGridModel::ColumnCount;
}

} // namespace

ExportGridModel::ExportGridModel(int emptyRows, QObject *parent)
    : QAbstractTableModel(parent), m_rows(emptyRows)
{
}

QString ExportGridModel::header(int column)
{
    return validColumn(column) ? QString::fromUtf8(kColumns[column].header) : QString();
}

int ExportGridModel::width(int column)
{
    return validColumn(column) ? kColumns[column].width : 0;
}

bool ExportGridModel::editable(int column)
{
    return validColumn(column) && kColumns[column].editable;
}

ExportGridModel::Load ExportGridModel::load(const ProgramFolder &folder)
{
    // Out of memory is a failed load like any other: the rows stay.
    try {
        return loadRows(folder);
    } catch (const std::bad_alloc &) {
        return Load::Failed;
    }
}

ExportGridModel::Load ExportGridModel::loadRows(const ProgramFolder &folder)
{
    AddressArchive archive(folder);
    if (!archive.open())
        return Load::Failed;
    const qint64 count = archive.count();
    if (count <= 0 || count > std::numeric_limits<int>::max())
        return Load::Failed;

    // Read in parts at once into one buffer sized from the fields' lengths;
    // each row's start is first where it lies in its part's bytes.
    LargeArray<qint64> starts(count);
    LargeArray<quint8> lengths(count * FieldColumns);
    PartedBuffer read = archive.readIntoBuffer(
        count,
        [](const char *record) -> qint64 {
            qint64 bytes = 0;
            for (int field = TSchedaIndirizzo::Nome; field <= TSchedaIndirizzo::Note; ++field)
                bytes += std::min(int(static_cast<unsigned char>(record[field * TCampo250::Size])), TCampo250::MaxText);
            return bytes;
        },
        [&starts, &lengths](int, qint64 position, const char *record, char *out, qint64 offset) -> qint64 {
            const qsizetype index = qsizetype(position - 1);
            starts[index] = offset;
            quint8 *length = lengths.data() + index * FieldColumns;
            char *at = out;
            for (int field = TSchedaIndirizzo::Nome; field <= TSchedaIndirizzo::Note; ++field) {
                // As the field reads: its first L bytes, trimmed of codes 32 and below.
                const char *campo = record + field * TCampo250::Size;
                const int stored = std::min(int(static_cast<unsigned char>(campo[0])), TCampo250::MaxText);
                int begin = 1, end = 1 + stored;
                while (begin < end && static_cast<unsigned char>(campo[begin]) <= 32)
                    ++begin;
                while (end > begin && static_cast<unsigned char>(campo[end - 1]) <= 32)
                    --end;
                std::memcpy(at, campo + begin, size_t(end - begin));
                at += end - begin;
                *length++ = quint8(end - begin);
            }
            return at - out;
        });
    archive.close();
    // A lock that was not given in time: nothing of this reading is shown.
    if (!read.ok && archive.systemError() == EBUSY)
        return Load::Busy;
    if (read.read == 0)
        return Load::Failed;
    // The rows of the parts read without a gap from the first, shifted to
    // where their part landed.
    qint64 index = 0;
    for (size_t part = 0; part < read.records.size(); ++part) {
        for (const qint64 end = index + read.records[part]; index < end; ++index)
            starts[index] += read.starts[part];
    }
    starts.truncate(read.read);
    lengths.truncate(read.read * FieldColumns);
    QByteArray text = std::move(read.bytes);

    beginResetModel();
    m_text = std::move(text);
    m_rowStarts = std::move(starts);
    m_lengths = std::move(lengths);
    m_rows = int(m_rowStarts.size());
    m_numbered = true;
    m_edits.clear();
    endResetModel();
    return read.ok ? Load::Done : Load::Failed;
}

QByteArrayView ExportGridModel::fieldBytes(int row, int field) const
{
    if (!m_numbered || row < 0 || row >= m_rowStarts.size())
        return {};
    const quint8 *lengths = m_lengths.data() + qsizetype(row) * FieldColumns;
    qint64 start = m_rowStarts[row];
    for (int f = 0; f < field; ++f)
        start += lengths[f];
    return QByteArrayView(m_text.constData() + start, lengths[field]);
}

QString ExportGridModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows || !validColumn(column))
        return {};
    if (column == 0)
        return m_numbered ? QString::number(row + 1) : QString();
    if (kColumns[column].editable && !m_edits.isEmpty()) {
        const auto edit = m_edits.constFind(editKey(row, column));
        if (edit != m_edits.constEnd())
            return *edit;
    }
    const QByteArrayView bytes = fieldBytes(row, column - 1);
    return bytes.isEmpty() ? QString() : cp1252::decode(bytes.data(), int(bytes.size()));
}

SpreadsheetCell ExportGridModel::exportCell(qsizetype row, int column) const
{
    if (kColumns[column].editable && !m_edits.isEmpty()) {
        const auto edit = m_edits.constFind(editKey(int(row), column));
        if (edit != m_edits.constEnd())
            return {&*edit, {}};
    }
    return {nullptr, fieldBytes(int(row), column - 1)};
}

bool ExportGridModel::writeSpreadsheet(const std::function<bool(const char *, qsizetype)> &sink) const
{
    return tavolux::writeSpreadsheet(
        m_rows, [this](qsizetype row, int column) { return exportCell(row, column + 1); }, sink);
}

qint64 ExportGridModel::heldBytes() const
{
    qint64 edits = 0;
    for (const QString &edit : m_edits)
        edits += qint64(sizeof(QString)) + edit.capacity() * 2 + 16;
    return m_text.capacity() + qint64(m_rowStarts.capacity() * sizeof(qint64)) + qint64(m_lengths.capacity()) + edits;
}

int ExportGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ExportGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ExportGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row(), index.column());
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && validColumn(section))
        return header(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ExportGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (editable(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ExportGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !editable(index.column()) || index.row() >= m_rows)
        return false;
    m_edits.insert(editKey(index.row(), index.column()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

} // namespace tavolux
