#pragma once

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
// its encoding, a preview of its first rows and where each column goes; then
// all cards are appended in one pass and the owner shows the first of them.
class TfrmImportaSchede : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmImportaSchede(TfrmArchivio_Indirizzi &owner);

    // Rows of the file the preview shows.
    static constexpr int PreviewRows = 20;

    static QString title() { return QStringLiteral(" Importazione schede nell'archivio indirizzi"); }
    static QString nothingToImportMessage();
    static QString lostCharactersQuestion(const QString &characters, int cards);
    static QString addedMessage(qint64 cards);
    static QString cancelledMessage();

    // Reads the file (the encoding detected) and shows it; a file that cannot
    // be read is reported and leaves the dialog empty.
    bool setFile(const QString &path);
    const ImportTable &table() const { return m_table; }
    const ColumnMapping &mapping() const { return m_mapping; }
    // Where column c goes (columnmapping targets), as its box in the grid does.
    void setColumnTarget(int column, int target);
    void setEncoding(TextEncoding encoding);
    // The cards that Importa would add, as the archive will hold them.
    QList<ImportedCard> cards() const;

    QLineEdit *txtPercorso = nullptr;
    QPushButton *btnScegli = nullptr;
    QComboBox *cboCodifica = nullptr;
    QLabel *lblSeparatore = nullptr;
    QCheckBox *chkIntestazione = nullptr;
    QTableWidget *grdAnteprima = nullptr;
    QLabel *lblRiepilogo = nullptr;
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

private:
    bool load(std::optional<TextEncoding> encoding);
    void showTable();
    void showSummary();
    void clearTable();

    TfrmArchivio_Indirizzi &m_owner;
    QString m_path;
    ImportTable m_table;
    ColumnMapping m_mapping;
    QList<QComboBox *> m_targets;
    bool m_importing = false;
    bool m_cancel = false;
};

} // namespace tavolux
