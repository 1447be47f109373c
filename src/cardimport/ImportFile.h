#pragma once

#include "cardimport/CardAppender.h"
#include "cardimport/CardBuilder.h"
#include "cardimport/ColumnMapping.h"
#include "cardimport/TextEncoding.h"
#include "cardimport/TextRows.h"
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
    // False when the bytes are not a correct text in `encoding` (UTF-16).
    bool encodingValid = true;
    // Lines of a UTF-8 file that are not UTF-8 and were read as Windows-1252.
    int otherWayLines = 0;
    char separator = ',';    // CSV only
    TextRows rows;           // every record, the header row included
    bool headerRow = false;  // the first row names the columns
    QStringList header;      // the column names shown
    QList<ColumnRole> roles; // what the header says of each column
    ColumnMapping proposed;  // from the header (vCard: field by field)
    quint64 digest = 0;      // of the file's bytes: the file, wherever it lies
    qint64 fileSize = 0;

    int columnCount() const { return int(header.size()); }
    int firstDataRow() const { return headerRow ? 1 : 0; }
    int dataRowCount() const { return rows.size() - firstDataRow(); }
    // The values of file row r (0-based, the header row included).
    QStringList row(int r) const { return rows.row(r); }
    // Takes the first row as the header, or as data; the names and the proposal follow.
    void setHeaderRow(bool first);
};

// Why a file could not be read as a table.
struct ImportError
{
    enum class Kind { None, Unreadable, Empty, TooLarge, NotText, Damaged };
    Kind kind = Kind::None;
    QString detail;

    explicit operator bool() const { return kind != Kind::None; }
    // The Italian message the dialog shows.
    QString message() const;
};

// What importing a table under a mapping gives: the cards, built once and
// kept compactly, and what the user is told of them before and after.
struct ImportPlan
{
    qint64 cards = 0;
    qint64 skippedRows = 0;    // data rows that give no text to a card
    qint64 cutCards = 0;       // cards with a text longer than a field holds
    qint64 cardsWithLostCharacters = 0;
    QString lostCharacters;    // characters Windows-1252 cannot hold, each once
    QStringList groups;        // the address groups the cards choose among
    QList<qint64> groupCards;  // how many cards took each
    // The cards in file order, each as nine fields (Nome .. Note) of a length
    // byte and that many Windows-1252 bytes, in one part or more.
    QList<QByteArray> records;
};

namespace importfile {

// Files larger than this are refused.
constexpr qint64 MaxBytes = qint64(512) << 20;
// A table of more columns is no address list (and would not fit the preview).
constexpr int MaxColumns = 1000;
// A line longer than this is no line of text.
constexpr qsizetype MaxLineBytes = qsizetype(1) << 20;

// Reads the file as a table, in the encoding given or, without one, the
// encoding found. A vCard is a text whose first line is BEGIN:VCARD;
// anything else that is text is CSV. Text has no NUL, no control character
// but tab, line breaks and form feed, lines of at most MaxLineBytes, and
// where it is read as Windows-1252 at least two thirds of its bytes in ASCII.
ImportError load(const QString &path, ImportTable &out, std::optional<TextEncoding> encoding = std::nullopt);
ImportError parse(QByteArray bytes, ImportTable &out, std::optional<TextEncoding> encoding = std::nullopt);

// Builds the cards of the table's data rows under `mapping`, once; from file
// row `fromRow` on (0-based, a header row included) where that is later.
ImportPlan plan(const ImportTable &table, const ColumnMapping &mapping, int fromRow = 0);
// The file row after the row that gives the `cards`-th card from `fromRow` on.
int rowAfterCards(const ImportTable &table, const ColumnMapping &mapping, int fromRow, qint64 cards);
// The planned cards as the archive will hold them (at most `limit`, where not negative).
QList<TSchedaIndirizzo> cards(const ImportPlan &plan, qint64 limit = -1);
// The same as plan() then cards().
QList<TSchedaIndirizzo> buildCards(const ImportTable &table, const ColumnMapping &mapping);

// The run that imports the table under `mapping` from `fromRow` on, as its journal tells it.
ImportJob job(const ImportTable &table, const ColumnMapping &mapping, int fromRow, const QString &fileName);

// Appends the planned cards to the address archive (see appendCards).
AppendResult appendPlanned(const ProgramFolder &folder, const ImportPlan &plan,
                           const std::function<bool(qint64 done)> &progress = {}, const ImportJob *job = nullptr);

} // namespace importfile
} // namespace tavolux
