#include "mailing/MailingCards.h"

#include "platform/Cp1252.h"
#include "printing/LineFit.h"
#include "storage/AddressArchive.h"
#include "storage/TCampo250.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace tavolux::mailing {

namespace {

QByteArrayView trimmed(QByteArrayView value)
{
    qsizetype begin = 0, end = value.size();
    while (begin < end && static_cast<unsigned char>(value[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(value[end - 1]) <= 32)
        --end;
    return value.sliced(begin, end - begin);
}

QByteArrayView fieldOf(const char *record, int field)
{
    const char *campo = record + field * TCampo250::Size;
    const int length = std::min(int(static_cast<unsigned char>(campo[0])), TCampo250::MaxText);
    return trimmed(QByteArrayView(campo + 1, length));
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int postalCodeOf(const QList<QByteArrayView> &lines)
{
    for (const QByteArrayView line : lines) {
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

// The cards of one run of records, read on its own thread.
struct MailingCards::Part
{
    std::vector<Card> cards;
    QByteArray text;
    std::unordered_map<std::string, int> tipoIndex;
    std::vector<std::string> tipi;
    std::vector<int> measure; // cards with a line near its box's edge

    void add(qint64 position, const char *record, const LabelLineFit &fit, std::uint8_t part)
    {
        Card card;
        card.position = position;
        card.part = part;
        card.offset = text.size();
        bool any = false;
        for (int field = 0; field <= Lines; ++field) {
            const QByteArrayView value = fieldOf(record, field == 0 ? TSchedaIndirizzo::Nome
                                                                    : TSchedaIndirizzo::Rigo01 + field - 1);
            card.lengths[field] = std::uint8_t(value.size());
            text.append(value);
            if (field == 0 || value.isEmpty())
                continue;
            any = true;
            switch (fit.quick(value)) {
            case LabelLineFit::Verdict::Fits:
                break;
            case LabelLineFit::Verdict::Cut:
                if (!(card.flags & Cut)) {
                    card.flags |= Cut;
                    card.firstCut = std::uint8_t(field);
                }
                break;
            case LabelLineFit::Verdict::Measure:
                if (!card.measure)
                    measure.push_back(int(cards.size()));
                card.measure |= std::uint8_t(1u << (field - 1));
                break;
            }
        }
        if (!any)
            card.flags |= NoLines;
        QList<QByteArrayView> lines;
        const char *at = text.constData() + card.offset + card.lengths[0];
        for (int line = 1; line <= Lines; ++line) {
            lines << QByteArrayView(at, card.lengths[line]);
            at += card.lengths[line];
        }
        card.postalCode = postalCodeOf(lines);
        const QByteArrayView tipo = fieldOf(record, TSchedaIndirizzo::Tipo);
        auto [it, added] = tipoIndex.emplace(std::string(tipo.data(), size_t(tipo.size())), int(tipi.size()));
        if (added)
            tipi.push_back(it->first);
        card.tipo = it->second;
        cards.push_back(card);
    }
};

QByteArrayView MailingCards::fieldBytes(int card, int field) const
{
    const Card &c = m_cards[size_t(card)];
    qint64 at = c.offset;
    for (int f = 0; f < field; ++f)
        at += c.lengths[f];
    return QByteArrayView(m_texts[c.part].constData() + at, c.lengths[field]);
}

QString MailingCards::text(int card, int field) const
{
    const QByteArrayView bytes = fieldBytes(card, field);
    return cp1252::decode(bytes.data(), int(bytes.size()));
}

MailingCards::Read MailingCards::readParts(std::vector<Part> &parts, cardlist::CardLines &lines, bool ok)
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
                if ((c.measure & (1u << (line - 1))) && !fitsLabelLine(out.line(card, line))) {
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

MailingCards::Read MailingCards::read(const ProgramFolder &folder)
{
    const LabelLineFit fit;
    cardlist::CardLines lines;
    std::vector<Part> parts;
    bool ok = false;
    {
        AddressArchive archive(folder);
        if (archive.open()) {
            // A long archive is read in two runs at once, each into its own part.
            const qint64 cards = archive.count();
            const int count = RecordFile::partsFor(std::max<qint64>(0, cards));
            std::vector<qint64> records;
            for (int part = 0; part < count; ++part)
                records.push_back(RecordFile::partStart(std::max<qint64>(0, cards), count, part + 1)
                                  - RecordFile::partStart(std::max<qint64>(0, cards), count, part));
            parts.resize(size_t(count));
            lines.beginParts(records);
            ok = cards >= 0
                 && archive.readAllRawInParts(std::max<qint64>(0, cards), count,
                                              [&](int part, qint64 position, const char *record) {
                                                  if (lines.appendRecord(part, record))
                                                      parts[size_t(part)].add(position, record, fit,
                                                                              std::uint8_t(part));
                                                  return true;
                                              });
            lines.joinParts();
        }
    }
    return readParts(parts, lines, ok);
}

MailingCards::Read MailingCards::fromRecords(const QList<QByteArray> &records)
{
    const LabelLineFit fit;
    cardlist::CardLines lines;
    std::vector<Part> parts(1);
    qint64 position = 0;
    for (const QByteArray &record : records) {
        ++position;
        if (record.size() >= TSchedaIndirizzo::RecordSize && lines.appendRecord(record.constData()))
            parts[0].add(position, record.constData(), fit, 0);
    }
    return readParts(parts, lines, true);
}

} // namespace tavolux::mailing
