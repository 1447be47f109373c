#pragma once

#include "storage/AddressArchive.h"
#include "storage/TSchedaIndirizzo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace tavolux::cardlist {

// The list line of a card: name in 40 columns, "  Tipo: ", type in 28
// columns, "  Note: ", then the whole note. Values are trimmed first.
// The line is built in the archive's code page, one byte per character.
void appendLineBytes(QByteArray &out, QByteArrayView nome, QByteArrayView tipo, QByteArrayView note);
// The same line of a raw archive record (only Nome, Tipo and Note are read);
// false when the card has no name and so no line.
bool appendLineOfRecord(QByteArray &out, const char *record);

// A line without its leading and trailing characters of code 32 or less.
QByteArrayView trimmedLine(QByteArrayView lineBytes);

QString listLine(const QString &nome, const QString &tipo, const QString &note);
QString listLine(const TSchedaIndirizzo &card);

// The list order: character codes, with a-z taken as A-Z; a prefix comes first.
bool listLess(const QString &a, const QString &b);

// Lowers A-Z only; every other character stays as it is.
QString lowerAscii(const QString &text);

// The lines of the list, kept compact: all lines in one buffer of code-page
// bytes as they were added, their list order as a permutation, and a copy
// with A-Z lowered, in list order, for searching. Large lists are sorted on
// two threads, and their lowered copy is made on another thread after the
// sort: a search waits for it, so the list can be shown before it is ready.
// Two threads are used as inparts::partsFor says.
class CardLines
{
public:
    CardLines();
    // The lines as given, not sorted.
    explicit CardLines(const QStringList &lines);
    // The lines already in one buffer, each followed by a zero byte: `offsets`
    // holds where each begins, then the buffer's size.
    static CardLines fromText(QByteArray text, std::vector<qint64> offsets);
    CardLines(CardLines &&other) noexcept;
    CardLines &operator=(CardLines &&other) noexcept;
    CardLines(const CardLines &) = delete;
    CardLines &operator=(const CardLines &) = delete;
    ~CardLines();

    // Adds a line (code-page bytes) at the end; the list is unsorted until sort().
    void append(QByteArrayView lineBytes);
    // Adds the line of a raw archive record, made in place; false when the
    // card has no name and so no line.
    bool appendRecord(const char *record);
    // The longest line: name and type columns, labels and a whole note.
    static constexpr qsizetype LongestLine = 84 + 250;

    // Sorts in list order; equal lines keep their order, side by side.
    void sort();
    void clear();

    int size() const { return int(m_textOffsets.size()) - 1; }
    bool isEmpty() const { return size() <= 0; }
    QString line(int index) const;
    QByteArrayView lineBytes(int index) const;
    // Which line, counted in the order they were added, is at `index` in the
    // list: how a caller finds what it keeps beside each added line.
    int addedIndex(int index) const { return m_order.empty() ? index : m_order[size_t(index)]; }
    QStringList toStringList() const;
    // Bytes of text the list holds (one byte per character), separators excluded.
    qint64 textBytes() const { return m_text.size() - size(); }

    // First line in [from, to) whose lowered text contains the lowered key, or -1.
    int findIn(const QByteArray &loweredKey, int from, int to) const;

private:
    struct Lowering;
    // Starts the lowered copy: made at once for a small list, on a thread for a large one.
    void makeLowered();
    // Stops (and waits for) a lowered copy being made, and drops it.
    void dropLowered();

    QByteArray m_text;                   // lines as added, each followed by a zero byte
    std::vector<qint64> m_textOffsets{0}; // where each line of m_text begins, and the end
    std::vector<int> m_order;            // once sorted: the added line at each place
    // The lines in list order with A-Z lowered, zero-separated, and where each
    // begins; declared last, so that its thread stops before the text goes.
    std::unique_ptr<Lowering> m_lowering;
};

// The line of every named card of an opened archive, in file order, not
// sorted; a long archive is read in parts at once. False when a read failed:
// the lines of the cards read without a gap from the first are there.
bool readLines(AddressArchive &archive, CardLines &lines);
// As above in `parts` parts (0: as inparts::partsFor says), with
// `each(part, position, record)` called on the part's own thread for every
// record that gives a line; `kept` gets how many of each part's lines were
// kept (on a failure, those read without a gap from the first).
using RecordVisit = std::function<void(int part, qint64 position, const char *record)>;
bool readLines(AddressArchive &archive, CardLines &lines, int parts, const RecordVisit &each,
               std::vector<qint64> &kept);

// Find-next over the list lines, with a memory of the last key.
class Search
{
public:
    // Returns the line that becomes current, or -1 when nothing matches (the
    // current line then stays). `current` is the current line (-1: none, taken
    // as line 0). The key is stored in the memory whether or not a line matched.
    int findNext(const CardLines &lines, int current, const QString &searchText);

    QString memory() const { return m_memory; }
    void clear() { m_memory.clear(); }

private:
    QString m_memory;
};

} // namespace tavolux::cardlist
