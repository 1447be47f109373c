#include "cardimport/ColumnMapping.h"

#include "storage/TSchedaIndirizzo.h"

#include <QHash>
#include <QRegularExpression>

namespace tavolux::columnmapping {

namespace {

using Kind = ColumnRole::Kind;

// Lower case, without accents, punctuation as blanks, blanks collapsed.
QString normalised(const QString &name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D).toLower();
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        out.append(c.isLetterOrNumber() ? c : QLatin1Char(' '));
    }
    return out.simplified();
}

const QHash<QString, Kind> &kinds()
{
    static const QHash<QString, Kind> table = [] {
        QHash<QString, Kind> t;
        auto add = [&t](Kind kind, std::initializer_list<const char *> names) {
            for (const char *n : names)
                t.insert(QString::fromLatin1(n), kind);
        };
        add(Kind::Name, {"name", "display name", "full name", "formatted name", "nome", "nome visualizzato",
                         "nome completo", "nominativo", "nome etichetta", "nome e cognome", "contatto"});
        add(Kind::Given, {"first name", "given name", "first", "nome proprio", "nome di battesimo"});
        add(Kind::Middle, {"middle name", "additional name", "secondo nome", "altro nome"});
        add(Kind::Family, {"last name", "family name", "surname", "last", "cognome"});
        add(Kind::Organisation, {"company", "company name", "organization", "organisation", "organization name",
                                 "societa", "azienda", "ditta", "ragione sociale", "organizzazione", "ente"});
        add(Kind::PoBox, {"po box", "p o box", "casella postale"});
        add(Kind::Street, {"street", "address", "street address", "address street", "address line 1", "indirizzo",
                           "via", "address 1", "street 1", "indirizzo 1", "via 1"});
        add(Kind::Street2, {"street 2", "address 2", "address line 2", "indirizzo 2", "via 2", "extended address"});
        add(Kind::Street3, {"street 3", "address 3", "address line 3", "indirizzo 3", "via 3"});
        add(Kind::PostalCode, {"postal code", "zip", "zipcode", "zip code", "postcode", "post code", "cap",
                               "codice postale", "codice avviamento postale"});
        add(Kind::Town, {"city", "town", "locality", "citta", "localita", "comune"});
        add(Kind::Region, {"state", "region", "province", "provincia", "state province", "prov", "county"});
        add(Kind::Country, {"country", "country region", "nation", "paese", "nazione", "stato", "paese area geografica",
                            "paese regione"});
        add(Kind::Note, {"note", "notes", "nota", "annotazioni", "commenti", "comments", "osservazioni"});
        add(Kind::Type, {"tipo", "type", "category", "categories", "categoria", "categorie", "gruppo", "group"});
        return t;
    }();
    return table;
}

// The group a word names ("Business Street", "Home City", "Via (uff.)",
// "Altra via"), as one key per kind of address; empty for other words.
QString groupOf(const QString &word)
{
    static const QHash<QString, QString> words = [] {
        QHash<QString, QString> w;
        for (const char *n : {"business", "work", "uff", "ufficio", "lavoro"})
            w.insert(QString::fromLatin1(n), QStringLiteral("uff"));
        for (const char *n : {"home", "ab", "abitazione", "casa", "privato", "personal", "residenza"})
            w.insert(QString::fromLatin1(n), QStringLiteral("ab"));
        for (const char *n : {"other", "altro", "altra", "mailing"})
            w.insert(QString::fromLatin1(n), QStringLiteral("altro"));
        return w;
    }();
    return words.value(word);
}

