#include "addresses/ExportGridModel.h"

#include "platform/Cp1252.h"
#include "platform/LargePages.h"
#include "storage/AddressArchive.h"
#include "storage/TCampo250.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

bool ExportGridModel::load(const ProgramFolder &folder)
{
    AddressArchive archive(folder);
    if (!archive.open())
        return false;
    const qint64 count = archive.count();
    if (count <= 0 || count > std::numeric_limits<int>::max())
        return false;

    // Room for the longest cards: pages never touched cost no memory, and
    // the buffer never moves while it fills. A big archive fills it on large
    // pages; a small one would leave most of each large page unused.
    constexpr qint64 room = FieldColumns * TCampo250::MaxText;
    QByteArray text(qsizetype(count * room), Qt::Uninitialized);
    std::vector<qint64> starts(static_cast<size_t>(count));
    std::vector<quint8> lengths(size_t(count) * FieldColumns);
    if (count >= LargePageCards) {
        adviseLargePages(text.constData(), text.size());
        adviseLargePages(lengths.data(), qint64(lengths.size()));
    }
    // Two runs of cards read at once, each into its own stretch of the
    // buffer; the second then moves down after the first.
    const int parts = RecordFile::partsFor(count);
    struct alignas(64) Part {
        char *out;
        qint64 read = 0;
    };
    std::vector<Part> state(static_cast<size_t>(parts));
    char *const base = text.data();
    for (int k = 0; k < parts; ++k)
        state[size_t(k)].out = base + RecordFile::partStart(count, parts, k) * room;
    archive.readAllRawInParts(count, parts, [&](int part, qint64 position, const char *record) {
        Part &at = state[size_t(part)];
        const size_t index = size_t(position - 1);
        starts[index] = at.out - base;
        quint8 *length = lengths.data() + index * FieldColumns;
        for (int field = TSchedaIndirizzo::Nome; field <= TSchedaIndirizzo::Note; ++field) {
            // As the field reads: its first L bytes, trimmed of codes 32 and below.
            const char *campo = record + field * TCampo250::Size;
            const int stored = std::min(int(static_cast<unsigned char>(campo[0])), TCampo250::MaxText);
            int begin = 1, end = 1 + stored;
            while (begin < end && static_cast<unsigned char>(campo[begin]) <= 32)
                ++begin;
            while (end > begin && static_cast<unsigned char>(campo[end - 1]) <= 32)
                --end;
            std::memcpy(at.out, campo + begin, size_t(end - begin));
            at.out += end - begin;
            *length++ = quint8(end - begin);
        }
        ++at.read;
        return true;
    });
    archive.close();

    // The cards read without a gap from the first: a part that came short (a
    // failed read) ends them.
    qint64 rows = 0;
    char *end = base;
    for (int k = 0; k < parts; ++k) {
        const qint64 first = RecordFile::partStart(count, parts, k);
        char *from = base + first * room;
        const qint64 bytes = state[size_t(k)].out - from;
        if (from != end) {
            std::memmove(end, from, size_t(bytes));
            const qint64 shift = from - end;
            for (qint64 i = first; i < first + state[size_t(k)].read; ++i)
                starts[size_t(i)] -= shift;
        }
        end += bytes;
        rows += state[size_t(k)].read;
        if (state[size_t(k)].read < RecordFile::partStart(count, parts, k + 1) - first)
            break;
    }
    if (rows == 0)
        return false;
    text.resize(end - base);
    starts.resize(size_t(rows));
    lengths.resize(size_t(rows) * FieldColumns);
    text.squeeze();

    beginResetModel();
    m_text = std::move(text);
    m_rowStarts = std::move(starts);
    m_lengths = std::move(lengths);
    m_rows = int(m_rowStarts.size());
    m_numbered = true;
    m_edits.clear();
    endResetModel();
    return true;
}

QByteArrayView ExportGridModel::fieldBytes(int row, int field) const
{
    if (!m_numbered || row < 0 || size_t(row) >= m_rowStarts.size())
        return {};
    const quint8 *lengths = m_lengths.data() + size_t(row) * FieldColumns;
    qint64 start = m_rowStarts[size_t(row)];
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
