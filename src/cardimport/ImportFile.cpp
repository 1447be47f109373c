#include "cardimport/ImportFile.h"

#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/VCardReader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tavolux {

void ImportTable::setHeaderRow(bool first)
{
    if (kind == Kind::VCard)
        return;
    headerRow = first && !rows.isEmpty();
    int columns = 0;
    for (const QStringList &row : rows)
        columns = qMax(columns, int(row.size()));
    this->header.clear();
    if (headerRow) {
        this->header = rows.first();
        while (this->header.size() < columns)
            this->header << QString();
        for (int c = 0; c < columns; ++c)
            if (this->header.at(c).trimmed().isEmpty())
                this->header[c] = QStringLiteral("Colonna %1").arg(c + 1);
        proposed = columnmapping::propose(this->header);
    } else {
        for (int c = 0; c < columns; ++c)
            this->header << QStringLiteral("Colonna %1").arg(c + 1);
        proposed = columnmapping::byPosition(columns);
    }
}

QString ImportError::message() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Unreadable:
        return QStringLiteral("Attenzione: non è possibile leggere il file selezionato.");
    case Kind::Empty:
        return QStringLiteral("Attenzione: il file selezionato è vuoto.");
    case Kind::TooLarge:
        return QStringLiteral("Attenzione: il file selezionato è troppo grande per essere importato.");
    case Kind::NotCsvOrVCard:
        return QStringLiteral("Attenzione: il file selezionato non è un file CSV o vCard.");
    case Kind::Damaged:
        return QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato.\r\n\r\n"
                              "Dettaglio: %1.")
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

// Text has no NUL and few other control characters.
bool looksLikeText(const QString &text)
{
    const qsizetype sample = qMin<qsizetype>(text.size(), 1 << 16);
    qsizetype controls = 0;
    for (qsizetype i = 0; i < sample; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == 0)
            return false;
        if (c < 32 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            ++controls;
    }
    return controls * 100 <= sample;
}

} // namespace

ImportError parse(const QByteArray &bytes, ImportTable &out, std::optional<TextEncoding> encoding)
{
    out = ImportTable();
    if (bytes.isEmpty())
        return error(ImportError::Kind::Empty);
    bool valid = true;
    QString text;
    if (encoding) {
        out.encoding = *encoding;
        text = decodeText(bytes, out.encoding, &valid);
    } else {
        text = detectAndDecode(bytes, out.encoding, &valid);
    }
    out.encodingValid = valid;
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 32; }))
        return error(ImportError::Kind::Empty);
    if (!looksLikeText(text))
        return error(ImportError::Kind::NotCsvOrVCard);

    if (VCardReader::looksLikeVCard(text)) {
        VCardReader reader;
        if (!reader.read(text, out.encoding))
            return error(ImportError::Kind::Damaged, reader.errorString());
        out.kind = ImportTable::Kind::VCard;
        out.header = cardbuilder::fieldNames();
        out.proposed = columnmapping::targets().mid(1);
        out.rows.reserve(reader.cards().size());
        for (const VCard &card : reader.cards())
            out.rows << cardbuilder::vcardRow(card);
        return ImportError();
    }

    out.kind = ImportTable::Kind::Csv;
    out.separator = CsvReader::detectSeparator(text);
    CsvReader reader;
    if (!reader.read(text, out.separator))
        return error(ImportError::Kind::Damaged, reader.errorString());
    out.rows = reader.takeRows();
    if (out.rows.isEmpty())
        return error(ImportError::Kind::Empty);
    for (const QStringList &row : out.rows) {
        if (row.size() > MaxColumns) {
            out.rows.clear();
            return error(ImportError::Kind::Damaged, QStringLiteral("più di %1 colonne").arg(MaxColumns));
        }
    }
    out.setHeaderRow(columnmapping::looksLikeHeader(out.rows.first()));
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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return error(ImportError::Kind::Unreadable);
    return parse(bytes, out, encoding);
}

QList<ImportedCard> buildCards(const ImportTable &table, const ColumnMapping &mapping)
{
    QList<ImportedCard> cards;
    cards.reserve(table.dataRowCount());
    ImportedCard card;
    const cardbuilder::FieldColumns columns = cardbuilder::fieldColumns(mapping);
    for (qsizetype r = table.firstDataRow(); r < table.rows.size(); ++r)
        if (cardbuilder::build(table.rows.at(r), columns, card))
            cards.append(std::move(card));
    return cards;
}

QString lostCharacters(const QList<ImportedCard> &cards, int *cardsAffected)
{
    QString lost;
    int affected = 0;
    for (const ImportedCard &card : cards) {
        if (card.lostCharacters.isEmpty())
            continue;
        ++affected;
        cardbuilder::collectLost(card.lostCharacters, lost);
    }
    if (cardsAffected)
        *cardsAffected = affected;
    return lost;
}

ImportPlan plan(const ImportTable &table, const ColumnMapping &mapping)
{
    ImportPlan result;
    ImportedCard card;
    const cardbuilder::FieldColumns columns = cardbuilder::fieldColumns(mapping);
    QString lost;
    for (qsizetype r = table.firstDataRow(); r < table.rows.size(); ++r) {
        const QStringList &row = table.rows.at(r);
        bool givesCard = false;
        lost.clear();
        if (!cardbuilder::scanSimple(row, columns, givesCard, lost)) {
            givesCard = cardbuilder::build(row, columns, card);
            lost = card.lostCharacters;
        }
        if (!givesCard)
            continue;
        result.rows.append(int(r));
        if (!lost.isEmpty()) {
            ++result.cardsWithLostCharacters;
            cardbuilder::collectLost(lost, result.lostCharacters);
        }
    }
    return result;
}

AppendResult appendPlanned(const ProgramFolder &folder, const ImportTable &table, const ColumnMapping &mapping,
                           const ImportPlan &plan, const std::function<bool(qint64)> &progress)
{
    const cardbuilder::FieldColumns columns = cardbuilder::fieldColumns(mapping);
    ImportedCard card;
    return appendCards(
            folder, plan.rows.size(),
            [&](qint64 i, char *record) {
                const QStringList &row = table.rows.at(plan.rows.at(i));
                if (cardbuilder::encodeSimple(row, columns, record))
                    return;
                cardbuilder::build(row, columns, card);
                card.card.writeRecord(record);
            },
            progress);
}

} // namespace importfile
} // namespace tavolux
