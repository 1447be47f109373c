#include "mailing/MailingCards.h"

#include "platform/Cp1252.h"
#include "printing/LineFit.h"
#include "printing/SheetFormat.h"
#include "storage/AddressArchive.h"
#include "storage/InParts.h"
#include "storage/TCampo250.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>
#include <unordered_map>

namespace tavolux::mailing {

namespace {

QByteArrayView fieldOf(const char *record, int field)
{
    const char *campo = record + field * TCampo250::Size;
    const int length = std::min(int(static_cast<unsigned char>(campo[0])), TCampo250::MaxText);
    return cardlist::trimmedLine(QByteArrayView(campo + 1, length));
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int postalCodeOf(const QByteArrayView *lines, int count)
{
    for (int l = 0; l < count; ++l) {
        const QByteArrayView line = lines[l];
        const qsizetype n = line.size();
        for (qsizetype i = 0; i < n;) {
            if (!isDigit(line[i])) {
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < n && isDigit(line[end]))
                ++end;
            if (end - i == 5) {
                int code = 0;
                for (qsizetype k = i; k < end; ++k)
                    code = code * 10 + (line[k] - '0');
                return code;
            }
            i = end;
        }
    }
    return -1;
}

MailingCards::Text::Text(Text &&other) noexcept
    : bytes(std::exchange(other.bytes, nullptr)), size(std::exchange(other.size, 0)),
      capacity(std::exchange(other.capacity, 0))
{
}

MailingCards::Text &MailingCards::Text::operator=(Text &&other) noexcept
{
    std::swap(bytes, other.bytes);
    std::swap(size, other.size);
    std::swap(capacity, other.capacity);
    return *this;
}

MailingCards::Text::~Text()
{
    std::free(bytes);
}

bool MailingCards::Text::ensure(size_t more)
{
    if (size + more <= capacity)
        return true;
    // Grown without copying where the system can move the pages.
    const size_t wanted = std::max(capacity * 2, size + more);
    auto *grown = static_cast<char *>(std::realloc(bytes, wanted));
    if (!grown)
        return false;
    bytes = grown;
    capacity = wanted;
    return true;
}

// The cards of one run of records, read on its own thread.
struct MailingCards::Part
{
    std::vector<Card> cards;
    Text text;
    std::unordered_map<std::string, int> tipoIndex;
    std::vector<std::string> tipi;
    std::vector<int> measure; // cards with a line near its box's edge
    int last = -1;            // the type of the card added last

    void reserve(qint64 records)
    {
        cards.reserve(size_t(records));
        // Room that is never written costs no memory.
        text.ensure(size_t(records) * 128);
    }

    // Only the first `count` cards: those whose lines the list kept.
    void keep(qint64 count)
    {
        if (qint64(cards.size()) <= count)
            return;
        cards.resize(size_t(count));
        measure.erase(std::remove_if(measure.begin(), measure.end(), [count](int card) { return card >= count; }),
                      measure.end());
    }

    void add(qint64 position, const char *record, const LineFitTable &fit, std::uint8_t part)
    {
        // The records of a run lie one after another: the fields of the ones
        // ahead are fetched while this one is read (a fetch past the run's
        // end is harmless).
        for (int ahead = 1; ahead <= 2; ++ahead) {
            const char *next = record + ahead * TSchedaIndirizzo::RecordSize;
            for (int field = TSchedaIndirizzo::Tipo; field <= TSchedaIndirizzo::Rigo06; ++field)
                __builtin_prefetch(next + field * TCampo250::Size);
        }
        if (!text.ensure((1 + Lines) * TCampo250::MaxText))
            return;
        Card card;
        card.position = position;
        card.part = part;
        card.offset = qint64(text.size);
        char *out = text.bytes + text.size;
        const QByteArrayView name = fieldOf(record, TSchedaIndirizzo::Nome);
        std::memcpy(out, name.data(), size_t(name.size()));
        out += name.size();
        card.lengths[0] = std::uint8_t(name.size());
        // Each line in one pass: copied, its width summed, its digits looked at.
        bool any = false;
        for (int line = 1; line <= Lines; ++line) {
            const QByteArrayView value = fieldOf(record, TSchedaIndirizzo::Rigo01 + line - 1);
            const auto *in = reinterpret_cast<const unsigned char *>(value.data());
            const qsizetype n = value.size();
            qint64 width = 0;
            int digits = 0, code = 0;
            for (qsizetype k = 0; k < n; ++k) {
                const unsigned char c = in[k];
                out[k] = char(c);
                width += fit.width(c);
                if (c >= '0' && c <= '9') {
                    code = code * 10 + (c - '0');
                    ++digits;
                    continue;
                }
                if (digits == 5 && card.postalCode < 0)
                    card.postalCode = code;
                digits = code = 0;
            }
            if (digits == 5 && card.postalCode < 0)
                card.postalCode = code;
            out += n;
            card.lengths[line] = std::uint8_t(n);
            if (n == 0)
                continue;
            any = true;
            switch (line > fit.lines() ? LineFitTable::Verdict::Cut : fit.verdict(width, n)) {
            case LineFitTable::Verdict::Fits:
                break;
            case LineFitTable::Verdict::Cut:
                if (!(card.flags & Cut)) {
                    card.flags |= Cut;
                    card.firstCut = std::uint8_t(line);
                }
                break;
            case LineFitTable::Verdict::Measure:
                if (!card.measure)
                    measure.push_back(int(cards.size()));
                card.measure |= std::uint8_t(1u << (line - 1));
                break;
            }
        }
        text.size = size_t(out - text.bytes);
        if (!any)
            card.flags |= NoLines;
        card.tipo = tipoOf(fieldOf(record, TSchedaIndirizzo::Tipo));
        cards.push_back(card);
    }

    // Cards mostly repeat a few types: the last one is tried first.
    int tipoOf(QByteArrayView tipo)
    {
        if (last >= 0 && QByteArrayView(tipi[size_t(last)].data(), qsizetype(tipi[size_t(last)].size())) == tipo)
            return last;
        std::string key(tipo.data(), size_t(tipo.size()));
        auto it = tipoIndex.find(key);
        if (it == tipoIndex.end()) {
            it = tipoIndex.emplace(key, int(tipi.size())).first;
            tipi.push_back(std::move(key));
        }
        last = it->second;
        return last;
    }
};

QByteArrayView MailingCards::fieldBytes(int card, int field) const
{
    const Card &c = m_cards[size_t(card)];
    qint64 at = c.offset;
    for (int f = 0; f < field; ++f)
        at += c.lengths[f];
    return QByteArrayView(m_texts[c.part].bytes + at, c.lengths[field]);
}

QString MailingCards::text(int card, int field) const
{
    const QByteArrayView bytes = fieldBytes(card, field);
    return cp1252::decode(bytes.data(), int(bytes.size()));
}

void MailingCards::setBox(LineBox box)
{
    m_box = box;
    if (box != LineBox::Envelope || m_envelopeMeasured)
        return;
    m_envelopeMeasured = true;
    const LineFitTable fit(LineBox::Envelope);
    for (int card = 0; card < size(); ++card) {
        Card &c = m_cards[size_t(card)];
        for (int line = 1; line <= Lines && !c.envelopeCut; ++line) {
            if (c.lengths[line] == 0)
                continue;
            switch (fit.quick(fieldBytes(card, line))) {
            case LineFitTable::Verdict::Fits:
                break;
            case LineFitTable::Verdict::Cut:
                c.envelopeCut = std::uint8_t(line);
                break;
            case LineFitTable::Verdict::Measure:
                if (!fitsEnvelopeLine(text(card, line)))
                    c.envelopeCut = std::uint8_t(line);
                break;
            }
        }
    }
}

void MailingCards::setLabelFormat(const SheetFormat &format)
{
    const LineFitTable fit(format);
    for (int card = 0; card < size(); ++card) {
        Card &c = m_cards[size_t(card)];
        c.flags &= std::uint8_t(~Cut);
        c.firstCut = 0;
        c.measure = 0;
        for (int line = 1; line <= Lines && !c.firstCut; ++line) {
            if (c.lengths[line] == 0)
                continue;
            switch (line > fit.lines() ? LineFitTable::Verdict::Cut : fit.quick(fieldBytes(card, line))) {
            case LineFitTable::Verdict::Fits:
                break;
            case LineFitTable::Verdict::Measure:
                if (fitsLabelLine(text(card, line), format, line))
                    break;
                [[fallthrough]];
            case LineFitTable::Verdict::Cut:
                c.flags |= Cut;
                c.firstCut = std::uint8_t(line);
                break;
            }
        }
    }
}

MailingCards::Read MailingCards::readParts(std::vector<Part> &parts, cardlist::CardLines &lines, bool ok,
                                           const SheetFormat &format)
{
    Read result;
    result.ok = ok;
    result.lines = std::move(lines);
    MailingCards &out = result.cards;
    // One list of types for all parts, in list order.
    std::vector<std::string> names;
    std::unordered_map<std::string, int> global;
    for (Part &part : parts)
        for (const std::string &name : part.tipi)
            if (global.emplace(name, int(names.size())).second)
                names.push_back(name);
    std::vector<int> byName(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        byName[i] = int(i);
    QStringList decoded;
    for (const std::string &name : names)
        decoded << cp1252::decode(name.data(), int(name.size()));
    std::stable_sort(byName.begin(), byName.end(),
                     [&](int a, int b) { return cardlist::listLess(decoded.at(a), decoded.at(b)); });
    std::vector<int> rank(names.size());
    for (size_t r = 0; r < byName.size(); ++r) {
        rank[size_t(byName[r])] = int(r);
        out.m_tipi << decoded.at(byName[r]);
    }
    out.m_tipoCounts.assign(names.size(), 0);

    size_t total = 0;
    for (const Part &part : parts)
        total += part.cards.size();
    out.m_cards.reserve(total);
    for (Part &part : parts) {
        const int first = out.size();
        for (Card card : part.cards) {
            card.tipo = rank[size_t(global[part.tipi[size_t(card.tipo)]])];
            ++out.m_tipoCounts[size_t(card.tipo)];
            out.m_cards.push_back(card);
        }
        out.m_texts.push_back(std::move(part.text));
        // Lines near the edge are measured as they print; the first cut line counts.
        for (int local : part.measure) {
            const int card = first + local;
            Card &c = out.m_cards[size_t(card)];
            const int last = (c.flags & Cut) ? c.firstCut - 1 : Lines;
            for (int line = 1; line <= last; ++line) {
                if ((c.measure & (1u << (line - 1))) && !fitsLabelLine(out.line(card, line), format, line)) {
                    c.flags |= Cut;
                    c.firstCut = std::uint8_t(line);
                    break;
                }
            }
        }
        part = Part();
    }
    return result;
}

MailingCards::Read MailingCards::read(const ProgramFolder &folder, const SheetFormat &labels)
{
    const LineFitTable fit(labels);
    cardlist::CardLines lines;
    std::vector<Part> parts;
    bool ok = false;
    bool busy = false;
    {
        AddressArchive archive(folder);
        if (archive.open()) {
            // A long archive is read in two runs at once, each into its own part.
            const qint64 cards = archive.count();
            const int count = inparts::partsFor(std::max<qint64>(0, cards));
            parts.resize(size_t(count));
            for (int part = 0; part < count; ++part)
                parts[size_t(part)].reserve(inparts::partStart(std::max<qint64>(0, cards), count, part + 1)
                                            - inparts::partStart(std::max<qint64>(0, cards), count, part));
            std::vector<qint64> kept;
            ok = cards >= 0
                 && cardlist::readLines(
                     archive, lines, count,
                     [&](int part, qint64 position, const char *record) {
                         parts[size_t(part)].add(position, record, fit, std::uint8_t(part));
                     },
                     kept);
            for (int part = 0; part < count; ++part)
                parts[size_t(part)].keep(kept[size_t(part)]);
            busy = !ok && archive.systemError() == EBUSY;
        }
    }
    Read result = readParts(parts, lines, ok, labels);
    result.busy = busy;
    return result;
}

MailingCards::Read MailingCards::fromRecords(const QList<QByteArray> &records, const SheetFormat &labels)
{
    const LineFitTable fit(labels);
    cardlist::CardLines lines;
    std::vector<Part> parts(1);
    qint64 position = 0;
    for (const QByteArray &record : records) {
        ++position;
        if (record.size() >= TSchedaIndirizzo::RecordSize && lines.appendRecord(record.constData()))
            parts[0].add(position, record.constData(), fit, 0);
    }
    return readParts(parts, lines, true, labels);
}

} // namespace tavolux::mailing
