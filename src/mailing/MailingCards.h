#pragma once

#include "cardlist/CardList.h"
#include "platform/ProgramFolder.h"
#include "printing/LineFit.h"
#include "printing/SheetFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace tavolux::mailing {

// The first group of exactly five digits in the lines, line after line: the
// Italian postal code (CAP), 0 to 99999; -1 when there is none.
int postalCodeOf(const QByteArrayView *lines, int count);
inline int postalCodeOf(const QList<QByteArrayView> &lines)
{
    return postalCodeOf(lines.constData(), int(lines.size()));
}

// The named cards of the address archive as a mailing chooses from them, in
// file order: each card's place in the file, its type, its first postal
// code, whether its lines are all empty or one of them will be cut on a
// label or on an envelope, and its name and six lines (trimmed, in the archive's code page).
// Card i is the i-th line added to the list lines read with it.
class MailingCards
{
public:
    static constexpr int Lines = 6;

    // The list lines (not sorted) and the cards beside them, read in one
    // pass, lines judged on the labels of that format; ok is false when the
    // archive could not be opened or read whole (what was read stays).
    struct Read;
    static Read read(const ProgramFolder &folder, const SheetFormat &labels = SheetFormat::standard());
    // The same from records in memory (positions 1, 2, ...).
    static Read fromRecords(const QList<QByteArray> &records, const SheetFormat &labels = SheetFormat::standard());

    int size() const { return int(m_cards.size()); }
    qint64 position(int card) const { return m_cards[size_t(card)].position; }
    // Index into tipi().
    int tipo(int card) const { return m_cards[size_t(card)].tipo; }
    int postalCode(int card) const { return m_cards[size_t(card)].postalCode; }
    bool hasLines(int card) const { return !(m_cards[size_t(card)].flags & NoLines); }
    // Whether a line will be cut in the box chosen, and the first such line (1 to 6, or 0).
    bool cutLine(int card) const { return firstCutLine(card) != 0; }
    int firstCutLine(int card) const
    {
        const Card &c = m_cards[size_t(card)];
        return m_box == LineBox::Label ? c.firstCut : c.envelopeCut;
    }
    // The box the lines print in: a label's, as read, or an envelope's,
    // whose cut lines are measured the first time it is chosen.
    LineBox box() const { return m_box; }
    void setBox(LineBox box);
    // Judges the label lines again, on the labels of another format.
    void setLabelFormat(const SheetFormat &format);

    // Field 0 is the name, 1 to 6 the lines.
    QByteArrayView fieldBytes(int card, int field) const;
    QString name(int card) const { return text(card, 0); }
    QString line(int card, int line) const { return text(card, line); }

    // The distinct types, as stored, in list order (a-z taken as A-Z), and
    // how many cards carry each.
    const QStringList &tipi() const { return m_tipi; }
    qint64 tipoCount(int tipo) const { return m_tipoCounts[size_t(tipo)]; }

private:
    enum Flag : std::uint8_t { NoLines = 1, Cut = 2 };
    struct Card
    {
        qint64 position = 0;
        qint64 offset = 0; // of its name in its part's text
        int tipo = 0;
        int postalCode = -1;
        std::uint8_t lengths[1 + Lines] = {};
        std::uint8_t part = 0;
        std::uint8_t flags = 0;
        std::uint8_t firstCut = 0;
        std::uint8_t measure = 0; // lines near their box's edge, bit n - 1 for line n
        std::uint8_t envelopeCut = 0; // the first line cut on an envelope, or 0
    };
    struct Part;
    friend struct Part;

    QString text(int card, int field) const;
    static Read readParts(std::vector<Part> &parts, cardlist::CardLines &lines, bool ok, const SheetFormat &format);

    std::vector<Card> m_cards;
    // The names and lines of the cards of each part read, one after another.
    struct Text
    {
        char *bytes = nullptr;
        size_t size = 0, capacity = 0;
        Text() = default;
        Text(Text &&other) noexcept;
        Text &operator=(Text &&other) noexcept;
        ~Text();
        // Room for `more` bytes after `size`; false when there is no memory.
        bool ensure(size_t more);
    };
    std::vector<Text> m_texts;
    QStringList m_tipi;
    std::vector<qint64> m_tipoCounts;
    LineBox m_box = LineBox::Label;
    bool m_envelopeMeasured = false;
};

struct MailingCards::Read
{
    cardlist::CardLines lines;
    MailingCards cards;
    bool ok = true;
    bool busy = false; // not ok: another copy held the archive longer than a read waits
};

} // namespace tavolux::mailing
