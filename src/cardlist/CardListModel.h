#pragma once

#include "cardlist/CardList.h"

#include <QAbstractListModel>
#include <QFont>

namespace tavolux {

// The card list as a view sees it: drawn in black Courier New 12, whatever
// the view's style, each entry 1600 units wide. Filled in one go.
class CardListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit CardListModel(QObject *parent = nullptr);

    // Sorts the lines in list order and shows them.
    void setLines(cardlist::CardLines lines);
    void clear();

    const cardlist::CardLines &lines() const { return m_lines; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static constexpr int EntryWidth = 1600;

private:
    cardlist::CardLines m_lines;
    QFont m_font;
    int m_rowHeight;
};

} // namespace tavolux
