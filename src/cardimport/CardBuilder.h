#pragma once

#include "cardimport/ColumnMapping.h"
#include "cardimport/TextRows.h"
#include "storage/TCampo250.h"
#include "storage/TSchedaIndirizzo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace tavolux {

// An address card made from one imported row, as the archive will hold it.
struct ImportedCard
{
    TSchedaIndirizzo card;
    // The characters of its fields that Windows-1252 cannot hold, each once.
    QString lostCharacters;
};

// Builds the address cards of the rows of a table under a mapping, straight
// from the rows' bytes into the Windows-1252 bytes the archive keeps:
// - each field takes the texts of its columns: the street lines joined by
//   ", ", postal code, town and province in that order ("06012 Città di
//   Castello (PG)"), other texts by a blank in column order; the country is
//   left out when it is Italy;
// - where the columns hold several addresses (work, home, ...), each row takes
//   the first that has a street or a town, work first;
// - line breaks inside a text become ", ", other control characters blanks;
//   texts are trimmed and cut to the 250 characters of a field;
// - the lines are packed so that no empty line stands between two filled
//   ones, unless they are the program's own line columns;
// - a card with no name takes its first line, else its note, else its type.
class CardBuilder
{
public:
    CardBuilder(const TextRows &rows, const QList<ColumnRole> &roles, const ColumnMapping &mapping);

    static constexpr int Fields = TSchedaIndirizzo::Note + 1;

    struct Card
    {
        char text[Fields][TCampo250::MaxText];
        int length[Fields];
        bool cut = false; // a field was longer than a field holds
        int group = -1;   // the address group taken (see groups()), -1 when none
        QString lost;     // characters Windows-1252 cannot hold, each once

        TSchedaIndirizzo card() const;
    };

    // The card of row `row`; false when the row gives no text at all.
    bool build(int row, Card &out);

    // The address groups the mapping uses, in the order they are preferred;
    // empty when there are fewer than two.
    const QStringList &groups() const { return m_groups; }

private:
    struct Source
    {
        int column;
        ColumnRole::Kind kind;
        int group; // index into m_groups, -1 for none
    };
    struct Lost
    {
        int field;
        int position;
        char32_t character;
    };

    int chooseGroup(int row) const;
    bool hasText(int row, int column) const;
    void compose(int row, int field, int group, Card &out);
    int piece(int row, QByteArrayView text, bool quoted, char *out, int room, int field, int at, bool &overflow);

    const TextRows &m_rows;
    std::vector<Source> m_sources[Fields];
    QStringList m_groups;
    QList<int> m_groupRank;                   // static preference of each group
    std::vector<std::vector<int>> m_typeColumns; // "Address N - Type" columns of each group
    std::vector<std::vector<int>> m_streetOrTown; // mapped street and town columns of each group
    std::vector<std::vector<int>> m_addressColumns; // mapped address columns of each group
    bool m_pack = true;
    std::vector<Lost> m_lost;
};

} // namespace tavolux
