#include "addresses/CardList.h"

#include "platform/Cp1252.h"
#include "storage/TCampo250.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

namespace tavolux::cardlist {

namespace {

// Sort key of each code-page byte: its character code, a-z taken as A-Z.
const std::array<char16_t, 256> &sortKeys()
{
    static const std::array<char16_t, 256> keys = [] {
        std::array<char16_t, 256> k{};
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            char16_t code = cp1252::decode(&c, 1).at(0).unicode();
            if (code >= u'a' && code <= u'z')
                code = char16_t(code - 32);
            k[size_t(b)] = code;
        }
        return k;
    }();
    return keys;
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

void appendColumn(QByteArray &out, QByteArrayView value, qsizetype width)
{
    const QByteArrayView text = trimmedBytes(value).first(std::min(trimmedBytes(value).size(), width));
    out.append(text.data(), text.size());
    out.append(width - text.size(), ' ');
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
    appendColumn(out, nome, 40);
    out.append("  Tipo: ", 8);
    appendColumn(out, tipo, 28);
    out.append("  Note: ", 8);
    const QByteArrayView trimmedNote = trimmedBytes(note);
    out.append(trimmedNote.data(), trimmedNote.size());
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
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = a.at(i).unicode(), cb = b.at(i).unicode();
        if (ca >= u'a' && ca <= u'z')
            ca = char16_t(ca - 32);
        if (cb >= u'a' && cb <= u'z')
            cb = char16_t(cb - 32);
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
}

void CardLines::reserve(qint64 lines, qint64 bytes)
{
    m_text.reserve(bytes + lines);
    m_lowered.reserve(bytes + lines);
    m_offsets.reserve(size_t(lines) + 1);
}

void CardLines::append(QByteArrayView lineBytes)
{
    m_text.append(lineBytes.data(), lineBytes.size());
    m_text.append('\0');
    m_offsets.push_back(m_text.size());
    for (char c : lineBytes)
        m_lowered.append(lowerByte(c));
    m_lowered.append('\0');
}

void CardLines::sort()
{
    const int n = size();
    std::vector<int> order(size_t(std::max(n, 0)));
    std::iota(order.begin(), order.end(), 0);
    const auto &keys = sortKeys();
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QByteArrayView la = lineBytes(a), lb = lineBytes(b);
        const qsizetype common = std::min(la.size(), lb.size());
        const auto *pa = reinterpret_cast<const unsigned char *>(la.data());
        const auto *pb = reinterpret_cast<const unsigned char *>(lb.data());
        for (qsizetype i = 0; i < common; ++i) {
            if (pa[i] != pb[i]) {
                const char16_t ka = keys[pa[i]], kb = keys[pb[i]];
                if (ka != kb)
                    return ka < kb;
            }
        }
        return la.size() < lb.size();
    });
    m_lowered = QByteArray(); // rebuilt below; keeps the peak at two copies
    QByteArray sorted;
    sorted.reserve(m_text.size());
    std::vector<qint64> offsets;
    offsets.reserve(m_offsets.size());
    offsets.push_back(0);
    for (int index : order) {
        const QByteArrayView line = lineBytes(index);
        sorted.append(line.data(), line.size());
        sorted.append('\0');
        offsets.push_back(sorted.size());
    }
    m_text.swap(sorted);
    sorted.clear(); // a move would only swap and keep the old text alive
    m_offsets = std::move(offsets);
    m_lowered = m_text;
    for (char &c : m_lowered)
        c = lowerByte(c);
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
    const QByteArrayView haystack(m_lowered.constData() + begin, end - begin);
    const qsizetype hit = haystack.indexOf(QByteArrayView(loweredKey));
    if (hit < 0)
        return -1;
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
