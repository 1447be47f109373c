#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QTableView;

namespace tavolux {

class ExportGridModel;

namespace ui {
class PictureButton;
}

// The whole address archive in a grid, one row per card, and its export to
// the spreadsheet file. The export writes what the grid holds, edits included.
class TfrmExpIndirizzi : public QDialog
{
    Q_OBJECT
public:
    enum Column {
        colNum, colNome, colTipo,
        colRigo01, colRigo02, colRigo03, colRigo04, colRigo05, colRigo06,
        colNote,
        ColumnCount
    };

    explicit TfrmExpIndirizzi(const ProgramFolder &folder, QWidget *parent = nullptr);

    static QString fileName() { return QStringLiteral("Archivio_Indirizzi.xls"); }
    // The second export: a real .xlsx workbook, every cell text.
    static QString workbookFileName() { return QStringLiteral("Archivio_Indirizzi.xlsx"); }
    static QString workbookSheetName() { return QStringLiteral("Archivio Indirizzi"); }
    static QString workbookHint();
    static QString exportQuestion();
    static QString openQuestion();
    static QString failureMessage();
    // The .xlsx export's failure: the fact with its reason, then the remedy.
    static QString workbookFailureMessage(const QString &reason, const QString &remedy);
    static constexpr int EmptyRows = 10;
    static constexpr int RowHeight = 21;

    // The grid's rows as exported: columns 1 to 9 of every row.
    QList<QStringList> gridRows() const;
    // What the grid shows and exports.
    ExportGridModel *model() const { return m_model; }

    QTableView *grdRecords = nullptr;
    QLabel *panInfo = nullptr;
    ui::PictureButton *cmdEsporta = nullptr;
    ui::PictureButton *cmdEsportaXlsx = nullptr;
    ui::PictureButton *cmdGuida = nullptr;
    ui::PictureButton *cmdEsci = nullptr;

public slots:
    void exportArchive();
    // The grid, edits included, to the .xlsx workbook; then the question to open it.
    void exportWorkbook();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // The help button: the help window on the export topic, owned by this window.
    void showHelp();

private:
    // Loads the grid; while another copy holds the archive, asks to try again.
    void load();
    // False, after the busy message, while the grid's load has not finished
    // (another copy held the archive): nothing may then be exported.
    bool readyToExport();
    void setColumnWidths();
    void commitEdit();

    ProgramFolder m_folder;
    ExportGridModel *m_model = nullptr;
    bool m_loaded = false;
    bool m_busy = false; // the last load gave up on another copy's lock
};

} // namespace tavolux
