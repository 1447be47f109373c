#include "cardlist/CardList.h"

#include "platform/Cp1252.h"
#include "platform/LargePages.h"
#include "storage/InParts.h"
#include "storage/TCampo250.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <numeric>
#include <string_view>
#include <thread>
#include <utility>

namespace tavolux::cardlist {

namespace {

// Sort key of each code-page byte: its Windows-1252 code, a-z taken as A-Z.
const std::array<char16_t, 256> &sortKeys()
{
    static const std::array<char16_t, 256> keys = [] {
        std::array<char16_t, 256> k{};
        for (int b = 0; b < 256; ++b)
            k[size_t(b)] = char16_t((b >= 'a' && b <= 'z') ? b - 32 : b);
        return k;
    }();
    return keys;
}

// Each byte's rank in the list order (a-z ranking with A-Z): comparing ranks
// byte by byte, as memcmp does, is the list order.
const std::array<unsigned char, 256> &ranks()
{
    static const std::array<unsigned char, 256> table = [] {
        const auto &keys = sortKeys();
        std::array<char16_t, 256> distinct = keys;
        std::sort(distinct.begin(), distinct.end());
        const auto end = std::unique(distinct.begin(), distinct.end());
        std::array<unsigned char, 256> r{};
        for (int b = 0; b < 256; ++b)
            r[size_t(b)] = static_cast<unsigned char>(std::lower_bound(distinct.begin(), end, keys[size_t(b)]) - distinct.begin());
        return r;
    }();
    return table;
}

inline char lowerByte(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

QByteArrayView trimmedBytes(QByteArrayView value)
{
    qsizetype begin = 0, end = value.size();
    while (begin < end && static_cast<unsigned char>(value[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(value[end - 1]) <= 32)
        --end;
    return value.sliced(begin, end - begin);
}

// Writes the value cut or padded with blanks to `width` bytes; returns the end.
char *putColumn(char *dst, QByteArrayView value, qsizetype width)
{
    const qsizetype length = std::min(value.size(), width);
    if (length > 0) // an empty view may have no data at all
        std::memcpy(dst, value.data(), size_t(length));
    std::memset(dst + length, ' ', size_t(width - length));
    return dst + width;
}

QByteArrayView fieldBytes(const char *record, int field)
{
    const char *campo = record + field * TCampo250::Size;
    const int length = std::min(int(static_cast<unsigned char>(campo[0])), TCampo250::MaxText);
    return QByteArrayView(campo + 1, length);
}

// Writes the line of trimmed values at dst (84 bytes and the note).
void putLine(char *dst, QByteArrayView trimmedNome, QByteArrayView trimmedTipo, QByteArrayView trimmedNote)
{
    dst = putColumn(dst, trimmedNome, 40);
    std::memcpy(dst, "  Tipo: ", 8);
    dst = putColumn(dst + 8, trimmedTipo, 28);
    std::memcpy(dst, "  Note: ", 8);
    if (!trimmedNote.isEmpty())
        std::memcpy(dst + 8, trimmedNote.data(), size_t(trimmedNote.size()));
}

} // namespace

void appendLineBytes(QByteArray &out, QByteArrayView nome, QByteArrayView tipo, QByteArrayView note)
{
    const QByteArrayView trimmedNote = trimmedBytes(note);
    const qsizetype start = out.size();
    out.resize(start + 84 + trimmedNote.size());
    putLine(out.data() + start, trimmedBytes(nome), trimmedBytes(tipo), trimmedNote);
}

bool appendLineOfRecord(QByteArray &out, const char *record)
{
    const QByteArrayView nome = fieldBytes(record, TSchedaIndirizzo::Nome);
    if (trimmedBytes(nome).isEmpty())
        return false;
    appendLineBytes(out, nome, fieldBytes(record, TSchedaIndirizzo::Tipo), fieldBytes(record, TSchedaIndirizzo::Note));
    return true;
}

QByteArrayView trimmedLine(QByteArrayView lineBytes)
{
    return trimmedBytes(lineBytes);
}

QString listLine(const QString &nome, const QString &tipo, const QString &note)
{
    // Card values come from the archive, so they are in its code page.
    QByteArray line;
    appendLineBytes(line, cp1252::encode(nome), cp1252::encode(tipo), cp1252::encode(note));
    return cp1252::decode(line);
}

QString listLine(const TSchedaIndirizzo &card)
{
    return listLine(card[TSchedaIndirizzo::Nome], card[TSchedaIndirizzo::Tipo], card[TSchedaIndirizzo::Note]);
}

bool listLess(const QString &a, const QString &b)
{
    // Lines hold code-page text, so the order goes by each character's code there.
    const auto &key = sortKeys();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = key[static_cast<unsigned char>(cp1252::encodeChar(a.at(i).unicode()))];
        const char16_t cb = key[static_cast<unsigned char>(cp1252::encodeChar(b.at(i).unicode()))];
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

QString lowerAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return out;
}

struct CardLines::Lowering {
    QByteArray text;
    std::vector<qint64> offsets;
    std::atomic<bool> stop{false};
    std::thread worker;

    ~Lowering()
    {
        stop = true;
        wait();
    }
    void wait()
    {
        if (worker.joinable())
            worker.join();
    }
};

namespace {

// One pass in list order, lowering as it copies. Lines are fetched a few
// places ahead, as list order jumps about in the text.
void lowerInto(QByteArray &lowered, std::vector<qint64> &offsets, const std::atomic<bool> &stop, const char *text,
               const qint64 *begins, const int *order, int n)
{
    auto added = [order](int i) { return order ? order[i] : i; };
    char *out = lowered.data();
    offsets[0] = 0;
    constexpr int kAhead = 16;
    for (int i = 0; i < n; ++i) {
        if ((i & 4095) == 0 && stop.load(std::memory_order_relaxed))
            return;
        if (i + 2 * kAhead < n)
            __builtin_prefetch(begins + added(i + 2 * kAhead));
        if (i + kAhead < n) {
            const char *ahead = text + begins[added(i + kAhead)];
            __builtin_prefetch(ahead);
            __builtin_prefetch(ahead + 64);
        }
        const int j = added(i);
        const auto *in = reinterpret_cast<const unsigned char *>(text + begins[j]);
        const qint64 length = begins[j + 1] - 1 - begins[j];
        for (qint64 k = 0; k < length; ++k) {
            const unsigned char c = in[k];
            out[k] = char(c + (unsigned(c - 'A') < 26u ? 32 : 0));
        }
        out[length] = '\0';
        out += length + 1;
        offsets[size_t(i) + 1] = out - lowered.constData();
    }
}

bool useThreads(qint64 lines)
{
    return inparts::partsFor(lines) > 1;
}

} // namespace

CardLines::CardLines() = default;

CardLines::CardLines(const QStringList &lines)
{
    for (const QString &line : lines)
        append(cp1252::encode(line));
    makeLowered();
}

CardLines::CardLines(CardLines &&other) noexcept
{
    *this = std::move(other);
}

CardLines &CardLines::operator=(CardLines &&other) noexcept
{
    if (this != &other) {
        // A copy still being made here reads this list's buffers: it stops first.
        dropLowered();
        m_text = std::move(other.m_text);
        m_textOffsets = std::move(other.m_textOffsets);
        m_order = std::move(other.m_order);
        m_lowering = std::move(other.m_lowering);
        other.m_text = QByteArray();
        other.m_textOffsets.assign(1, 0);
        other.m_order.clear();
    }
    return *this;
}

CardLines::~CardLines()
{
    dropLowered();
}

void CardLines::dropLowered()
{
    m_lowering.reset();
}

void CardLines::makeLowered()
{
    dropLowered();
    const int n = size();
    auto lowering = std::make_unique<Lowering>();
    lowering->text = QByteArray(m_text.size(), Qt::Uninitialized);
    adviseLargePages(lowering->text.constData(), lowering->text.size());
    lowering->offsets.resize(size_t(n) + 1);
    const char *text = m_text.constData();
    const qint64 *begins = m_textOffsets.data();
    const int *order = m_order.empty() ? nullptr : m_order.data();
    Lowering *target = lowering.get();
    auto work = [target, text, begins, order, n] {
        lowerInto(target->text, target->offsets, target->stop, text, begins, order, n);
    };
    if (useThreads(n))
        lowering->worker = std::thread(work);
    else
        work();
    m_lowering = std::move(lowering);
}

void CardLines::append(QByteArrayView lineBytes)
{
    // The lowered copy may still read the buffers that growing them frees.
    dropLowered();
    m_order.clear();
    const qsizetype start = m_text.size();
    const qsizetype length = lineBytes.size();
    m_text.resize(start + length + 1);
    char *text = m_text.data() + start;
    if (length > 0)
        std::memcpy(text, lineBytes.data(), size_t(length));
    text[length] = '\0';
    m_textOffsets.push_back(start + length + 1);
}

namespace {

// Puts the line of a raw record, zero-ended, at dst (room for 84 + 250 + 1
// bytes); its length, or -1 when the card has no name.
qsizetype putRecordLine(char *dst, const char *record)
{
    const QByteArrayView nome = trimmedBytes(fieldBytes(record, TSchedaIndirizzo::Nome));
    if (nome.isEmpty())
        return -1;
    const QByteArrayView note = trimmedBytes(fieldBytes(record, TSchedaIndirizzo::Note));
    const qsizetype length = 84 + note.size();
    putLine(dst, nome, trimmedBytes(fieldBytes(record, TSchedaIndirizzo::Tipo)), note);
    dst[length] = '\0';
    return length;
}

} // namespace

bool CardLines::appendRecord(const char *record)
{
    // A card without a name leaves the list as it is.
    if (trimmedBytes(fieldBytes(record, TSchedaIndirizzo::Nome)).isEmpty())
        return false;
    dropLowered();
    m_order.clear();
    const qsizetype start = m_text.size();
    m_text.resize(start + LongestLine + 1);
    const qsizetype length = putRecordLine(m_text.data() + start, record);
    m_text.resize(start + length + 1);
    m_textOffsets.push_back(start + length + 1);
    return true;
}

CardLines CardLines::fromText(QByteArray text, std::vector<qint64> offsets)
{
    CardLines lines;
    lines.m_text = std::move(text);
    lines.m_textOffsets = std::move(offsets);
    return lines;
}

namespace {

bool readLinesInParts(AddressArchive &archive, CardLines &lines, int parts, const RecordVisit &each,
                      std::vector<qint64> *kept)
{
    const qint64 cards = qMax<qint64>(0, archive.count());
    // Each part's line ends, from where its bytes begin; then shifted to
    // where they land in the buffer.
    if (parts <= 0)
        parts = inparts::partsFor(cards);
    std::vector<qint64> offsets;
    offsets.reserve(size_t(cards) + 1);
    std::vector<std::vector<qint64>> ends(static_cast<size_t>(parts));
    for (int part = 0; part < parts; ++part) {
        std::vector<qint64> &own = ends[size_t(part)];
        own.reserve(size_t(inparts::partStart(cards, parts, part + 1) - inparts::partStart(cards, parts, part)));
    }
    PartedBuffer read = archive.readIntoBuffer(
        cards,
        [](const char *record) -> qint64 {
            // No line without a name; else the columns, the labels, the note and a zero byte.
            if (fieldBytes(record, TSchedaIndirizzo::Nome).isEmpty())
                return 0;
            return 84 + fieldBytes(record, TSchedaIndirizzo::Note).size() + 1;
        },
        [&ends, &each](int part, qint64 position, const char *record, char *out, qint64 offset) -> qint64 {
            const qsizetype length = putRecordLine(out, record);
            if (length < 0)
                return 0;
            ends[size_t(part)].push_back(offset + length + 1);
            if (each)
                each(part, position, record);
            return length + 1;
        },
        parts);
    offsets.push_back(0);
    if (kept)
        kept->assign(size_t(parts), 0);
    for (size_t part = 0; part < read.starts.size(); ++part) {
        // Only the lines of the records the part read whole.
        const qint64 bytes = (part + 1 < read.starts.size() ? read.starts[part + 1] : read.bytes.size()) - read.starts[part];
        for (const qint64 end : ends[part]) {
            if (end > bytes)
                break;
            offsets.push_back(read.starts[part] + end);
            if (kept)
                ++(*kept)[part];
        }
        ends[part] = {};
    }
    lines = CardLines::fromText(std::move(read.bytes), std::move(offsets));
    return read.ok;
}

} // namespace

bool readLines(AddressArchive &archive, CardLines &lines)
{
    std::vector<qint64> kept;
    return readLines(archive, lines, 0, {}, kept);
}

bool readLines(AddressArchive &archive, CardLines &lines, int parts, const RecordVisit &each,
               std::vector<qint64> &kept)
{
    try {
        return readLinesInParts(archive, lines, parts, each, &kept);
    } catch (const std::bad_alloc &) {
        lines = CardLines();
        kept.assign(size_t(qMax(parts, 0)), 0);
        return false;
    }
}

namespace {

// One line in the sort: sixteen bytes of it packed as two numbers whose
// order is the list order of those bytes, and its index among the added lines.
struct SortEntry {
    quint64 high;
    quint64 low;
    int index;
};

} // namespace

void CardLines::sort()
{
    dropLowered();
    m_order.clear();
    const auto &rank = ranks();
    const auto *text = reinterpret_cast<const unsigned char *>(m_text.constData());
    const qint64 *offsets = m_textOffsets.data();
    const int n = size();
    auto lengthOf = [&](int index) { return offsets[index + 1] - 1 - offsets[index]; };

    // Eight bytes of line `index` from `depth` on, as ranks + 1, with 0 past
    // the end: comparing the numbers compares those bytes in list order, and
    // a line that ends there comes before any line that goes on.
    auto load = [&](int index, qint64 depth) {
        const unsigned char *at = text + offsets[index] + depth;
        const qint64 left = lengthOf(index) - depth;
        quint64 value = 0;
        for (int k = 0; k < 8; ++k)
            value = (value << 8) | (k < left ? quint64(rank[at[k]]) + 1 : 0u);
        return value;
    };
    auto loadEntry = [&](SortEntry &e, qint64 depth) {
        e.high = load(e.index, depth);
        e.low = (e.high & 0xFF) != 0 ? load(e.index, depth + 8) : 0;
    };
    auto less = [](const SortEntry &a, const SortEntry &b) {
        if (a.high != b.high)
            return a.high < b.high;
        return a.low != b.low ? a.low < b.low : a.index < b.index;
    };
    auto sameKey = [](const SortEntry &a, const SortEntry &b) { return a.high == b.high && a.low == b.low; };
    // Lines whose bytes from `depth` on are all the same: equal lines, which
    // are in their order already.
    auto allSame = [&](const SortEntry *first, const SortEntry *last, qint64 depth) {
        const qint64 length = lengthOf(first->index);
        const unsigned char *head = text + offsets[first->index] + depth;
        for (const SortEntry *e = first + 1; e != last; ++e)
            if (lengthOf(e->index) != length
                || std::memcmp(text + offsets[e->index] + depth, head, size_t(length - depth)) != 0)
                return false;
        return true;
    };
    // Sorts entries by their keys. Where all tie (blanks of a column, the
    // fixed labels) there is nothing to sort: the lines are in index order.
    auto sortByKeys = [&](SortEntry *first, SortEntry *last) {
        bool tied = true;
        for (const SortEntry *e = first + 1; e < last && tied; ++e)
            tied = sameKey(*e, *first);
        if (!tied)
            std::sort(first, last, less);
    };

    std::vector<SortEntry> order(size_t(std::max(n, 0)));
    adviseLargePages(order.data(), qint64(order.size() * sizeof(SortEntry)));
    // Sorted sixteen bytes at a time: only lines whose bytes so far tie are
    // looked at again, further on. Within a tie the index decides, so lines
    // equal in list order keep their order (and a tie is in index order when
    // it is looked at again).
    struct Range {
        size_t first, last;
        qint64 depth;
    };
    // Pushes the runs of entries that tie on their keys and go on beyond them.
    auto pushTies = [&](SortEntry *first, SortEntry *last, qint64 depth, std::vector<Range> &pending) {
        for (SortEntry *tie = first; tie != last;) {
            SortEntry *end = tie + 1;
            while (end != last && sameKey(*end, *tie))
                ++end;
            // Lines that end within these bytes are equal in list order.
            if (end - tie > 1 && (tie->low & 0xFF) != 0)
                pending.push_back({size_t(tie - order.data()), size_t(end - order.data()), depth + 16});
            tie = end;
        }
    };
    auto resolve = [&](std::vector<Range> pending) {
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            SortEntry *first = order.data() + range.first;
            SortEntry *last = order.data() + range.last;
            if (allSame(first, last, range.depth))
                continue;
            // Lines are fetched ahead in two steps: where a line is, then its bytes.
            for (SortEntry *e = first; e != last; ++e) {
                if (last - e > 16)
                    __builtin_prefetch(offsets + e[16].index);
                if (last - e > 8)
                    __builtin_prefetch(text + offsets[e[8].index] + range.depth);
                loadEntry(*e, range.depth);
            }
            sortByKeys(first, last);
            pushTies(first, last, range.depth, pending);
        }
    };
    auto sortSpan = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            order[i].index = int(i);
            loadEntry(order[i], 0);
        }
        sortByKeys(order.data() + from, order.data() + to);
    };