ColumnRole classify(const QString &header)
{
    ColumnRole role;
    const QString name = normalised(header);
    static const QRegularExpression lineName(
            QStringLiteral("^(?:indirizzo )?(?:rigo|riga|linea|line) ?0?([1-6])$"));
    const QRegularExpressionMatch line = lineName.match(name);
    if (line.hasMatch()) {
        role.kind = Kind::Line;
        role.line = line.captured(1).toInt();
        return role;
    }
    role.kind = kinds().value(name, Kind::Unknown);
    if (role.kind != Kind::Unknown)
        return role;
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2)
        return role;
    // Google Contacts: "Address 1 - Street", "Address 1 - Type", "Organization 1 - Name".
    if (words.size() > 2 && words.at(1).size() == 1 && words.at(1).at(0).isDigit()) {
        if (words.at(0) == QLatin1String("address") || words.at(0) == QLatin1String("indirizzo")) {
            role.group = QStringLiteral("address ") + words.at(1);
            words = words.mid(2);
            if (words.size() == 1 && (words.first() == QLatin1String("type") || words.first() == QLatin1String("label"))) {
                role.kind = Kind::AddressType;
                return role;
            }
        } else {
            if (words.at(0) == QLatin1String("organization") && words.size() == 3
                && words.at(2) == QLatin1String("name") && words.at(1) == QLatin1String("1"))
                role.kind = Kind::Organisation;
            return role;
        }
    } else {
        for (int i = 0; i < words.size(); ++i) {
            const QString group = groupOf(words.at(i));
            if (!group.isEmpty()) {
                role.group = group;
                words.removeAt(i);
                break;
            }
        }
    }
    role.kind = kinds().value(words.join(QLatin1Char(' ')), Kind::Unknown);
    // Only the parts of an address belong to one of several.
    if (!role.group.isEmpty() && !role.isAddressPart())
        role.kind = Kind::Unknown;
    if (role.kind == Kind::Unknown)
        role.group.clear();
    return role;
}

int lineField(int line)
{
    return TSchedaIndirizzo::Rigo01 + line - 1;
}

} // namespace

QList<int> targets()
{
    QList<int> all{Ignored};
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        all << f;
    return all;
}

QString targetName(int target)
{
    switch (target) {
    case TSchedaIndirizzo::Nome:
        return QStringLiteral("Nome etichetta");
    case TSchedaIndirizzo::Tipo:
        return QStringLiteral("Tipo");
    case TSchedaIndirizzo::Note:
        return QStringLiteral("Note");
    default:
        if (target >= TSchedaIndirizzo::Rigo01 && target <= TSchedaIndirizzo::Rigo06)
            return QStringLiteral("Rigo %1").arg(target - TSchedaIndirizzo::Rigo01 + 1);
        return QStringLiteral("(non importare)");
    }
}

QString groupName(const QString &group)
{
    if (group == QLatin1String("uff"))
        return QStringLiteral("ufficio");
    if (group == QLatin1String("ab"))
        return QStringLiteral("abitazione");
    if (group == QLatin1String("altro"))
        return QStringLiteral("altro indirizzo");
    if (group.startsWith(QLatin1String("address ")))
        return QStringLiteral("indirizzo ") + group.mid(8);
    return group;
}

QList<ColumnRole> roles(const QStringList &header)
{
    QList<ColumnRole> list;
    list.reserve(header.size());
    for (const QString &name : header)
        list << classify(name);
    // "Nome" next to "Cognome" is the given name.
    const bool family = std::any_of(list.cbegin(), list.cend(), [](const ColumnRole &r) { return r.kind == Kind::Family; });
    if (family) {
        for (int i = 0; i < list.size(); ++i)
            if (list.at(i).kind == Kind::Name && normalised(header.at(i)) == QLatin1String("nome"))
                list[i].kind = Kind::Given;
    }
    return list;
}

bool looksLikeHeader(const QStringList &header)
{
    const QList<ColumnRole> list = roles(header);
    return std::any_of(list.cbegin(), list.cend(), [](const ColumnRole &r) { return r.kind != Kind::Unknown; });
}

ColumnMapping byPosition(int columns)
{
    ColumnMapping mapping(columns, Ignored);
    for (int c = 0; c < qMin(columns, 6); ++c)
        mapping[c] = lineField(c + 1);
    return mapping;
}

