#include "mailing/MailingListModel.h"

#include "mailing/MailingCards.h"
#include "printing/LineFit.h"

#include <QColor>

namespace tavolux {

MailingListModel::MailingListModel(QObject *parent)
    : CardListModel(parent)
{
}

void MailingListModel::setCards(const mailing::MailingCards *cards)
{
    beginResetModel();
    m_cards = cards;
    endResetModel();
}

void MailingListModel::setTicked(const std::vector<std::uint8_t> *ticked)
{
    m_ticked = ticked;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

QVariant MailingListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_cards || index.row() >= rowCount())
        return CardListModel::data(index, role);
    const int card = cardAt(index.row());
    if (card >= m_cards->size())
        return CardListModel::data(index, role);
    switch (role) {
    case Qt::CheckStateRole:
        return m_ticked && card < int(m_ticked->size()) && (*m_ticked)[size_t(card)] ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole:
        if (!m_cards->hasLines(card))
            return QColor(0x80, 0x80, 0x80);
        if (m_cards->cutLine(card))
            return kCutLineColor;
        return CardListModel::data(index, role);
    default:
        return CardListModel::data(index, role);
    }
}

Qt::ItemFlags MailingListModel::flags(const QModelIndex &index) const
{
    return CardListModel::flags(index) | Qt::ItemIsUserCheckable;
}

bool MailingListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || !m_cards)
        return false;
    emit tickRequested(cardAt(index.row()), value.toInt() == Qt::Checked);
    return true;
}

} // namespace tavolux
