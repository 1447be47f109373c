#include "cardimport/ColumnMapping.h"

#include "storage/TSchedaIndirizzo.h"

#include <QHash>
#include <QRegularExpression>

namespace tavolux::columnmapping {

namespace {

enum class Role {
    Unknown,
    Name,
    Given,
    Middle,
    Family,
    Organisation,
    PoBox,
    Street,
    Street2,
    Street3,
    PostalCode,
    Town,
    Region,
    Country,
    Note,
    Type,
    Line
};

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

const QHash<QString, Role> &roles()
{
    static const QHash<QString, Role> table = [] {
        QHash<QString, Role> t;
        auto add = [&t](Role role, std::initializer_list<const char *> names) {
            for (const char *n : names)
                t.insert(QString::fromLatin1(n), role);
        };
        add(Role::Name, {"name", "display name", "full name", "formatted name", "nome", "nome visualizzato",
                         "nome completo", "nominativo", "nome etichetta", "nome e cognome", "contatto"});
        add(Role::Given, {"first name", "given name", "first", "nome proprio", "nome di battesimo"});
        add(Role::Middle, {"middle name", "additional name", "secondo nome", "altro nome"});
        add(Role::Family, {"last name", "family name", "surname", "last", "cognome"});
        add(Role::Organisation, {"company", "company name", "organization", "organisation", "organization name",
                                 "societa", "azienda", "ditta", "ragione sociale", "organizzazione", "ente"});
        add(Role::PoBox, {"po box", "p o box", "casella postale"});
        add(Role::Street, {"street", "address", "street address", "address street", "address line 1", "indirizzo",
                           "via", "address 1", "street 1", "indirizzo 1", "via 1"});
        add(Role::Street2, {"street 2", "address 2", "address line 2", "indirizzo 2", "via 2", "extended address"});
        add(Role::Street3, {"street 3", "address 3", "address line 3", "indirizzo 3", "via 3"});
        add(Role::PostalCode, {"postal code", "zip", "zipcode", "zip code", "postcode", "post code", "cap",
                               "codice postale", "codice avviamento postale"});
        add(Role::Town, {"city", "town", "locality", "citta", "localita", "comune"});
        add(Role::Region, {"state", "region", "province", "provincia", "state province", "prov", "county"});
        add(Role::Country, {"country", "country region", "nation", "paese", "nazione", "stato", "paese area geografica",
                            "paese regione"});
        add(Role::Note, {"note", "notes", "nota", "annotazioni", "commenti", "comments", "osservazioni"});
        add(Role::Type, {"tipo", "type", "category", "categories", "categoria", "categorie", "gruppo", "group"});
        return t;
    }();
    return table;
}

// Words that name the address a column belongs to ("Business Street",
// "Home City", "Via (uff.)").
bool isGroupWord(const QString &word)
{
    static const QStringList words{QStringLiteral("business"), QStringLiteral("work"),       QStringLiteral("home"),
                                   QStringLiteral("other"),    QStringLiteral("personal"),   QStringLiteral("ufficio"),
                                   QStringLiteral("uff"),      QStringLiteral("abitazione"), QStringLiteral("ab"),
                                   QStringLiteral("casa"),     QStringLiteral("lavoro"),     QStringLiteral("altro"),
                                   QStringLiteral("privato"),  QStringLiteral("mailing")};
    return words.contains(word);
}

struct Column
{
    Role role = Role::Unknown;
    QString group;
    int line = 0; // Role::Line: 1..6
};

Column classify(const QString &header)
{
    Column column;
    const QString name = normalised(header);
    static const QRegularExpression lineName(QStringLiteral("^(rigo|riga|linea|line)\\s*0?([1-6])$"));
    const QRegularExpressionMatch line = lineName.match(name);
    if (line.hasMatch()) {
        column.role = Role::Line;
        column.line = line.captured(2).toInt();
        return column;
    }
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return column;
    // Google Contacts: "Address 1 - Street", "Organization 1 - Name".
    if (words.size() > 2 && words.at(1).size() == 1 && words.at(1).at(0).isDigit()) {
        if (words.at(0) == QLatin1String("address") || words.at(0) == QLatin1String("indirizzo")) {
            column.group = words.mid(0, 2).join(QLatin1Char(' '));
            words = words.mid(2);
        } else if (words.at(0) == QLatin1String("organization") && words.at(2) == QLatin1String("name")) {
            column.role = words.at(1) == QLatin1String("1") ? Role::Organisation : Role::Unknown;
            return column;
        }
    }
    if (words.size() > 1 && isGroupWord(words.first())) {
        column.group = words.takeFirst();
    } else if (words.size() > 1 && isGroupWord(words.last())) {
        column.group = words.takeLast();
    }
    const QString base = words.join(QLatin1Char(' '));
    column.role = roles().value(base, Role::Unknown);
    // "Home Address", "Work Address" are streets; a bare "Address 1 - Formatted" is not known.
    if (column.role == Role::Name && !column.group.isEmpty())
        column.role = Role::Unknown;
    return column;
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
    static const QStringList names{QStringLiteral("Nome"),   QStringLiteral("Tipo"),   QStringLiteral("Rigo01"),
                                   QStringLiteral("Rigo02"), QStringLiteral("Rigo03"), QStringLiteral("Rigo04"),
                                   QStringLiteral("Rigo05"), QStringLiteral("Rigo06"), QStringLiteral("Note")};
    if (target >= 0 && target < names.size())
        return names.at(target);
    return QStringLiteral("(ignora)");
}

bool looksLikeHeader(const QStringList &header)
{
    for (const QString &name : header)
        if (classify(name).role != Role::Unknown)
            return true;
    return false;
}

ColumnMapping byPosition(int columns)
{
    ColumnMapping mapping(columns, Ignored);
    for (int c = 0; c < qMin(columns, 6); ++c)
        mapping[c] = lineField(c + 1);
    return mapping;
}

ColumnMapping propose(const QStringList &header)
{
    const int n = int(header.size());
    ColumnMapping mapping(n, Ignored);
    QList<Column> columns;
    for (const QString &name : header)
        columns << classify(name);

    auto has = [&](Role role) {
        for (const Column &c : columns)
            if (c.role == role)
                return true;
        return false;
    };
    auto first = [&](Role role) {
        for (int i = 0; i < n; ++i)
            if (columns.at(i).role == role)
                return i;
        return -1;
    };

    // A table with the card's own line columns is taken as it stands.
    if (has(Role::Line)) {
        for (int i = 0; i < n; ++i) {
            const Column &c = columns.at(i);
            if (c.role == Role::Line)
                mapping[i] = lineField(c.line);
        }
        if (first(Role::Name) >= 0)
            mapping[first(Role::Name)] = TSchedaIndirizzo::Nome;
        if (first(Role::Type) >= 0)
            mapping[first(Role::Type)] = TSchedaIndirizzo::Tipo;
        if (first(Role::Note) >= 0)
            mapping[first(Role::Note)] = TSchedaIndirizzo::Note;
        return mapping;
    }

    // "Nome" next to "Cognome" is the given name.
    const bool familyColumn = has(Role::Family);
    if (familyColumn) {
        for (int i = 0; i < n; ++i)
            if (columns.at(i).role == Role::Name && normalised(header.at(i)) == QLatin1String("nome"))
                columns[i].role = Role::Given;
    }
    const bool personParts = has(Role::Given) || has(Role::Middle) || familyColumn;

    // One address: the group of the first address column.
    QString group;
    bool groupChosen = false;
    for (const Column &c : columns) {
        if (c.role == Role::PoBox || c.role == Role::Street || c.role == Role::Street2 || c.role == Role::Street3
            || c.role == Role::PostalCode || c.role == Role::Town || c.role == Role::Region
            || c.role == Role::Country) {
            group = c.group;
            groupChosen = true;
            break;
        }
    }
    auto inGroup = [&](const Column &c) { return !groupChosen || c.group == group; };

    // The lines, in the order they are printed; each takes every column of its roles.
    QList<QList<Role>> lines;
    if (personParts)
        lines << QList<Role>{Role::Given, Role::Middle, Role::Family};
    else if (has(Role::Name))
        lines << QList<Role>{Role::Name}; // the card's name comes from this first line
    lines << QList<Role>{Role::Organisation} << QList<Role>{Role::PoBox} << QList<Role>{Role::Street}
          << QList<Role>{Role::Street2} << QList<Role>{Role::Street3}
          << QList<Role>{Role::PostalCode, Role::Town, Role::Region} << QList<Role>{Role::Country};
    auto lineHasColumns = [&](const QList<Role> &roles) {
        for (const Column &c : columns)
            if (roles.contains(c.role)
                && (c.role == Role::Organisation || c.role == Role::Name || c.role == Role::Given
                    || c.role == Role::Middle || c.role == Role::Family || inGroup(c)))
                return true;
        return false;
    };
    QList<QList<Role>> used;
    for (const QList<Role> &line : lines)
        if (lineHasColumns(line))
            used << line;
    // At most six lines: the third street line, the PO box, then the second street line give way.
    for (Role dropped : {Role::Street3, Role::PoBox, Role::Street2, Role::Country}) {
        if (used.size() <= 6)
            break;
        used.removeIf([dropped](const QList<Role> &line) { return line.size() == 1 && line.first() == dropped; });
    }
    while (used.size() > 6)
        used.removeLast();

    for (int l = 0; l < used.size(); ++l) {
        for (int i = 0; i < n; ++i) {
            const Column &c = columns.at(i);
            if (!used.at(l).contains(c.role))
                continue;
            const bool addressPart = c.role != Role::Organisation && c.role != Role::Name && c.role != Role::Given
                                     && c.role != Role::Middle && c.role != Role::Family;
            if (addressPart && !inGroup(c))
                continue;
            if (c.role == Role::Organisation && mapping.indexOf(lineField(l + 1)) >= 0)
                continue; // one organisation column
            mapping[i] = lineField(l + 1);
        }
    }
    if (personParts && first(Role::Name) >= 0)
        mapping[first(Role::Name)] = TSchedaIndirizzo::Nome;
    if (first(Role::Type) >= 0)
        mapping[first(Role::Type)] = TSchedaIndirizzo::Tipo;
    if (first(Role::Note) >= 0)
        mapping[first(Role::Note)] = TSchedaIndirizzo::Note;
    return mapping;
}

} // namespace tavolux::columnmapping
