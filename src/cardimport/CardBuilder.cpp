#include "cardimport/CardBuilder.h"

#include "cardimport/VCardReader.h"
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"
#include "storage/TCampo250.h"

namespace tavolux::cardbuilder {

namespace {

bool isItaly(const QString &country)
{
    static const QStringList names{QStringLiteral("italia"), QStringLiteral("italy"), QStringLiteral("it"),
                                   QStringLiteral("ita"),    QStringLiteral("italie"), QStringLiteral("italien")};
    return names.contains(trimText(country).toLower());
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                   .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                   .split(QLatin1Char('\n'))) {
        const QString trimmed = trimText(line);
        if (!trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

QString joinNonEmpty(const QStringList &parts, const QString &sep)
{
    QStringList kept;
    for (const QString &part : parts) {
        const QString trimmed = trimText(part);
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    return kept.join(sep);
}

} // namespace

QString storedValue(const QString &text)
{
    // Fast path: nothing inside to change.
    bool controls = false;
    for (const QChar c : text)
        if (c.unicode() < 32) {
            controls = true;
            break;
        }
    QString value = trimText(text);
    if (controls) {
        QString clean;
        clean.reserve(value.size());
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value.at(i);
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                while (i + 1 < value.size() && value.at(i + 1).unicode() <= 32)
                    ++i;
                clean.append(QStringLiteral(", "));
            } else {
                clean.append(c.unicode() < 32 ? QChar(QLatin1Char(' ')) : c);
            }
        }
        value = trimText(clean);
    }
    // One byte per character, a surrogate pair included: the first 250 characters stay.
    qsizetype bytes = 0, i = 0;
    const qsizetype limit = qMin<qsizetype>(value.size(), 255);
    while (i < limit && bytes < TCampo250::MaxText) {
        if (value.at(i).isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate())
            ++i;
        ++i;
        ++bytes;
    }
    if (i < value.size())
        value = trimText(value.left(i));
    return value;
}

void collectLost(const QString &text, QString &lost)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80)
            continue;
        QString character(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            character.append(text.at(++i));
        else if (cp1252::encodeChar(c.unicode()) != '?')
            continue;
        if (!lost.contains(character))
            lost.append(character);
    }
}

bool build(const QStringList &row, const ColumnMapping &mapping, ImportedCard &out)
{
    out = ImportedCard();
    TSchedaIndirizzo &card = out.card;
    const int columns = int(qMin(row.size(), mapping.size()));
    for (int c = 0; c < columns; ++c) {
        const int field = mapping.at(c);
        if (field < TSchedaIndirizzo::Nome || field > TSchedaIndirizzo::Note)
            continue;
        const QString text = trimText(row.at(c));
        if (text.isEmpty())
            continue;
        QString &value = card[field];
        if (value.isEmpty())
            value = text;
        else
            value += QLatin1Char(' ') + text;
    }
    bool any = false;
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f) {
        card[f] = storedValue(card[f]);
        any = any || !card[f].isEmpty();
    }
    if (!any)
        return false;
    if (card[TSchedaIndirizzo::Nome].isEmpty()) {
        for (int f = TSchedaIndirizzo::Rigo01; f <= TSchedaIndirizzo::Note && card[TSchedaIndirizzo::Nome].isEmpty(); ++f)
            card[TSchedaIndirizzo::Nome] = card[f];
        if (card[TSchedaIndirizzo::Nome].isEmpty())
            card[TSchedaIndirizzo::Nome] = card[TSchedaIndirizzo::Tipo];
    }
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        collectLost(card[f], out.lostCharacters);
    return true;
}

QStringList fieldNames()
{
    QStringList names;
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        names << columnmapping::targetName(f);
    return names;
}

QStringList vcardRow(const VCard &card)
{
    const QString formatted = trimText(card.formattedName);
    // N: family; given; additional; prefixes; suffixes.
    const QStringList n = card.name;
    auto part = [&n](int i) { return i < n.size() ? n.at(i) : QString(); };
    const QString fromN = joinNonEmpty({part(3), part(1), part(2), part(0), part(4)}, QStringLiteral(" "));
    const QString organisation = trimText(card.organisation);
    QString person = !formatted.isEmpty() ? formatted : fromN;
    const QString name = !person.isEmpty() ? person : organisation;
    if (person == organisation)
        person.clear();

    QStringList lines;
    if (!person.isEmpty())
        lines << person;
    if (!organisation.isEmpty())
        lines << organisation;
    QStringList address;
    if (!card.address.isEmpty()) {
        // ADR: PO box; extended; street; locality; region; postal code; country.
        const QStringList a = card.address;
        auto adr = [&a](int i) { return i < a.size() ? trimText(a.at(i)) : QString(); };
        QStringList streets;
        if (!adr(0).isEmpty())
            streets << splitLines(adr(0));
        streets << splitLines(adr(2));
        streets << splitLines(adr(1));
        QString town = joinNonEmpty({adr(5), adr(3)}, QStringLiteral(" "));
        if (!adr(4).isEmpty())
            town = town.isEmpty() ? adr(4) : town + QStringLiteral(" (") + adr(4) + QLatin1Char(')');
        address = streets;
        if (!town.isEmpty())
            address << town;
        if (!adr(6).isEmpty() && !isItaly(adr(6)))
            address << adr(6);
        // Six lines at most: the streets share one line first, then the last lines share the sixth.
        if (lines.size() + address.size() > 6 && streets.size() > 1) {
            address = QStringList{streets.join(QStringLiteral(", "))} + address.mid(int(streets.size()));
        }
    } else if (!trimText(card.label).isEmpty()) {
        address = splitLines(card.label);
    }
    lines += address;
    if (lines.size() > 6)
        lines = lines.mid(0, 5) << lines.mid(5).join(QStringLiteral(", "));
    while (lines.size() < 6)
        lines << QString();

    QStringList row{name, QString()};
    row += lines;
    row << trimText(card.note);
    return row;
}

} // namespace tavolux::cardbuilder
