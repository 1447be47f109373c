#include "cardimport/ImportFile.h"

#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/VCardReader.h"
#include "platform/Cp1252.h"
#include "storage/InParts.h"
#include "storage/RecordFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <thread>

namespace tavolux {

void ImportTable::setHeaderRow(bool first)
{
    if (kind == Kind::VCard)
        return;
    headerRow = first && !rows.isEmpty();
    const int columns = rows.maxFieldCount();
    this->header.clear();
    if (headerRow) {
        this->header = rows.row(0);
        while (this->header.size() < columns)
            this->header << QString();
        for (int c = 0; c < columns; ++c)
            if (this->header.at(c).trimmed().isEmpty())
                this->header[c] = QStringLiteral("Colonna %1").arg(c + 1);
        roles = columnmapping::roles(this->header);
        proposed = columnmapping::propose(roles);
    } else {
        for (int c = 0; c < columns; ++c)
            this->header << QStringLiteral("Colonna %1").arg(c + 1);
        roles = QList<ColumnRole>(columns);
        proposed = columnmapping::byPosition(columns);
    }
}

QString ImportError::message() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Unreadable:
        return QStringLiteral("Attenzione: non è possibile leggere il file selezionato.\r\n\r\n"
                              "Accertarsi che il file esista e di possedere i privilegi per leggerlo.");
    case Kind::Empty:
        return QStringLiteral("Attenzione: il file selezionato è vuoto.\r\n\r\n"
                              "Selezionare il file esportato dalla rubrica.");
    case Kind::TooLarge:
        return QStringLiteral("Attenzione: il file selezionato è troppo grande per essere importato "
                              "(più di 512 MB).\r\n\r\nSi consiglia di dividerlo in più file.");
    case Kind::NotText:
        return QStringLiteral("Attenzione: il file selezionato non è un file di testo CSV o vCard.\r\n\r\n"
                              "Selezionare un file CSV o vCard esportato dalla rubrica.");
    case Kind::Damaged:
        return QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato "
                              "(%1).\r\n\r\nAccertarsi che il file sia stato esportato per intero.")
                .arg(detail);
    }
    return QString();
}

namespace importfile {

namespace {

ImportError error(ImportError::Kind kind, const QString &detail = QString())
{
    ImportError e;
    e.kind = kind;
    e.detail = detail;
    return e;
}

// No NUL and no control character but tab, line breaks and form feed (an
// end-of-file mark at the very end is allowed), and no line longer than
// MaxLineBytes.
bool plainText(QByteArrayView text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == '\x1A')
        --end;
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const unsigned char c = p[i];
        if (c >= 32)
            continue;
        if (c == '\n' || c == '\r') {
            if (i - lineStart > MaxLineBytes)
                return false;
            lineStart = i + 1;
        } else if (c != '\t' && c != '\f') {
            return false;
        }
    }
    return end - lineStart <= MaxLineBytes;
}

// Text read as Windows-1252 has most of its bytes in ASCII: a file of
// accented letters alone, or of 0xFF bytes, is no text.
bool windows1252Text(qsizetype highBytes, qsizetype textBytes)
{
    return highBytes * 3 <= textBytes;
}

void countBytes(QByteArrayView bytes, qsizetype &high, qsizetype &text)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        high += b >= 0x80 ? 1 : 0;
        text += b > ' ' ? 1 : 0;
    }
}

// UTF-16 without a mark: the NULs of the ASCII letters all on one side.
std::optional<TextEncoding> unmarkedUtf16(QByteArrayView bytes)
{
    const qsizetype n = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (n < 4)
        return std::nullopt;
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        even += bytes.at(i) == 0 ? 1 : 0;
        odd += bytes.at(i + 1) == 0 ? 1 : 0;
    }
    const qsizetype units = n / 2;
    if (odd * 10 >= units * 4 && even == 0)
        return TextEncoding::Utf16LE;
    if (even * 10 >= units * 4 && odd == 0)
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

