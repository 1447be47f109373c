#pragma once

#include <QAbstractListModel>

#include <vector>

namespace tavolux {

namespace mailing {
class MailingCards;
}

// The chosen cards with a line too long for its label, in print order: each
// shown as its name and the first line that will be cut, in dark orange.
class CutCardsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    CutCardsModel(const mailing::MailingCards &cards, const std::vector<int> &cut, QObject *parent = nullptr);

    // The list changed: shown again.
    void refresh();
    int cardAt(int row) const { return m_cut[size_t(row)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const mailing::MailingCards &m_cards;
    const std::vector<int> &m_cut;
};

} // namespace tavolux
