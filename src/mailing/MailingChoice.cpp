#include "mailing/MailingChoice.h"

#include "cardlist/CardList.h"
#include "mailing/MailingCards.h"
#include "platform/Cp1252.h"

#include <QSet>

namespace tavolux::mailing {

namespace {

constexpr std::int32_t kNotTaken = -1;
constexpr std::int32_t kCutBit = 1 << 30;

// Places the taken cards by their keys (below `keys`), in name order within
// each key: a counting pass and a placing pass over the list.
void byKey(const cardlist::CardLines &lines, const std::vector<std::int32_t> &keyOf, int keys, std::vector<int> &out)
{
    const int n = lines.size();
    out.clear();
    if (keys == 1) {
        for (int place = 0; place < n; ++place) {
            const int card = lines.addedIndex(place);
            if (keyOf[size_t(card)] != kNotTaken)
                out.push_back(card);
        }
        return;
    }
    std::vector<qint64> start(size_t(keys) + 1, 0);
    for (int place = 0; place < n; ++place) {
        const std::int32_t key = keyOf[size_t(lines.addedIndex(place))];
        if (key != kNotTaken)
            ++start[size_t(key & ~kCutBit) + 1];
    }
    for (int k = 0; k < keys; ++k)
        start[size_t(k) + 1] += start[size_t(k)];
    out.resize(size_t(start[size_t(keys)]));
    for (int place = 0; place < n; ++place) {
        const int card = lines.addedIndex(place);
        const std::int32_t key = keyOf[size_t(card)];
        if (key != kNotTaken)
            out[size_t(start[size_t(key & ~kCutBit)]++)] = card;
    }
}

} // namespace

void matching(const cardlist::CardLines &lines, const MailingCards &cards, const Choice &choice,
              const std::vector<std::uint8_t> &hand, std::vector<std::uint8_t> &picked)
{
    const int n = cards.size();
    picked.assign(size_t(n), 0);
    switch (choice.which) {
    case Choice::Which::All:
        std::fill(picked.begin(), picked.end(), 1);
        break;
    case Choice::Which::Text: {
        // The find dialog's rule: the key with A-Z lowered, in the code page;
        // a key the code page cannot hold, or an empty one, matches nothing.
        const QString key = cardlist::lowerAscii(choice.text);
        const QByteArray bytes = cp1252::encode(key);
        if (key.isEmpty() || cp1252::decode(bytes) != key || bytes.contains('\0'))
            break;
        const int count = lines.size();
        for (int place = lines.findIn(bytes, 0, count); place >= 0; place = lines.findIn(bytes, place + 1, count))
            picked[size_t(lines.addedIndex(place))] = 1;
        break;
    }
    case Choice::Which::Tipi: {
        const QSet<QString> wanted(choice.tipi.begin(), choice.tipi.end());
        std::vector<std::uint8_t> tipoWanted(size_t(cards.tipi().size()), 0);
        for (int t = 0; t < cards.tipi().size(); ++t)
            tipoWanted[size_t(t)] = wanted.contains(cards.tipi().at(t));
        for (int card = 0; card < n; ++card)
            picked[size_t(card)] = tipoWanted[size_t(cards.tipo(card))];
        break;
    }
    case Choice::Which::Hand:
        for (int card = 0; card < n && card < int(hand.size()); ++card)
            picked[size_t(card)] = hand[size_t(card)] ? 1 : 0;
        break;
    }
}

std::vector<std::uint8_t> matching(const cardlist::CardLines &lines, const MailingCards &cards, const Choice &choice,
                                   const std::vector<std::uint8_t> &hand)
{
    std::vector<std::uint8_t> picked;
    matching(lines, cards, choice, hand, picked);
    return picked;
}

void inOrder(const cardlist::CardLines &lines, const MailingCards &cards, const std::vector<std::uint8_t> &picked,
             Choice::Order order, Chosen &chosen)
{
    const int n = cards.size();
    // One pass in file order: each taken card's key, with its cut mark.
    chosen.withoutLines = 0;
    std::vector<std::int32_t> &keyOf = chosen.keys;
    keyOf.assign(size_t(n), kNotTaken);
    int keys = 1;
    if (order == Choice::Order::PostalCode)
        keys = 100001; // codes 00000 to 99999, then the cards without one
    else if (order == Choice::Order::Tipo)
        keys = std::max(1, int(cards.tipi().size()));
    for (int card = 0; card < n && card < int(picked.size()); ++card) {
        if (!picked[size_t(card)])
            continue;
        if (!cards.hasLines(card)) {
            ++chosen.withoutLines;
            continue;
        }
        std::int32_t key = 0;
        if (order == Choice::Order::PostalCode) {
            const int code = cards.postalCode(card);
            key = code < 0 ? 100000 : code;
        } else if (order == Choice::Order::Tipo) {
            key = cards.tipo(card);
        }
        keyOf[size_t(card)] = key | (cards.cutLine(card) ? kCutBit : 0);
    }
    if (order == Choice::Order::Archive) {
        chosen.cards.clear();
        for (int card = 0; card < n; ++card)
            if (keyOf[size_t(card)] != kNotTaken)
                chosen.cards.push_back(card);
    } else {
        byKey(lines, keyOf, keys, chosen.cards);
    }
    chosen.cutCards.clear();
    for (int card : chosen.cards)
        if (keyOf[size_t(card)] & kCutBit)
            chosen.cutCards.push_back(card);
}

Chosen inOrder(const cardlist::CardLines &lines, const MailingCards &cards, const std::vector<std::uint8_t> &picked,
               Choice::Order order)
{
    Chosen chosen;
    inOrder(lines, cards, picked, order, chosen);
    return chosen;
}

QString whichName(Choice::Which which)
{
    switch (which) {
    case Choice::Which::All:
        return QStringLiteral("Tutte");
    case Choice::Which::Text:
        return QStringLiteral("Testo");
    case Choice::Which::Tipi:
        return QStringLiteral("Tipo");
    case Choice::Which::Hand:
        return QStringLiteral("Mano");
    }
    return {};
}

Choice::Which whichFromName(const QString &name)
{
    for (Choice::Which which : {Choice::Which::Text, Choice::Which::Tipi, Choice::Which::Hand})
        if (name.compare(whichName(which), Qt::CaseInsensitive) == 0)
            return which;
    return Choice::Which::All;
}

QString orderName(Choice::Order order)
{
    switch (order) {
    case Choice::Order::Name:
        return QStringLiteral("Nome");
    case Choice::Order::PostalCode:
        return QStringLiteral("CAP");
    case Choice::Order::Tipo:
        return QStringLiteral("Tipo");
    case Choice::Order::Archive:
        return QStringLiteral("Archivio");
    }
    return {};
}

Choice::Order orderFromName(const QString &name)
{
    for (Choice::Order order : {Choice::Order::PostalCode, Choice::Order::Tipo, Choice::Order::Archive})
        if (name.compare(orderName(order), Qt::CaseInsensitive) == 0)
            return order;
    return Choice::Order::Name;
}

} // namespace tavolux::mailing