// Appends to `into` each character of `from` it lacks (a pair of surrogates is one).
void mergeCharacters(QString &into, const QString &from)
{
    for (qsizetype i = 0; i < from.size(); ++i) {
        const qsizetype n = from.at(i).isHighSurrogate() && i + 1 < from.size() ? 2 : 1;
        const QStringView c = QStringView(from).sliced(i, n);
        if (!into.contains(c))
            into += c;
        i += n - 1;
    }
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

} // namespace

ImportError parse(QByteArray bytes, ImportTable &out, std::optional<TextEncoding> encoding)
{
    out = ImportTable();
    if (bytes.isEmpty())
        return error(ImportError::Kind::Empty);
    out.digest = importjournal::digest(bytes);
    out.fileSize = bytes.size();
    const std::optional<TextEncoding> mark = markedEncoding(bytes);
    std::optional<TextEncoding> given = encoding ? encoding : mark ? mark : unmarkedUtf16(bytes);
    qsizetype start = 0;
    if (given && isUtf16(*given)) {
        bool valid = true;
        QByteArray utf8 = utf16ToUtf8(QByteArrayView(bytes).sliced(markLength(bytes, *given)),
                                      *given == TextEncoding::Utf16BE, &valid);
        bytes = std::move(utf8);
        out.encodingValid = valid;
    } else {
        start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    }
    const QByteArrayView text = QByteArrayView(bytes).sliced(start);
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; }))
        return error(ImportError::Kind::Empty);
    const bool forcedWindows1252 = given == TextEncoding::Windows1252;
    auto utf8Name = [&] {
        if (given)
            return *given;
        return TextEncoding::Utf8;
    };

    if (VCardReader::looksLikeVCard(text)) {
        if (!plainText(text))
            return error(ImportError::Kind::NotText);
        VCardReader reader;
        const VCardReader::Lines lines = forcedWindows1252 ? VCardReader::Lines::Windows1252
                                         : given           ? VCardReader::Lines::Utf8
                                                           : VCardReader::Lines::Detect;
        if (!reader.read(text, lines))
            return error(ImportError::Kind::Damaged, reader.errorString());
        if (!windows1252Text(reader.windows1252HighBytes(), reader.windows1252TextBytes()))
            return error(ImportError::Kind::NotText);
        out.kind = ImportTable::Kind::VCard;
        out.encoding = reader.utf8() ? utf8Name() : TextEncoding::Windows1252;
        out.otherWayLines = reader.otherWayLines();
        out.rows.reset(QByteArray(), TextRows::Fields::Verbatim);
        for (const VCard &card : reader.cards())
            out.rows.appendRow(card.values(), card.readOtherWay);
        for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
            out.header << columnmapping::targetName(f);
        out.roles = QList<ColumnRole>(out.header.size());
        out.proposed = columnmapping::targets().mid(1);
        return ImportError();
    }

    out.kind = ImportTable::Kind::Csv;
    out.separator = CsvReader::detectSeparator(text);
    // An end-of-file mark of old programs is no part of the text.
    while (bytes.endsWith('\x1A'))
        bytes.chop(1);
    CsvReader reader;
    const CsvReader::Result read = reader.read(std::move(bytes), start, out.separator, out.rows, MaxColumns, MaxLineBytes);
    if (read != CsvReader::Result::Ok) {
        out.rows.clear();
        return read == CsvReader::Result::NotText ? error(ImportError::Kind::NotText)
                                                  : error(ImportError::Kind::Damaged, reader.errorString());
    }
    if (out.rows.isEmpty())
        return error(ImportError::Kind::Empty);
    // UTF-8, each record that is not read as Windows-1252; the whole file in
    // Windows-1252 where it is chosen, or where most records that are not
    // ASCII are not UTF-8.
    const int otherRows = out.rows.otherWayRows();
    const bool windows1252 = forcedWindows1252 || (!given && otherRows > reader.utf8Rows());
    qsizetype high = 0, textBytes = 0;
    if (windows1252) {
        out.rows.setAllWindows1252();
        out.encoding = TextEncoding::Windows1252;
        countBytes(out.rows.rawText().sliced(start), high, textBytes);
    } else {
        out.encoding = utf8Name();
        out.otherWayLines = otherRows;
        if (otherRows > 0)
            for (int r = 0; r < out.rows.size(); ++r)
                if (out.rows.readOtherWay(r))
                    countBytes(out.rows.rowBytes(r), high, textBytes);
    }
    if (!windows1252Text(high, textBytes)) {
        out.rows.clear();
        return error(ImportError::Kind::NotText);
    }
    const QStringList first = out.rows.row(0);
    out.setHeaderRow(columnmapping::looksLikeHeader(first));
    return ImportError();
}

