#pragma once

#include "cardimport/TextEncoding.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// What an address card takes from one vCard.
struct VCard
{
    QString formattedName; // FN
    QStringList name;      // N: family, given, additional, prefixes, suffixes
    QString organisation;  // ORG, its units joined by ", "
    QStringList address;   // the preferred ADR: PO box, extended, street, town, region, postal code, country
    QString label;         // LABEL (2.1, 3.0) or the LABEL parameter of ADR (4.0)
    QString note;          // NOTE
};

// vCard 2.1, 3.0 and 4.0: folded lines, escaped characters, and in 2.1
// quoted-printable values with their CHARSET. Several cards per text.
class VCardReader
{
public:
    // True when the text's first non-blank line is BEGIN:VCARD.
    static bool looksLikeVCard(QStringView text);

    // `fileEncoding` decodes quoted-printable bytes that name no charset.
    // False, with errorString(), when a card does not end or nothing is a card.
    bool read(const QString &text, TextEncoding fileEncoding);

    const QList<VCard> &cards() const { return m_cards; }
    QString errorString() const { return m_error; }

private:
    QList<VCard> m_cards;
    QString m_error;
};

} // namespace tavolux
