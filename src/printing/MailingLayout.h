#pragma once

#include <QtGlobal>

namespace tavolux {

// Where the labels of a mailing go: `cards` cards in their order, each
// printed `copies` times on labels next to each other, from label
// `firstLabel` of the first sheet on (the labels before it are already used),
// `perSheet` labels to a sheet, numbered from 1. Sheets count from 0.
class MailingLayout
{
public:
    static constexpr int MaxCopies = 99;

    // Copies are kept within 1 to 99, the first label within the sheet.
    MailingLayout(qint64 cards, int copies, int firstLabel, int perSheet);

    qint64 cards() const { return m_cards; }
    int copies() const { return m_copies; }
    int firstLabel() const { return m_firstLabel; }
    int perSheet() const { return m_perSheet; }

    qint64 labels() const { return m_cards * m_copies; }
    // Sheets the labels take; none without cards.
    int sheets() const;

    // The card (0-based, in the mailing's order) printed on `label` of
    // `sheet`, or -1 where the label stays empty: before the first label, or
    // after the last card.
    qint64 cardAt(int sheet, int label) const;

    struct Place
    {
        int sheet = 0;
        int label = 0;
        bool operator==(const Place &other) const { return sheet == other.sheet && label == other.label; }
    };
    // Where copy `copy` (0-based) of card `card` is printed.
    Place placeOf(qint64 card, int copy = 0) const;

private:
    qint64 m_cards;
    int m_copies;
    int m_firstLabel;
    int m_perSheet;
};

} // namespace tavolux
