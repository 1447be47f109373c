#include "cardlist/CardListModel.h"


#include <QColor>
#include <QFontMetrics>
#include <QSize>

namespace tavolux {

CardListModel::CardListModel(QObject *parent)
    : QAbstractListModel(parent), m_font(QStringLiteral("Courier New"), 12)
{
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setFixedPitch(true);
    m_rowHeight = QFontMetrics(m_font).height() + 2;
}

void CardListModel::setLines(cardlist::CardLines lines)
{
    beginResetModel();
    lines.sort();
    m_lines = std::move(lines);
    endResetModel();
}

void CardListModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

int CardListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

QVariant CardListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_lines.line(index.row());
    case Qt::FontRole:
        return m_font;
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::SizeHintRole:
        return QSize(EntryWidth, m_rowHeight);
    default:
        return {};
    }
}

} // namespace tavolux
