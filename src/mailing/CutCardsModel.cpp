#include "mailing/CutCardsModel.h"

#include "mailing/MailingCards.h"
#include "printing/LineFit.h"

namespace tavolux {

CutCardsModel::CutCardsModel(const mailing::MailingCards &cards, const std::vector<int> &cut, QObject *parent)
    : QAbstractListModel(parent), m_cards(cards), m_cut(cut)
{
}

void CutCardsModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int CutCardsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cut.size());
}

QVariant CutCardsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int card = cardAt(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        const int line = m_cards.firstCutLine(card);
        return QStringLiteral("%1 – rigo %2: %3").arg(m_cards.name(card)).arg(line).arg(m_cards.line(card, line));
    }
    case Qt::ForegroundRole:
        return kCutLineColor;
    default:
        return {};
    }
}

} // namespace tavolux
