#include "addresses/CardList.h"

#include "platform/Cp1252.h"
#include "storage/TCampo250.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <string_view>

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

} // namespace

void appendLineBytes(QByteArray &out, QByteArrayView nome, QByteArrayView tipo, QByteArrayView note)
{
    const QByteArrayView trimmedNote = trimmedBytes(note);
    const qsizetype start = out.size();
    out.resize(start + 84 + trimmedNote.size());
    char *dst = out.data() + start;
    dst = putColumn(dst, trimmedBytes(nome), 40);
    std::memcpy(dst, "  Tipo: ", 8);
    dst = putColumn(dst + 8, trimmedBytes(tipo), 28);
    std::memcpy(dst, "  Note: ", 8);
    if (!trimmedNote.isEmpty())
        std::memcpy(dst + 8, trimmedNote.data(), size_t(trimmedNote.size()));
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

CardLines::CardLines(const QStringList &lines)
{
    for (const QString &line : lines)
        append(cp1252::encode(line));
    makeLowered();
}

void CardLines::makeLowered()
{
    m_lowered = m_text;
    for (char &c : m_lowered)
        c = lowerByte(c);
}

void CardLines::reserve(qint64 lines, qint64 bytes)
{
    m_text.reserve(bytes + lines);
    m_offsets.reserve(size_t(lines) + 1);
}

void CardLines::append(QByteArrayView lineBytes)
{
    const qsizetype start = m_text.size();
    const qsizetype length = lineBytes.size();
    m_text.resize(start + length + 1);
    char *text = m_text.data() + start;
    if (length > 0)
        std::memcpy(text, lineBytes.data(), size_t(length));
    text[length] = '\0';
    m_offsets.push_back(start + length + 1);
}

namespace {

// Compares two lines in list order: equal bytes are skipped eight at a time,
// and only bytes that differ are looked up by rank (a and A differ as bytes
// but rank alike). Negative, zero or positive, as memcmp.
int compareRanks(const unsigned char *a, const unsigned char *b, qint64 length)
{
    const auto &rank = ranks();
    qint64 i = 0;
    while (i < length) {
        if (length - i >= 8) {
            quint64 wa, wb;
            std::memcpy(&wa, a + i, 8);
            std::memcpy(&wb, b + i, 8);
            const quint64 diff = wa ^ wb;
            if (diff == 0) {
                i += 8;
                continue;
            }
            // The first differing byte (bytes are loaded little-endian).
            i += qCountTrailingZeroBits(qFromLittleEndian(diff)) / 8;
        } else if (a[i] == b[i]) {
            ++i;
            continue;
        }
        const int ra = rank[a[i]], rb = rank[b[i]];
        if (ra != rb)
            return ra - rb;
        ++i;
    }
    return 0;
}

} // namespace

void CardLines::sort()
{
    m_lowered = QByteArray(); // rebuilt below; keeps the peak at two copies
    const auto &rank = ranks();
    const auto *text = reinterpret_cast<const unsigned char *>(m_text.constData());
    const int n = size();
    // The ranks of the first sixteen bytes inline decide most comparisons
    // without touching the lines.
    struct Entry {
        quint64 high;
        quint64 low;
        int index;
    };
    auto load = [&](qint64 at, qint64 length) {
        quint64 value = 0;
        for (int k = 0; k < 8; ++k)
            value = (value << 8) | (k < length ? rank[text[at + k]] : 0u);
        return value;
    };
    std::vector<Entry> order(size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const qint64 begin = m_offsets[size_t(i)];
        const qint64 length = m_offsets[size_t(i) + 1] - 1 - begin;
        order[size_t(i)] = {load(begin, length), load(begin + 8, std::max<qint64>(0, length - 8)), i};
    }
    // Equal lines keep their order: the index decides last, which makes the
    // order total and lets an unstable sort give the stable result.
    std::sort(order.begin(), order.end(), [&](const Entry &a, const Entry &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const qint64 beginA = m_offsets[size_t(a.index)], beginB = m_offsets[size_t(b.index)];
        const qint64 lengthA = m_offsets[size_t(a.index) + 1] - 1 - beginA;
        const qint64 lengthB = m_offsets[size_t(b.index) + 1] - 1 - beginB;
        const qint64 common = std::min(lengthA, lengthB);
        if (common > 16) {
            const int c = compareRanks(text + beginA + 16, text + beginB + 16, common - 16);
            if (c != 0)
                return c < 0;
        }
        if (lengthA != lengthB)
            return lengthA < lengthB;
        return a.index < b.index;
    });

    QByteArray sorted(m_text.size(), Qt::Uninitialized);
    std::vector<qint64> offsets(m_offsets.size());
    char *out = sorted.data();
    offsets[0] = 0;
    for (int i = 0; i < n; ++i) {
        const QByteArrayView line = lineBytes(order[size_t(i)].index);
        std::memcpy(out, line.data(), size_t(line.size()) + 1); // with its zero byte
        out += line.size() + 1;
        offsets[size_t(i) + 1] = out - sorted.constData();
    }
    m_text.swap(sorted);
    sorted.clear(); // a move would only swap and keep the old text alive
    m_offsets = std::move(offsets);
    makeLowered();
}

void CardLines::clear()
{
    m_text = QByteArray();
    m_lowered = QByteArray();
    m_offsets.assign(1, 0);
}

QByteArrayView CardLines::lineBytes(int index) const
{
    const qint64 begin = m_offsets[size_t(index)];
    const qint64 end = m_offsets[size_t(index) + 1] - 1;
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
    if (loweredKey.isEmpty() || from >= to || m_lowered.size() != m_text.size())
        return -1;
    // Lines end in a zero byte, so a key without one cannot match across lines.
    const qint64 begin = m_offsets[size_t(from)];
    const qint64 end = m_offsets[size_t(to)];
    const std::string_view haystack(m_lowered.constData() + begin, size_t(end - begin));
    const size_t found = haystack.find(std::string_view(loweredKey.constData(), size_t(loweredKey.size())));
    if (found == std::string_view::npos)
        return -1;
    const qint64 hit = qint64(found);
    const auto at = std::upper_bound(m_offsets.begin(), m_offsets.end(), begin + hit);
    return int(at - m_offsets.begin()) - 1;
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
