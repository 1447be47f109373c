#pragma once

#include "cardlist/CardListModel.h"

#include <cstdint>
#include <vector>

namespace tavolux {

namespace mailing {
class MailingCards;
}

// The card list of the mailing window: the find list's lines and look, each
// with a check box that shows whether the card is chosen. A card with a line
// too long for its label is drawn in dark orange, one without lines in grey.
// Ticking a box asks the window to change the choice (tickRequested).
class MailingListModel : public CardListModel
{
    Q_OBJECT
public:
    explicit MailingListModel(QObject *parent = nullptr);

    // The cards beside the lines, and which of them are chosen (per card);
    // both must outlive their use here.
    void setCards(const mailing::MailingCards *cards);
    void setTicked(const std::vector<std::uint8_t> *ticked);

    // The card (in file order) on a row.
    int cardAt(int row) const { return lines().addedIndex(row); }

    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    void tickRequested(int card, bool ticked);

private:
    const mailing::MailingCards *m_cards = nullptr;
    const std::vector<std::uint8_t> *m_ticked = nullptr;
};

} // namespace tavolux
