#include "cardimport/CardBuilder.h"

#include "platform/Cp1252.h"

#include <algorithm>
#include <cstring>

namespace tavolux {

namespace {

using Kind = ColumnRole::Kind;

constexpr int MaxText = TCampo250::MaxText;

bool isStreet(Kind kind)
{
    return kind == Kind::PoBox || kind == Kind::Street || kind == Kind::Street2 || kind == Kind::Street3;
}

bool isTown(Kind kind)
{
    return kind == Kind::PostalCode || kind == Kind::Town || kind == Kind::Region;
}

// The order of a kind among the kinds that share a line with it: PO box and
// street lines; postal code, town and province.
int orderInLine(Kind kind)
{
    switch (kind) {
    case Kind::PoBox:
    case Kind::PostalCode:
        return 0;
    case Kind::Street:
    case Kind::Town:
        return 1;
    case Kind::Street2:
    case Kind::Region:
        return 2;
    case Kind::Street3:
        return 3;
    default:
        return 0;
    }
}

int staticGroupRank(const QString &group)
{
    if (group == QLatin1String("uff"))
        return 0;
    if (group == QLatin1String("ab"))
        return 1;
    if (group == QLatin1String("altro"))
        return 2;
    if (group.startsWith(QLatin1String("address ")))
        return 3 + group.mid(8).toInt();
    return 20;
}

// The rank a type value ("Work", "Casa") gives its address, or -1.
int typeRank(QByteArrayView value)
{
    QByteArray word = value.trimmed().toByteArray().toLower();
    if (word.startsWith("* "))
        word = word.mid(2); // the mark of the first of its kind

    for (const char *w : {"work", "business", "lavoro", "ufficio", "uff", "uff."})
        if (word == w)
            return 0;
    for (const char *w : {"home", "casa", "abitazione", "ab", "ab.", "privato", "private"})
        if (word == w)
            return 1;
    return -1;
}

// The content of a raw field: without its quotes, trimmed of bytes <= 32.
QByteArrayView content(const TextRows &rows, QByteArrayView raw, bool &quoted)
{
    quoted = rows.quoted(raw);
    if (quoted)
        raw = raw.sliced(1, qMax<qsizetype>(0, raw.size() - 2));
    qsizetype b = 0, e = raw.size();
    while (b < e && static_cast<unsigned char>(raw.at(b)) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(raw.at(e - 1)) <= 32)
        --e;
    return raw.sliced(b, e - b);
}

bool isItaly(const char *text, int length)
{
    static const char *const names[] = {"italia", "italy", "it", "ita", "italie", "italien"};
    for (const char *name : names) {
        const int n = int(std::strlen(name));
        if (n == length && qstrnicmp(text, name, uint(n)) == 0)
            return true;
    }
    return false;
}

void trimEnd(const char *text, int &length)
{
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= 32)
        --length;
}

} // namespace

TSchedaIndirizzo CardBuilder::Card::card() const
{
    TSchedaIndirizzo card;
    for (int f = 0; f < Fields; ++f)
        card[f] = cp1252::decode(text[f], length[f]);
    return card;
}