ColumnMapping propose(const QList<ColumnRole> &columns)
{
    const int n = int(columns.size());
    ColumnMapping mapping(n, Ignored);
    auto first = [&](Kind kind) {
        for (int i = 0; i < n; ++i)
            if (columns.at(i).kind == kind)
                return i;
        return -1;
    };
    auto has = [&](Kind kind) { return first(kind) >= 0; };
    auto fields = [&] {
        if (has(Kind::Type))
            mapping[first(Kind::Type)] = TSchedaIndirizzo::Tipo;
        if (has(Kind::Note))
            mapping[first(Kind::Note)] = TSchedaIndirizzo::Note;
    };

    // A table with the program's own line columns is taken as it stands.
    if (has(Kind::Line)) {
        for (int i = 0; i < n; ++i)
            if (columns.at(i).kind == Kind::Line)
                mapping[i] = lineField(columns.at(i).line);
        if (has(Kind::Name))
            mapping[first(Kind::Name)] = TSchedaIndirizzo::Nome;
        fields();
        return mapping;
    }

    // The kinds of line a label may have, in the order they are printed.
    enum Slot { Person, Organisation, PoBox, Street, Street2, Street3, Town, Country, SlotCount };
    auto slotOf = [](Kind kind) {
        switch (kind) {
        case Kind::Given:
        case Kind::Middle:
        case Kind::Family:
        case Kind::Name:
            return Person;
        case Kind::Organisation:
            return Organisation;
        case Kind::PoBox:
            return PoBox;
        case Kind::Street:
            return Street;
        case Kind::Street2:
            return Street2;
        case Kind::Street3:
            return Street3;
        case Kind::PostalCode:
        case Kind::Town:
        case Kind::Region:
            return Town;
        case Kind::Country:
            return Country;
        default:
            return SlotCount;
        }
    };
    const bool personParts = has(Kind::Given) || has(Kind::Middle) || has(Kind::Family);
    bool present[SlotCount] = {};
    for (const ColumnRole &c : columns) {
        const Slot slot = slotOf(c.kind);
        if (slot == SlotCount || (c.kind == Kind::Name && personParts))
            continue;
        present[slot] = true;
    }
    // Where each slot goes: its own line, or the line of the slot it joins.
    int joins[SlotCount];
    for (int s = 0; s < SlotCount; ++s)
        joins[s] = s;
    auto lines = [&] {
        int count = 0;
        for (int s = 0; s < SlotCount; ++s)
            count += present[s] && joins[s] == s ? 1 : 0;
        return count;
    };
    const int streetLine = present[Street] ? Street : present[Street2] ? Street2 : Street3;
    for (Slot joining : {Street3, PoBox, Street2}) {
        if (lines() <= 6)
            break;
        if (present[joining] && joining != streetLine && present[streetLine])
            joins[joining] = streetLine;
    }
    if (lines() > 6 && present[Country] && present[Town])
        joins[Country] = Town;
    int lineOf[SlotCount];
    int next = 1;
    for (int s = 0; s < SlotCount; ++s)
        lineOf[s] = present[s] && joins[s] == s ? next++ : 0;

    int organisation = -1;
    for (int i = 0; i < n; ++i) {
        const ColumnRole &c = columns.at(i);
        const Slot slot = slotOf(c.kind);
        if (slot == SlotCount || (c.kind == Kind::Name && personParts))
            continue;
        if (c.kind == Kind::Organisation) {
            if (organisation >= 0)
                continue; // one organisation column
            organisation = i;
        }
        const int line = lineOf[joins[slot]];
        if (line >= 1 && line <= 6)
            mapping[i] = lineField(line);
    }
    if (personParts && has(Kind::Name))
        mapping[first(Kind::Name)] = TSchedaIndirizzo::Nome;
    fields();
    return mapping;
}

} // namespace tavolux::columnmapping
