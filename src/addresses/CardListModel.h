#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QStringList>

namespace tavolux {

// The lines of the card list with their lowered copies for searching; filled
// in one go, drawn in black Courier New 12, each entry 1600 units wide.
class CardListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit CardListModel(QObject *parent = nullptr);

    // Sorts the lines in list order and shows them.
    void setLines(QStringList lines);
    void clear();

    const QStringList &lines() const { return m_lines; }
    const QStringList &loweredLines() const { return m_lowered; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static constexpr int EntryWidth = 1600;

private:
    QStringList m_lines;
    QStringList m_lowered;
    QFont m_font;
    int m_rowHeight;
};

} // namespace tavolux