ImportError load(const QString &path, ImportTable &out, std::optional<TextEncoding> encoding)
{
    out = ImportTable();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return error(ImportError::Kind::Unreadable);
    if (file.size() > MaxBytes)
        return error(ImportError::Kind::TooLarge);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return error(ImportError::Kind::Unreadable);
    file.close();
    return parse(std::move(bytes), out, encoding);
}

namespace {

// The cards of data rows [from, to) into `out`: its counts and its one part of records.
void planRows(const ImportTable &table, const ColumnMapping &mapping, int from, int to, ImportPlan &out)
{
    CardBuilder builder(table.rows, table.roles, mapping);
    out.groups = builder.groups();
    out.groupCards = QList<qint64>(out.groups.size(), 0);
    // The cards go straight into one buffer, grown as they come.
    QByteArray records;
    qsizetype used = 0;
    constexpr qsizetype MaxCard = CardBuilder::Fields * TCampo250::Size;
    CardBuilder::Card card;
    for (int r = from; r < to; ++r) {
        if (!builder.build(r, card)) {
            ++out.skippedRows;
            continue;
        }
        ++out.cards;
        out.cutCards += card.cut ? 1 : 0;
        if (card.group >= 0)
            ++out.groupCards[card.group];
        if (!card.lost.isEmpty()) {
            ++out.cardsWithLostCharacters;
            mergeCharacters(out.lostCharacters, card.lost);
        }
        if (used + MaxCard > records.size())
            records.resize(qMax(2 * records.size(), used + MaxCard + (qsizetype(1) << 16)));
        char *p = records.data() + used;
        for (int f = 0; f < CardBuilder::Fields; ++f) {
            *p++ = char(card.length[f]);
            std::memcpy(p, card.text[f], size_t(card.length[f]));
            p += card.length[f];
        }
        used = p - records.constData();
    }
    records.resize(used);
    records.squeeze();
    out.records = {records};
}

// Writes the compact card at `*p` into a whole record and moves past it.
void expand(const char *&p, char *record)
{
    std::memset(record, 0, TSchedaIndirizzo::RecordSize);
    char *field = record;
    for (int f = 0; f < CardBuilder::Fields; ++f, field += TCampo250::Size) {
        int length = static_cast<unsigned char>(*p++);
        field[0] = char(length);
        // The texts are short: eight bytes at a time, then the rest.
        char *to = field + 1;
        for (; length >= 8; length -= 8, p += 8, to += 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            std::memcpy(to, &word, 8);
        }
        while (length-- > 0)
            *to++ = *p++;
    }
}

// Walks the planned cards in order, across the parts.
class CardCursor
{
public:
    explicit CardCursor(const ImportPlan &plan) : m_plan(plan) { rewind(); }