CardBuilder::CardBuilder(const TextRows &rows, const QList<ColumnRole> &roles, const ColumnMapping &mapping)
    : m_rows(rows)
{
    auto roleOf = [&roles](int c) { return c < roles.size() ? roles.at(c) : ColumnRole(); };
    // The groups of the mapped address columns, the preferred first.
    for (int c = 0; c < mapping.size(); ++c) {
        const ColumnRole role = roleOf(c);
        if (mapping.at(c) >= 0 && role.isAddressPart() && !role.group.isEmpty() && !m_groups.contains(role.group))
            m_groups << role.group;
    }
    if (m_groups.size() < 2)
        m_groups.clear();
    std::stable_sort(m_groups.begin(), m_groups.end(),
                     [](const QString &a, const QString &b) { return staticGroupRank(a) < staticGroupRank(b); });
    for (const QString &group : std::as_const(m_groups))
        m_groupRank << staticGroupRank(group);
    m_typeColumns.resize(size_t(m_groups.size()));
    m_streetOrTown.resize(size_t(m_groups.size()));
    m_addressColumns.resize(size_t(m_groups.size()));

    bool ownLines = false, otherLines = false;
    for (int c = 0; c < mapping.size(); ++c) {
        const ColumnRole role = roleOf(c);
        const int group = int(m_groups.indexOf(role.group));
        if (role.kind == Kind::AddressType && group >= 0)
            m_typeColumns[size_t(group)].push_back(c);
        const int field = mapping.at(c);
        if (field < 0 || field >= Fields)
            continue;
        const bool grouped = role.isAddressPart() && group >= 0;
        m_sources[field].push_back({c, role.kind, grouped ? group : -1});
        if (grouped) {
            m_addressColumns[size_t(group)].push_back(c);
            if (role.isStreetOrTown())
                m_streetOrTown[size_t(group)].push_back(c);
        }
        if (field >= TSchedaIndirizzo::Rigo01 && field <= TSchedaIndirizzo::Rigo06)
            (role.kind == Kind::Line ? ownLines : otherLines) = true;
    }
    // The program's own lines keep their places.
    m_pack = otherLines || !ownLines;
    // Within a field, the street parts and the town parts each stand together
    // where the first of them stands, in their own order.
    for (std::vector<Source> &sources : m_sources) {
        auto anchor = [&sources](const Source &s) {
            for (const Source &o : sources) {
                if ((isStreet(s.kind) && isStreet(o.kind)) || (isTown(s.kind) && isTown(o.kind)))
                    return o.column;
            }
            return s.column;
        };
        std::vector<std::pair<std::pair<int, int>, Source>> keyed;
        for (const Source &s : sources)
            keyed.push_back({{anchor(s), isStreet(s.kind) || isTown(s.kind) ? orderInLine(s.kind) : 0}, s});
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            sources[i] = keyed[i].second;
    }
}

bool CardBuilder::hasText(int row, int column) const
{
    bool quoted = false;
    return !content(m_rows, m_rows.rawField(row, column), quoted).isEmpty();
}

int CardBuilder::chooseGroup(int row) const
{
    const int n = int(m_groups.size());
    if (n == 0)
        return -1;
    // A type column that says work or home ranks its address as such.
    int rank[16];
    for (int g = 0; g < n && g < 16; ++g) {
        rank[g] = m_groupRank.at(g);
        for (int c : m_typeColumns[size_t(g)]) {
            const int typed = typeRank(m_rows.rawField(row, c));
            if (typed >= 0)
                rank[g] = typed - 10;
        }
    }
    auto best = [&](const std::vector<std::vector<int>> &columns) {
        int chosen = -1;
        for (int g = 0; g < n && g < 16; ++g) {
            if (chosen >= 0 && rank[g] >= rank[chosen])
                continue;
            for (int c : columns[size_t(g)]) {
                if (hasText(row, c)) {
                    chosen = g;
                    break;
                }
            }
        }
        return chosen;
    };
    const int withStreet = best(m_streetOrTown);
    return withStreet >= 0 ? withStreet : best(m_addressColumns);
}

// The text of one column as it goes into a field, written at `out` (room for
// `room` characters; `overflow` when there were more): line breaks as ", ",
// other control characters as blanks, in Windows-1252. Characters the code
// page lacks become '?' and are noted in m_lost at their place in `field`
// (`at` is where `out` begins in it).
int CardBuilder::piece(int row, QByteArrayView text, bool quoted, char *out, int room, int field, int at,
                       bool &overflow)
{
    const bool windows1252 = m_rows.windows1252(row);
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *const end = p + text.size();
    int n = 0;
    auto put = [&](char c) {
        if (n == room) {
            overflow = true;
            return false;
        }
        out[n++] = c;
        return true;
    };
    // Eight bytes that are all printable ASCII (and no quote, in a quoted
    // field) go across at once.
    const quint64 quotes = quoted ? 0x2222222222222222ULL : 0;
    auto plain = [quoted, quotes](quint64 x) {
        constexpr quint64 ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
        quint64 bad = (x & highs) | ((x - 0x20 * ones) & ~x & highs);
        if (quoted) {
            const quint64 y = x ^ quotes;
            bad |= (y - ones) & ~y & highs;
        }
        return bad == 0;
    };
    while (p != end) {
        while (end - p >= 8 && room - n >= 8) {
            quint64 x;
            std::memcpy(&x, p, 8);
            if (!plain(x))
                break;
            std::memcpy(out + n, &x, 8);
            n += 8;
            p += 8;
        }
        if (p == end)
            break;
        if (*p >= 32 && *p < 0x80 && (*p != '"' || !quoted)) {
            if (!put(char(*p)))
                break;
            ++p;
            continue;
        }
        unsigned char b = *p++;
        if (b < 0x80) {
            if (b == '"' && quoted && p != end && *p == '"')
                ++p;
            if (b == '\n' || b == '\r') {
                trimEnd(out, n);
                while (p != end && *p <= 32)
                    ++p;
                if (!put(',') || !put(' '))
                    break;
                continue;
            }
            if (!put(b < 32 ? ' ' : char(b)))
                break;
            continue;
        }
        if (windows1252) {
            if (!put(char(b)))
                break;
            continue;
        }
        // One UTF-8 character (the row is valid UTF-8).
        int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t c = b & (0x3F >> more);
        while (more-- > 0 && p != end)
            c = (c << 6) | (*p++ & 0x3F);
        const char byte = c <= 0xFFFF ? cp1252::encodeChar(char16_t(c)) : '?';
        if (byte == '?' && c != 0xFFFD && n < room)
            m_lost.push_back({field, at + n, c});
        if (!put(byte))
            break;
    }
    trimEnd(out, n);
    return n;
}

