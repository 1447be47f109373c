#pragma once

#include "cardimport/CardAppender.h"
#include "cardimport/CardBuilder.h"
#include "cardimport/ColumnMapping.h"
#include "cardimport/TextEncoding.h"
#include "platform/ProgramFolder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavolux {

// A CSV or vCard file read as a table: one row per record or card.
struct ImportTable
{
    enum class Kind { Csv, VCard };

    Kind kind = Kind::Csv;
    TextEncoding encoding = TextEncoding::Utf8;
    // False when the bytes are not a correct text in `encoding`.
    bool encodingValid = true;
    QChar separator;         // CSV only
    QList<QStringList> rows; // every record, the header row included
    bool headerRow = false;  // rows.first() names the columns
    QStringList header;      // the column names shown
    ColumnMapping proposed;  // from the header (vCard: field by field)

    int columnCount() const { return int(header.size()); }
    int firstDataRow() const { return headerRow ? 1 : 0; }
    int dataRowCount() const { return int(rows.size()) - firstDataRow(); }
    // Takes the first row as the header, or as data; the names and the proposal follow.
    void setHeaderRow(bool first);
};

// Why a file could not be read as a table.
struct ImportError
{
    enum class Kind { None, Unreadable, Empty, TooLarge, NotCsvOrVCard, Damaged };
    Kind kind = Kind::None;
    QString detail;

    explicit operator bool() const { return kind != Kind::None; }
    // The Italian message the dialog shows.
    QString message() const;
};

namespace importfile {

// Files larger than this are refused.
constexpr qint64 MaxBytes = qint64(512) << 20;
// A table of more columns is no address list (and would not fit the preview).
constexpr int MaxColumns = 1000;

// Reads the file as a table, in the encoding given or, without one, the
// encoding detected. A vCard is a text whose first line is BEGIN:VCARD;
// anything else that is text is CSV.
ImportError load(const QString &path, ImportTable &out, std::optional<TextEncoding> encoding = std::nullopt);
ImportError parse(const QByteArray &bytes, ImportTable &out, std::optional<TextEncoding> encoding = std::nullopt);

// The cards of the table's data rows under `mapping`, in file order; rows
// that give no text are left out.
QList<ImportedCard> buildCards(const ImportTable &table, const ColumnMapping &mapping);

// The characters the cards cannot keep, each once.
QString lostCharacters(const QList<ImportedCard> &cards, int *cardsAffected = nullptr);

// What importing the table under a mapping will do, found without keeping
// the cards: the rows that give a card, in file order, and the characters
// those cards cannot keep.
struct ImportPlan
{
    QList<int> rows;
    QString lostCharacters;
    int cardsWithLostCharacters = 0;
};
ImportPlan plan(const ImportTable &table, const ColumnMapping &mapping);

// Appends the planned cards to the address archive, each built again from
// its row as it is written (see appendCards).
AppendResult appendPlanned(const ProgramFolder &folder, const ImportTable &table, const ColumnMapping &mapping,
                           const ImportPlan &plan, const std::function<bool(qint64 done)> &progress = {});

} // namespace importfile
} // namespace tavolux
