#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// Where each column of an imported table goes: a card field (Nome, Tipo,
// Rigo01..Rigo06, Note: indexes 0..8 of TSchedaIndirizzo) or nowhere (-1).
// Several columns may go to one field; their texts are then joined in the
// order their kinds take on an Italian address (see ColumnRole).
using ColumnMapping = QList<int>;

// What a column holds, as its header names it.
struct ColumnRole
{
    enum Kind {
        Unknown,
        Name, // the whole name of the contact
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
        AddressType, // "Address 1 - Type": work, home...
        Note,
        Type,
        Line // the program's own "Rigo01", "Indirizzo (rigo 1)"
    };
    Kind kind = Unknown;
    int line = 0;  // Line: 1..6
    QString group; // the address a column belongs to: "uff", "ab", "altro", "address 1"; empty: none

    bool isAddressPart() const { return kind >= PoBox && kind <= Country; }
    bool isStreetOrTown() const { return (kind >= Street && kind <= Street3) || kind == Town; }
};

namespace columnmapping {

constexpr int Ignored = -1;
// The fields a column can go to, in the order the dialog offers them.
QList<int> targets();
// "Nome etichetta", "Tipo", "Rigo 1", ..., "Rigo 6", "Note"; "(non importare)" for Ignored.
QString targetName(int target);

// The roles of the columns of a header: Italian and English names, the names
// Outlook, Thunderbird and Google Contacts write, and the program's own
// export headers and field names.
QList<ColumnRole> roles(const QStringList &header);

// A mapping from the roles of a header: the person's name, the organisation,
// the PO box, the street lines, postal code with town and province, and the
// country fill the lines in that order, every address group in the same
// lines (each card takes one group); where that gives more than six lines the
// further street lines and the PO box join the street's line. The program's
// own columns go to their own fields. Columns it does not know are ignored.
ColumnMapping propose(const QList<ColumnRole> &roles);
inline ColumnMapping propose(const QStringList &header) { return propose(roles(header)); }

// True when at least one name of the header is one the proposal knows.
bool looksLikeHeader(const QStringList &header);

// The mapping for a table without a header: the first six columns are the
// six lines.
ColumnMapping byPosition(int columns);

// How a group is named to the user ("ufficio", "abitazione", "indirizzo 2").
QString groupName(const QString &group);

} // namespace columnmapping
} // namespace tavolux
