#include "printing/LabelFormatModel.h"

#include "platform/Conventions.h"

namespace tavolux {

LabelFormatModel::LabelFormatModel(QObject *parent) : QAbstractTableModel(parent) {}

void LabelFormatModel::setFormats(QList<LabelProduct> formats)
{
    m_formats = std::move(formats);
    setSearch(m_search);
}

void LabelFormatModel::setSearch(const QString &text)
{
    beginResetModel();
    m_search = text;
    m_shown.clear();
    for (int i = 0; i < m_formats.size(); ++i)
        if (m_formats[i].matches(text))
            m_shown << i;
    endResetModel();
}

int LabelFormatModel::rowOf(const QString &id) const
{
    for (int row = 0; row < m_shown.size(); ++row)
        if (m_formats[m_shown[row]].id() == id)
            return row;
    return -1;
}

int LabelFormatModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int LabelFormatModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant LabelFormatModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const LabelProduct &p = format(index.row());
    if (role == Qt::TextAlignmentRole && index.column() == Labels)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (Column(index.column())) {
    case Brand:
        if (p.source == LabelProduct::Source::BuiltIn)
            return QStringLiteral("Tavolux");
        return p.source == LabelProduct::Source::Own ? QStringLiteral("Formato proprio") : p.brand;
    case Part:
        return p.part;
    case Description:
        return p.description;
    case Labels:
        return p.roll ? QStringLiteral("rotolo") : conventions::formatCount(p.labelsPerSheet());
    case Size:
        return p.sizeText();
    case Columns:
        break;
    }
    return {};
}

QVariant LabelFormatModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
    case Brand:
        return QStringLiteral("Marca");
    case Part:
        return QStringLiteral("Codice");
    case Description:
        return QStringLiteral("Descrizione");
    case Labels:
        return QStringLiteral("Etichette");
    case Size:
        return QStringLiteral("Misura");
    case Columns:
        break;
    }
    return {};
}

} // namespace tavolux