void CardBuilder::compose(int row, int field, int group, Card &out)
{
    char *text = out.text[field];
    int length = 0;
    bool overflow = false;
    Kind previous = Kind::Unknown;
    auto write = [&](const char *s, int n) {
        if (length + n > MaxText) {
            n = MaxText - length;
            overflow = true;
        }
        std::memcpy(text + length, s, size_t(n));
        length += n;
    };
    for (const Source &source : m_sources[field]) {
        if (source.group >= 0 && source.group != group)
            continue;
        bool quoted = false;
        const QByteArrayView raw = content(m_rows, m_rows.rawField(row, source.column), quoted);
        if (raw.isEmpty() || (source.kind == Kind::Country && isItaly(raw.data(), int(raw.size()))))
            continue;
        // The text goes straight into the field, after what joins it to the text before.
        const int before = length;
        const size_t lostBefore = m_lost.size();
        bool bracket = false;
        if (length > 0) {
            if (isStreet(previous) && isStreet(source.kind)) {
                write(", ", 2);
            } else if (source.kind == Kind::Region && (previous == Kind::PostalCode || previous == Kind::Town)
                       && raw.at(0) != '(') {
                write(" (", 2);
                bracket = true;
            } else {
                write(" ", 1);
            }
        }
        const int n = piece(row, raw, quoted, text + length, MaxText - length, field, length, overflow);
        if (n == 0) { // nothing but what cleaning removes
            length = before;
            m_lost.resize(lostBefore);
            continue;
        }
        length += n;
        if (bracket)
            write(")", 1);
        previous = source.kind;
    }
    trimEnd(text, length);
    out.length[field] = length;
    out.cut = out.cut || overflow;
}

bool CardBuilder::build(int row, Card &out)
{
    m_lost.clear();
    out.cut = false;
    out.lost.clear();
    out.group = chooseGroup(row);
    for (int f = 0; f < Fields; ++f)
        compose(row, f, out.group, out);

    if (m_pack) {
        // No empty line between two filled ones.
        int to = TSchedaIndirizzo::Rigo01;
        for (int from = TSchedaIndirizzo::Rigo01; from <= TSchedaIndirizzo::Rigo06; ++from) {
            if (out.length[from] == 0)
                continue;
            if (from != to) {
                std::memcpy(out.text[to], out.text[from], size_t(out.length[from]));
                out.length[to] = out.length[from];
                out.length[from] = 0;
                for (Lost &lost : m_lost)
                    if (lost.field == from)
                        lost.field = to;
            }
            ++to;
        }
    }
    bool any = false;
    for (int f = 0; f < Fields; ++f)
        any = any || out.length[f] > 0;
    if (!any)
        return false;
    if (out.length[TSchedaIndirizzo::Nome] == 0) {
        int from = TSchedaIndirizzo::Tipo;
        for (int f = TSchedaIndirizzo::Rigo01; f <= TSchedaIndirizzo::Note; ++f) {
            if (out.length[f] > 0) {
                from = f;
                break;
            }
        }
        std::memcpy(out.text[TSchedaIndirizzo::Nome], out.text[from], size_t(out.length[from]));
        out.length[TSchedaIndirizzo::Nome] = out.length[from];
    }
    // What the card cannot keep, of what it stores.
    for (const Lost &lost : m_lost) {
        if (lost.field < 0 || lost.position >= out.length[lost.field])
            continue;
        const QString character = lost.character <= 0xFFFF ? QString(QChar(char16_t(lost.character)))
                                                            : QString::fromUcs4(&lost.character, 1);
        if (!out.lost.contains(character))
            out.lost += character;
    }
    return true;
}

} // namespace tavolux
