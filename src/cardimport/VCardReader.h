#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// What an address card takes from one vCard.
struct VCard
{
    QString formattedName; // FN
    QStringList name;      // N: family, given, additional, prefixes, suffixes
    QString organisation;  // the first ORG, its units joined by ", "
    QStringList address;   // the chosen ADR: PO box, extended, street, town, region, postal code, country
    QString label;         // LABEL (2.1, 3.0) or the LABEL parameter of ADR (4.0)
    QString note;          // NOTE
    bool readOtherWay = false; // a line of it was read as Windows-1252 in a UTF-8 file

    // The nine values of its address card (Nome, Tipo, Rigo01..Rigo06,
    // Note): the name from FN, or N, or ORG; the lines are the person's
    // name, the organisation, then the address in Italian order (streets;
    // postal code, town and province; the country when not Italy), or the
    // LABEL where there is no address; no empty line between filled ones.
    QStringList values() const;
};

// vCard 2.1, 3.0 and 4.0, read on the file's bytes: lines unfolded before
// they are decoded (a fold may split a character), escaped characters, in 2.1
// quoted-printable values and their CHARSET, nested AGENT cards skipped.
// Several cards per file.
class VCardReader
{
public:
    enum class Lines {
        Detect,     // UTF-8, unless most lines that are not ASCII are not valid UTF-8
        Utf8,       // each line that is not valid UTF-8 is read as Windows-1252
        Windows1252 // every line that names no charset
    };

    // True when the first non-blank line is BEGIN:VCARD.
    static bool looksLikeVCard(QByteArrayView bytes);

    // False, with errorString(), when a card does not end or nothing is a card.
    bool read(QByteArrayView bytes, Lines lines);

    const QList<VCard> &cards() const { return m_cards; }
    QString errorString() const { return m_error; }
    // Whether the lines were read as UTF-8 (else Windows-1252).
    bool utf8() const { return m_utf8; }
    // Lines read as Windows-1252 although the file is UTF-8.
    int otherWayLines() const { return m_otherWayLines; }
    // Of the lines read as Windows-1252: bytes that are not ASCII, and bytes
    // that are not blank (for telling text from other data).
    qsizetype windows1252HighBytes() const { return m_highBytes; }
    qsizetype windows1252TextBytes() const { return m_textBytes; }

private:
    QList<VCard> m_cards;
    QString m_error;
    bool m_utf8 = true;
    int m_otherWayLines = 0;
    qsizetype m_highBytes = 0;
    qsizetype m_textBytes = 0;
};

} // namespace tavolux
