#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// Where each column of an imported table goes: a card field (Nome, Tipo,
// Rigo01..Rigo06, Note: indexes 0..8 of TSchedaIndirizzo) or nowhere (-1).
// Several columns may go to one field; their texts are then joined by a blank,
// in column order.
using ColumnMapping = QList<int>;

namespace columnmapping {

constexpr int Ignored = -1;
// The fields a column can go to, in the order the dialog offers them.
QList<int> targets();
// "Nome", "Tipo", "Rigo01", ..., "Note"; "(ignora)" for Ignored.
QString targetName(int target);

// A mapping from the column names of a header: Italian and English names, the
// names Outlook, Thunderbird and Google Contacts write, and the card's own
// field names. The person's name, the organisation, the street, postal code
// with town and province, and the country fill the lines in that order.
// Columns it does not know are ignored.
ColumnMapping propose(const QStringList &header);

// True when at least one name of the header is one the proposal knows.
bool looksLikeHeader(const QStringList &header);

// The mapping for a table without a header: the first six columns are the
// six lines.
ColumnMapping byPosition(int columns);

} // namespace columnmapping
} // namespace tavolux
