#include "mailing/MailingChoice.h"

#include "cardlist/CardList.h"
#include "mailing/MailingCards.h"
#include "platform/Cp1252.h"

#include <QSet>

namespace tavolux::mailing {

namespace {

// Places the cards by a small key, in name order within each key: one
// counting pass and one placing pass over the list.
template <typename Key>
std::vector<int> byKey(const cardlist::CardLines &lines, const std::vector<std::uint8_t> &take, int keys, Key key)
{
    std::vector<qint64> start(size_t(keys) + 1, 0);
    const int n = lines.size();
    for (int place = 0; place < n; ++place) {
        const int card = lines.addedIndex(place);
        if (take[size_t(card)])
            ++start[size_t(key(card)) + 1];
    }
    for (int k = 0; k < keys; ++k)
        start[size_t(k) + 1] += start[size_t(k)];
    std::vector<int> out(static_cast<size_t>(start[size_t(keys)]));
    for (int place = 0; place < n; ++place) {
        const int card = lines.addedIndex(place);
        if (take[size_t(card)])
            out[size_t(start[size_t(key(card))]++)] = card;
    }
    return out;
}

} // namespace

std::vector<std::uint8_t> matching(const cardlist::CardLines &lines, const MailingCards &cards, const Choice &choice,
                                   const std::vector<std::uint8_t> &hand)
{
    const int n = cards.size();
    std::vector<std::uint8_t> picked(size_t(n), 0);
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
    return picked;
}

Chosen inOrder(const cardlist::CardLines &lines, const MailingCards &cards, const std::vector<std::uint8_t> &picked,
               Choice::Order order)
{
    Chosen chosen;
    const int n = cards.size();
    std::vector<std::uint8_t> take(size_t(n), 0);
    for (int card = 0; card < n && card < int(picked.size()); ++card) {
        if (!picked[size_t(card)])
            continue;
        if (!cards.hasLines(card)) {
            ++chosen.withoutLines;
            continue;
        }
        take[size_t(card)] = 1;
        if (cards.cutLine(card))
            ++chosen.cut;
    }
    switch (order) {
    case Choice::Order::Name:
        chosen.cards = byKey(lines, take, 1, [](int) { return 0; });
        break;
    case Choice::Order::PostalCode:
        // Codes 00000 to 99999, then the cards without one.
        chosen.cards = byKey(lines, take, 100001, [&cards](int card) {
            const int code = cards.postalCode(card);
            return code < 0 ? 100000 : code;
        });
        break;
    case Choice::Order::Tipo:
        chosen.cards = byKey(lines, take, std::max(1, int(cards.tipi().size())),
                             [&cards](int card) { return cards.tipo(card); });
        break;
    case Choice::Order::Archive:
        for (int card = 0; card < n; ++card)
            if (take[size_t(card)])
                chosen.cards.push_back(card);
        break;
    }
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
