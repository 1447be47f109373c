#pragma once

#include "cardimport/ColumnMapping.h"
#include "storage/TSchedaIndirizzo.h"

#include <QList>
#include <QString>
#include <QStringList>

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

// The nine values (Nome, Tipo, Rigo01..Rigo06, Note) of a vCard: the name
// from FN, or N, or ORG; the lines are the person's name, the organisation,
// then the address in Italian order (street; postal code, town and province;
// the country when not Italy), or the LABEL where there is no address.
QStringList vcardRow(const VCard &card);

// The column names of vcardRow.
QStringList fieldNames();

} // namespace cardbuilder
} // namespace tavolux
