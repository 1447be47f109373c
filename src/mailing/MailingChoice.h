#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace tavolux {
namespace cardlist {
class CardLines;
}
namespace mailing {

class MailingCards;

// Which cards a mailing takes, and in which order they print.
struct Choice
{
    enum class Which { All, Text, Tipi, Hand };
    enum class Order {
        Name,       // as the find list: by list line
        PostalCode, // by the first five-digit group, then by name; cards without one last
        Tipo,       // by type, then by name
        Archive,    // as the cards lie in the file
    };

    Which which = Which::All;
    // Which::Text: the cards whose list line holds it, as the find dialog
    // searches (A-Z taken as a-z); an empty text matches no card.
    QString text;
    // Which::Tipi: the cards of these types.
    QStringList tipi;
    Order order = Order::Name;

    bool operator==(const Choice &other) const
    {
        return which == other.which && text == other.text && tipi == other.tipi && order == other.order;
    }
};

// Per card (in file order): 1 where the choice takes it, before cards without
// lines are left out. `hand` is the hand-made choice, per card. The result
// goes into `picked`, whose room is used again.
void matching(const cardlist::CardLines &sortedLines, const MailingCards &cards, const Choice &choice,
              const std::vector<std::uint8_t> &hand, std::vector<std::uint8_t> &picked);
std::vector<std::uint8_t> matching(const cardlist::CardLines &sortedLines, const MailingCards &cards,
                                   const Choice &choice, const std::vector<std::uint8_t> &hand);

struct Chosen
{
    std::vector<int> cards;    // the cards to print, in their order
    std::vector<int> cutCards; // those of them with a line that will be cut, in the same order
    qint64 withoutLines = 0;   // taken by the choice but left out: all six lines empty
    std::vector<std::int32_t> keys; // room of the ordering, used again
};

// The cards to print, in the choice's order: `picked` as matching() gives it
// (or a hand-made choice), less the cards without lines. The result goes
// into `chosen`, whose room is used again.
void inOrder(const cardlist::CardLines &sortedLines, const MailingCards &cards, const std::vector<std::uint8_t> &picked,
             Choice::Order order, Chosen &chosen);
Chosen inOrder(const cardlist::CardLines &sortedLines, const MailingCards &cards, const std::vector<std::uint8_t> &picked,
               Choice::Order order);

// The choice's texts as settings and back: "Tutte", "Testo", "Tipo", "Mano";
// "Nome", "CAP", "Tipo", "Archivio".
QString whichName(Choice::Which which);
Choice::Which whichFromName(const QString &name);
QString orderName(Choice::Order order);
Choice::Order orderFromName(const QString &name);

} // namespace mailing
} // namespace tavolux