    void rewind()
    {
        m_part = 0;
        m_index = 0;
        m_p = m_plan.records.isEmpty() ? nullptr : m_plan.records.first().constData();
    }
    // Card i (0-based) into a whole record; the cards are asked for in order.
    void write(qint64 i, char *record)
    {
        if (i < m_index)
            rewind();
        while (m_index < i) {
            skip();
        }
        settle();
        expand(m_p, record);
        ++m_index;
    }

private:
    // Past the end of a part, on to the next.
    void settle()
    {
        while (m_part + 1 < m_plan.records.size()
               && m_p == m_plan.records.at(m_part).constData() + m_plan.records.at(m_part).size())
            m_p = m_plan.records.at(++m_part).constData();
    }
    void skip()
    {
        settle();
        for (int f = 0; f < CardBuilder::Fields; ++f)
            m_p += 1 + static_cast<unsigned char>(*m_p);
        ++m_index;
    }

    const ImportPlan &m_plan;
    qsizetype m_part = 0;
    qint64 m_index = 0;
    const char *m_p = nullptr;
};

} // namespace

ImportPlan plan(const ImportTable &table, const ColumnMapping &mapping, int fromRow)
{
    // A large table is built in two halves at once, as the archive is read in
    // parts; the halves are kept in file order.
    const int first = qMax(table.firstDataRow(), fromRow);
    const int rows = qMax(0, table.rows.size() - first);
    const int parts = inparts::partsFor(rows);
    if (parts < 2) {
        ImportPlan result;
        planRows(table, mapping, first, table.rows.size(), result);
        return result;
    }
    const int middle = first + rows / 2;
    ImportPlan result, second;
    std::thread other([&] { planRows(table, mapping, middle, table.rows.size(), second); });
    planRows(table, mapping, first, middle, result);
    other.join();
    result.cards += second.cards;
    result.skippedRows += second.skippedRows;
    result.cutCards += second.cutCards;
    result.cardsWithLostCharacters += second.cardsWithLostCharacters;
    mergeCharacters(result.lostCharacters, second.lostCharacters);
    for (int g = 0; g < result.groupCards.size(); ++g)
        result.groupCards[g] += second.groupCards.at(g);
    result.records += second.records;
    return result;
}

QList<TSchedaIndirizzo> cards(const ImportPlan &plan, qint64 limit)
{
    const qint64 count = limit < 0 ? plan.cards : qMin(limit, plan.cards);
    QList<TSchedaIndirizzo> list;
    list.reserve(count);
    QByteArray record(TSchedaIndirizzo::RecordSize, '\0');
    CardCursor cursor(plan);
    for (qint64 i = 0; i < count; ++i) {
        cursor.write(i, record.data());
        list << TSchedaIndirizzo::fromRecord(record.constData());
    }
    return list;
}

QList<TSchedaIndirizzo> buildCards(const ImportTable &table, const ColumnMapping &mapping)
{
    return cards(plan(table, mapping));
}

int rowAfterCards(const ImportTable &table, const ColumnMapping &mapping, int fromRow, qint64 cards)
{
    CardBuilder builder(table.rows, table.roles, mapping);
    CardBuilder::Card card;
    int r = qMax(table.firstDataRow(), fromRow);
    for (qint64 built = 0; built < cards && r < table.rows.size(); ++r)
        built += builder.build(r, card) ? 1 : 0;
    return r;
}

ImportJob job(const ImportTable &table, const ColumnMapping &mapping, int fromRow, const QString &fileName)
{
    ImportJob run;
    run.digest = table.digest;
    run.size = table.fileSize;
    run.name = fileName;
    run.encoding = int(table.encoding);
    run.headerRow = table.headerRow;
    run.mapping = mapping;
    run.fromRow = qMax(table.firstDataRow(), fromRow);
    return run;
}

AppendResult appendPlanned(const ProgramFolder &folder, const ImportPlan &plan,
                           const std::function<bool(qint64)> &progress, const ImportJob *job)
{
    CardCursor cursor(plan);
    return appendCards(
            folder, plan.cards, [&](qint64 i, char *record) { cursor.write(i, record); }, progress, job);
}

} // namespace importfile
} // namespace tavolux