    std::vector<Range> pending;
    if (useThreads(n)) {
        // Two halves sorted side by side and merged; then the ties, shared
        // out by size. The order is a total one, so it is the same either way.
        const size_t half = order.size() / 2;
        std::thread second(sortSpan, half, order.size());
        sortSpan(0, half);
        second.join();
        std::inplace_merge(order.begin(), order.begin() + qsizetype(half), order.end(), less);
        pushTies(order.data(), order.data() + order.size(), 0, pending);
        std::sort(pending.begin(), pending.end(),
                  [](const Range &a, const Range &b) { return a.last - a.first > b.last - b.first; });
        std::array<std::vector<Range>, 2> shares;
        std::array<size_t, 2> weight{0, 0};
        for (const Range &range : pending) {
            const int lighter = weight[0] <= weight[1] ? 0 : 1;
            shares[size_t(lighter)].push_back(range);
            weight[size_t(lighter)] += range.last - range.first;
        }
        std::thread other(resolve, std::move(shares[1]));
        resolve(std::move(shares[0]));
        other.join();
    } else {
        sortSpan(0, order.size());
        pushTies(order.data(), order.data() + order.size(), 0, pending);
        resolve(std::move(pending));
    }
    m_order.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        m_order[i] = order[i].index;
    order = {};
    makeLowered();
}

void CardLines::clear()
{
    dropLowered();
    m_text = QByteArray();
    m_textOffsets.assign(1, 0);
    m_order = {};
}

QByteArrayView CardLines::lineBytes(int index) const
{
    const int added = m_order.empty() ? index : m_order[size_t(index)];
    const qint64 begin = m_textOffsets[size_t(added)];
    const qint64 end = m_textOffsets[size_t(added) + 1] - 1;
    return QByteArrayView(m_text.constData() + begin, end - begin);
}

QString CardLines::line(int index) const
{
    const QByteArrayView bytes = lineBytes(index);
    return cp1252::decode(bytes.data(), int(bytes.size()));
}

QStringList CardLines::toStringList() const
{
    QStringList out;
    out.reserve(size());
    for (int i = 0; i < size(); ++i)
        out.append(line(i));
    return out;
}

int CardLines::findIn(const QByteArray &loweredKey, int from, int to) const
{
    if (loweredKey.isEmpty() || from >= to || !m_lowering)
        return -1;
    m_lowering->wait();
    const QByteArray &lowered = m_lowering->text;
    const std::vector<qint64> &offsets = m_lowering->offsets;
    // Lines end in a zero byte, so a key without one cannot match across lines.
    const qint64 begin = offsets[size_t(from)];
    const qint64 end = offsets[size_t(to)];
    const std::string_view haystack(lowered.constData() + begin, size_t(end - begin));
    const size_t found = haystack.find(std::string_view(loweredKey.constData(), size_t(loweredKey.size())));
    if (found == std::string_view::npos)
        return -1;
    const qint64 hit = qint64(found);
    const auto at = std::upper_bound(offsets.begin(), offsets.end(), begin + hit);
    return int(at - offsets.begin()) - 1;
}

int Search::findNext(const CardLines &lines, int current, const QString &searchText)
{
    const QString key = lowerAscii(searchText);
    const int count = lines.size();
    int found = -1;
    const QByteArray keyBytes = cp1252::encode(key);
    // A key outside the code page, or with a zero byte, matches no line.
    const bool searchable = !key.isEmpty() && cp1252::decode(keyBytes) == key && !keyBytes.contains('\0');
    if (count > 0 && searchable) {
        if (current < 0 || current >= count)
            current = 0;
        if (key != m_memory) {
            // A new search tests from line 0.
            found = lines.findIn(keyBytes, 0, count);
        } else {
            // A repeated search starts after the current line and tests it last.
            found = lines.findIn(keyBytes, current + 1, count);
            if (found < 0)
                found = lines.findIn(keyBytes, 0, current + 1);
        }
    }
    m_memory = key;
    return found;
}

} // namespace tavolux::cardlist
