#pragma once

#include "cardimport/CardAppender.h"
#include "cardimport/ColumnMapping.h"
#include "cardimport/ImportFile.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tavolux {

class TfrmArchivio_Indirizzi;

namespace ui {
class PictureButton;
}

// Imports the cards of a CSV or vCard file into the address archive: the file,
// its encoding, a preview of its first rows with the field each column goes
// to above them, the card the chosen row gives, and what the import will do;
// then all cards are appended in one pass and the owner shows the first.
class TfrmImportaSchede : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmImportaSchede(TfrmArchivio_Indirizzi &owner);

    // Rows of the file the preview shows.
    static constexpr int PreviewRows = 20;

    static QString title() { return QStringLiteral(" Importazione schede nell'archivio indirizzi"); }
    static QString instruction();
    static QString nothingToImportMessage();
    static QString lostCharactersQuestion(const QString &characters, qint64 cards);
    static QString addedMessage(qint64 cards, qint64 skippedRows, bool vcard);
    static QString cancelledMessage();
    static QString writeFailureMessage(AppendResult::Reason reason);
    // Said after a cancelled or failed import that moved other copies' cards.
    static QString movedMessage(qint64 cards, qint64 from);
    static QString leftMessage();
    // Said when the file chosen is one whose import stopped before its end.
    static QString goOnQuestion(int rowsIn, bool vcard);
    static QString completeMessage();
    static QString undoFinishedMessage();
    static QString encodingWarning();
    // The summary of a table and its plan, one sentence a line; `fromRow` is
    // the first file row imported where an earlier import stopped.
    static QStringList summary(const ImportTable &table, const ImportPlan &plan, int fromRow = 0);

    // Reads the file (the encoding found) and shows it; a file that cannot
    // be read is reported and leaves the dialog empty.
    bool setFile(const QString &path);
    const ImportTable &table() const { return m_table; }
    const ColumnMapping &mapping() const { return m_mapping; }
    const ImportPlan &plan() const { return m_plan; }
    // Where column c goes (columnmapping targets), as its box above the grid does.
    void setColumnTarget(int column, int target);
    void setEncoding(TextEncoding encoding);
    // The cards that Importa would add, as the archive will hold them.
    QList<TSchedaIndirizzo> cards() const;
    // The box that sets where column c goes.
    QComboBox *cboCampo(int column) const { return column >= 0 && column < m_targets.size() ? m_targets.at(column) : nullptr; }
    // The data row (0-based) whose card the preview shows, -1 when none.
    int previewRow() const;
    // The first file row (0-based, a header row included) Importa imports:
    // the first data row, or the first not imported by an import of this
    // file that stopped before its end.
    int fromRow() const { return qMax(m_table.firstDataRow(), m_fromRow); }

    QLineEdit *txtPercorso = nullptr;
    QPushButton *btnScegli = nullptr;
    QComboBox *cboCodifica = nullptr;
    QLabel *lblSeparatore = nullptr;
    QCheckBox *chkIntestazione = nullptr;
    QLabel *lblIstruzioni = nullptr;
    QWidget *panCampi = nullptr;
    QTableWidget *grdAnteprima = nullptr;
    QLabel *lblScheda = nullptr;
    QLineEdit *txtSchedaNome = nullptr;
    QLineEdit *txtSchedaTipo = nullptr;
    QList<QLineEdit *> txtSchedaRigo; // txtSchedaRigo01 .. txtSchedaRigo06
    QLineEdit *txtSchedaNote = nullptr;
    QLabel *lblSchedaInfo = nullptr;
    QLabel *lblRiepilogo = nullptr;
    QPushButton *btnMostraRighe = nullptr;
    QProgressBar *prgImporta = nullptr;
    QPushButton *btnImporta = nullptr;
    QPushButton *btnChiudi = nullptr;
    ui::PictureButton *cmdGuida = nullptr;
    ui::PictureButton *cmdEsci = nullptr;

public slots:
    void chooseFile();
    void importCards();
    // Stops an import under way: nothing is written.
    void cancelImport();
    void reject() override;

signals:
    // While the cards are written: how many are, of how many.
    void progressed(qint64 done, qint64 total);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool load(std::optional<TextEncoding> encoding);
    void offerToGoOn();
    void showTable();
    void showRows();
    void replan();
    void showSummary();
    void showCard();
    void placeTargets();
    void clearTable();
    void setTabOrder();

    TfrmArchivio_Indirizzi &m_owner;
    QString m_path;
    ImportTable m_table;
    ColumnMapping m_mapping;
    ImportPlan m_plan;
    QList<QComboBox *> m_targets;
    QLabel *m_corner = nullptr;
    QList<int> m_shownRows; // the data rows the grid shows
    bool m_otherWayOnly = false;
    int m_fromRow = 0;
    bool m_importing = false;
    bool m_cancel = false;
};

} // namespace tavolux
