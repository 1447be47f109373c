#include "cardimport/CardBuilder.h"

#include "cardimport/VCardReader.h"
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"
#include "storage/TCampo250.h"

#include <cstring>

namespace tavolux::cardbuilder {

namespace {

bool isItaly(const QString &country)
{
    static const QStringList names{QStringLiteral("italia"), QStringLiteral("italy"),  QStringLiteral("it"),
                                   QStringLiteral("ita"),    QStringLiteral("italie"), QStringLiteral("italien")};
    return names.contains(trimText(country).toLower());
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : QString(text)
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
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
    if (value.size() <= TCampo250::MaxText)
        return value;
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

FieldColumns fieldColumns(const ColumnMapping &mapping)
{
    FieldColumns columns;
    for (int c = 0; c < mapping.size(); ++c) {
        const int field = mapping.at(c);
        if (field >= TSchedaIndirizzo::Nome && field <= TSchedaIndirizzo::Note)
            columns[size_t(field)].append(c);
    }
    return columns;
}

bool build(const QStringList &row, const FieldColumns &columns, ImportedCard &out)
{
    out = ImportedCard();
    TSchedaIndirizzo &card = out.card;
    bool any = false;
    QStringView parts[16];
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f) {
        const QList<int> &sources = columns[size_t(f)];
        if (sources.isEmpty())
            continue;
        // The texts of the field's columns, joined by a blank: one string made once.
        int count = 0;
        qsizetype length = 0;
        int only = -1;
        for (int c : sources) {
            if (c >= row.size() || count == 16)
                continue;
            const QString &cell = row.at(c);
            qsizetype b = 0, e = cell.size();
            while (b < e && cell.at(b).unicode() <= 32)
                ++b;
            while (e > b && cell.at(e - 1).unicode() <= 32)
                --e;
            if (b == e)
                continue;
            parts[count++] = QStringView(cell).mid(b, e - b);
            length += e - b + 1;
            only = c;
        }
        if (count == 0)
            continue;
        QString value;
        if (count == 1 && parts[0].size() == row.at(only).size()) {
            value = row.at(only); // shared, no copy
        } else {
            value.reserve(length);
            for (int i = 0; i < count; ++i) {
                if (i)
                    value.append(QLatin1Char(' '));
                value.append(parts[i]);
            }
        }
        card[f] = storedValue(value);
        any = any || !card[f].isEmpty();
    }
    if (!any)
        return false;
    if (card[TSchedaIndirizzo::Nome].isEmpty()) {
        for (int f = TSchedaIndirizzo::Rigo01; f <= TSchedaIndirizzo::Note && card[TSchedaIndirizzo::Nome].isEmpty();
             ++f)
            card[TSchedaIndirizzo::Nome] = card[f];
        if (card[TSchedaIndirizzo::Nome].isEmpty())
            card[TSchedaIndirizzo::Nome] = card[TSchedaIndirizzo::Tipo];
    }
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        collectLost(card[f], out.lostCharacters);
    return true;
}

bool build(const QStringList &row, const ColumnMapping &mapping, ImportedCard &out)
{
    return build(row, fieldColumns(mapping), out);
}

namespace {

// The trimmed, non-empty texts of a field's columns; false when one of them
// holds a control character or a surrogate inside, or when joined by blanks
// they pass 250 characters.
struct SimpleField
{
    QStringView parts[16];
    int count = 0;
    qsizetype length = 0;
};

bool simpleField(const QStringList &row, const QList<int> &sources, SimpleField &out)
{
    out.count = 0;
    out.length = 0;
    for (int c : sources) {
        if (c >= row.size())
            continue;
        const QString &cell = row.at(c);
        const QChar *text = cell.constData();
        qsizetype b = 0, e = cell.size();
        while (b < e && text[b].unicode() <= 32)
            ++b;
        while (e > b && text[e - 1].unicode() <= 32)
            --e;
        if (b == e)
            continue;
        for (qsizetype i = b; i < e; ++i) {
            const char16_t u = text[i].unicode();
            if (u < 32 || QChar::isSurrogate(u))
                return false;
        }
        if (out.count == 16)
            return false;
        out.length += (out.count ? 1 : 0) + (e - b);
        out.parts[out.count++] = QStringView(cell).mid(b, e - b);
        if (out.length > TCampo250::MaxText)
            return false;
    }
    return true;
}

} // namespace

bool scanSimple(const QStringList &row, const FieldColumns &columns, bool &givesCard, QString &lost)
{
    SimpleField fields[TSchedaIndirizzo::Note + 1];
    givesCard = false;
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f) {
        if (!simpleField(row, columns[size_t(f)], fields[f]))
            return false;
        givesCard = givesCard || fields[f].count > 0;
    }
    for (const SimpleField &field : fields)
        for (int i = 0; i < field.count; ++i)
            for (const QChar c : field.parts[i])
                if (c.unicode() >= 0x80 && cp1252::encodeChar(c.unicode()) == '?' && !lost.contains(c))
                    lost.append(c);
    return true;
}

bool encodeSimple(const QStringList &row, const FieldColumns &columns, char *record)
{
    SimpleField fields[TSchedaIndirizzo::Note + 1];
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        if (!simpleField(row, columns[size_t(f)], fields[f]))
            return false;
    // A card with no name takes its first non-empty line, else its note, else its type.
    int nameFrom = TSchedaIndirizzo::Nome;
    if (fields[TSchedaIndirizzo::Nome].count == 0) {
        nameFrom = TSchedaIndirizzo::Tipo;
        for (int f = TSchedaIndirizzo::Rigo01; f <= TSchedaIndirizzo::Note; ++f) {
            if (fields[f].count > 0) {
                nameFrom = f;
                break;
            }
        }
    }
    for (int f = 0; f < TSchedaIndirizzo::FieldCount; ++f) {
        char *field = record + f * TCampo250::Size;
        int length = 0;
        if (f <= TSchedaIndirizzo::Note) {
            const SimpleField &source = fields[f == TSchedaIndirizzo::Nome ? nameFrom : f];
            char *out = field + 1;
            for (int i = 0; i < source.count; ++i) {
                if (i)
                    out[length++] = ' ';
                for (const QChar c : source.parts[i]) {
                    const char16_t u = c.unicode();
                    out[length++] = u < 0x80 ? char(u) : cp1252::encodeChar(u);
                }
            }
        }
        field[0] = char(length);
        std::memset(field + 1 + length, 0, size_t(TCampo250::MaxText - length));
    }
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
