#pragma once

#include "addresses/SpreadsheetWriter.h"
#include "platform/LargePages.h"
#include "platform/ProgramFolder.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace tavolux {

// The export grid's rows: the card number, then Nome to Note of every card in
// file order. The values stay as code-page bytes in one buffer and become
// text only when a cell is shown; edits are kept beside them.
class ExportGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 10;
    static constexpr int FieldColumns = ColumnCount - 1; // Nome to Note

    explicit ExportGridModel(int emptyRows, QObject *parent = nullptr);

    // One row per card of the archive. Failed: it cannot be read or holds no
    // card (rows unchanged, or the cards read whole up to the failure). Busy:
    // another copy held it longer than a read waits (rows unchanged).
    enum class Load { Done, Failed, Busy };
    Load load(const ProgramFolder &folder);

    static QString header(int column);
    static int width(int column);
    static bool editable(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // A cell's text as shown (edits included).
    QString text(int row, int column) const;
    // The exported form of a row's field column (1 to 9): its edit or its bytes.
    SpreadsheetCell exportCell(qsizetype row, int column) const;
    // The spreadsheet of all rows, handed to `sink` piece by piece.
    bool writeSpreadsheet(const std::function<bool(const char *, qsizetype)> &sink) const;

    // Bytes of card text held, and bytes the model holds for it in all.
    qint64 textBytes() const { return m_text.size(); }
    qint64 heldBytes() const;

private:
    Load loadRows(const ProgramFolder &folder);
    QByteArrayView fieldBytes(int row, int field) const;
    static quint64 editKey(int row, int column) { return (quint64(row) << 4) | quint64(column); }

    int m_rows;
    bool m_numbered = false;
    QByteArray m_text;                // every card's fields, trimmed, back to back
    LargeArray<qint64> m_rowStarts;   // where each card's first field begins
    LargeArray<quint8> m_lengths;     // each field's length (at most 250)
    QHash<quint64, QString> m_edits;
};

} // namespace tavolux
