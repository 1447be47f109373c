#pragma once

#include "cardimport/ColumnMapping.h"
#include "storage/TSchedaIndirizzo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace tavolux {

struct VCard;

// An address card made from one imported row, as the archive will hold it.
struct ImportedCard
{
    TSchedaIndirizzo card;
    // The characters of its fields that Windows-1252 cannot hold, each once.
    QString lostCharacters;
};

namespace cardbuilder {

// The value a field of the archive keeps of `text`: line breaks inside it
// become ", ", other control characters blanks; then trimmed and cut to the
// 250 bytes of the field, trimmed again (what reading it back gives, but for
// characters outside Windows-1252, which the file holds as '?').
QString storedValue(const QString &text);

// The characters of `text` that Windows-1252 cannot hold, appended to `lost`
// where it does not have them yet.
void collectLost(const QString &text, QString &lost);

// The card of one row: each field takes the texts of its columns, joined by a
// blank. A card with no name takes its first non-empty line (or else its
// note) as its name. False when the row gives no text at all.
bool build(const QStringList &row, const ColumnMapping &mapping, ImportedCard &out);

// The columns of each field (Nome .. Note) under a mapping, in column order:
// worked out once for a whole table.
using FieldColumns = std::array<QList<int>, TSchedaIndirizzo::Note + 1>;
FieldColumns fieldColumns(const ColumnMapping &mapping);
bool build(const QStringList &row, const FieldColumns &columns, ImportedCard &out);

// The same without making the card, for a row whose fields need no cleaning
// and no cut (no control characters or surrogates inside, at most 250
// characters joined): whether it gives a card, and its lost characters
// appended to `lost`. False when the row needs build().
bool scanSimple(const QStringList &row, const FieldColumns &columns, bool &givesCard, QString &lost);
// Writes the record of such a row (all RecordSize bytes), exactly as
// build() and TSchedaIndirizzo::writeRecord() would; false, writing nothing,
// when the row needs them.
bool encodeSimple(const QStringList &row, const FieldColumns &columns, char *record);

// The nine values (Nome, Tipo, Rigo01..Rigo06, Note) of a vCard: the name
// from FN, or N, or ORG; the lines are the person's name, the organisation,
// then the address in Italian order (street; postal code, town and province;
// the country when not Italy), or the LABEL where there is no address.
QStringList vcardRow(const VCard &card);

// The column names of vcardRow.
QStringList fieldNames();

} // namespace cardbuilder
} // namespace tavolux
