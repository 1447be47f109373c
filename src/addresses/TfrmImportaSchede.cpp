#include "addresses/TfrmImportaSchede.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "archivewindow/ArchiveNotices.h"
#include "cardimport/CardAppender.h"
#include "storage/AddressArchive.h"
#include "ui/Art.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavolux {

namespace {

QString separatorName(QChar separator)
{
    if (separator == QLatin1Char(';'))
        return QStringLiteral("punto e virgola");
    if (separator == QLatin1Char('\t'))
        return QStringLiteral("tabulazione");
    return QStringLiteral("virgola");
}

} // namespace

QString TfrmImportaSchede::nothingToImportMessage()
{
    return QStringLiteral("Attenzione: il file non contiene nessuna scheda da importare.");
}

QString TfrmImportaSchede::lostCharactersQuestion(const QString &characters, int cards)
{
    QStringList shown;
    for (int i = 0; i < characters.size(); ++i) {
        QString c(characters.at(i));
        if (characters.at(i).isHighSurrogate() && i + 1 < characters.size())
            c.append(characters.at(++i));
        shown << c;
    }
    return QStringLiteral("Attenzione: %1 non possono essere salvati nell'archivio e diventeranno \"?\":\r\n\r\n"
                          "%2\r\n\r\nSi vuole importare comunque?")
            .arg(cards == 1 ? QStringLiteral("alcuni caratteri di 1 scheda")
                            : QStringLiteral("alcuni caratteri di %1 schede").arg(cards),
                 shown.join(QLatin1Char(' ')));
}

QString TfrmImportaSchede::addedMessage(qint64 cards)
{
    if (cards == 1)
        return QStringLiteral("E' stata aggiunta 1 scheda all'archivio.");
    return QStringLiteral("Sono state aggiunte %1 schede all'archivio.").arg(cards);
}

QString TfrmImportaSchede::cancelledMessage()
{
    return QStringLiteral("Importazione annullata: l'archivio non è stato modificato.");
}

TfrmImportaSchede::TfrmImportaSchede(TfrmArchivio_Indirizzi &owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_owner(owner)
{
    setObjectName(QStringLiteral("TfrmImportaSchede"));
    setWindowTitle(title());
    setFixedSize(900, 600);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xEE, 0xED, 0xED));
    setPalette(shade);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(8);

    // Top strip: banner and exit.
    auto *strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("panComandi"));
    strip->setStyleSheet(
            QStringLiteral("QFrame#panComandi { background: white; border: 1px solid #c8c8c8; border-radius: 4px; }"));
    auto *stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(10, 6, 10, 6);
    auto *banner = new QLabel(strip);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setPixmap(ui::textArt(QStringLiteral("Importazione schede da file"), QSize(430, 40), 24,
                                  QColor(0x1D, 0x7A, 0x3A), true));
    cmdEsci = new ui::PictureButton(QStringLiteral("esci"), QSize(44, 44), strip);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    cmdEsci->setToolTip(QStringLiteral("Esci da questa schermata."));
    stripRow->addWidget(banner);
    stripRow->addStretch();
    stripRow->addWidget(cmdEsci);
    column->addWidget(strip);

    // The file and how it is read.
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    auto *fileLabel = new QLabel(QStringLiteral("File:"), this);
    txtPercorso = new QLineEdit(this);
    txtPercorso->setObjectName(QStringLiteral("txtPercorso"));
    txtPercorso->setReadOnly(true);
    btnScegli = new QPushButton(QStringLiteral("Scegli file..."), this);
    btnScegli->setObjectName(QStringLiteral("btnScegli"));
    auto *encodingLabel = new QLabel(QStringLiteral("Codifica:"), this);
    cboCodifica = new QComboBox(this);
    cboCodifica->setObjectName(QStringLiteral("cboCodifica"));
    for (TextEncoding encoding : textEncodings())
        cboCodifica->addItem(encodingName(encoding), int(encoding));
    encodingLabel->setBuddy(cboCodifica);
    lblSeparatore = new QLabel(this);
    lblSeparatore->setObjectName(QStringLiteral("lblSeparatore"));
    chkIntestazione = new QCheckBox(QStringLiteral("La prima riga contiene i nomi delle colonne"), this);
    chkIntestazione->setObjectName(QStringLiteral("chkIntestazione"));
    form->addWidget(fileLabel, 0, 0);
    form->addWidget(txtPercorso, 0, 1, 1, 3);
    form->addWidget(btnScegli, 0, 4);
    form->addWidget(encodingLabel, 1, 0);
    form->addWidget(cboCodifica, 1, 1);
    form->addWidget(lblSeparatore, 1, 2);
    form->addWidget(chkIntestazione, 1, 3, 1, 2);
    form->setColumnStretch(3, 1);
    column->addLayout(form);

    // The preview: first row the field each column goes to, then the file's first rows.
    grdAnteprima = new QTableWidget(this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAnteprima->setAlternatingRowColors(true);
    grdAnteprima->setStyleSheet(QStringLiteral(
            "QTableWidget { background: white; alternate-background-color: #e8eef8; gridline-color: #c8c8c8; }"));
    grdAnteprima->horizontalHeader()->setDefaultSectionSize(150);
    grdAnteprima->verticalHeader()->setDefaultSectionSize(24);
    column->addWidget(grdAnteprima, 1);

    lblRiepilogo = new QLabel(QStringLiteral("Scegliere un file CSV o vCard da importare."), this);
    lblRiepilogo->setObjectName(QStringLiteral("lblRiepilogo"));
    column->addWidget(lblRiepilogo);
    prgImporta = new QProgressBar(this);
    prgImporta->setObjectName(QStringLiteral("prgImporta"));
    prgImporta->setAccessibleName(QStringLiteral("Avanzamento dell'importazione"));
    prgImporta->hide();
    column->addWidget(prgImporta);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btnImporta = new QPushButton(QStringLiteral("Importa"), this);
    btnImporta->setObjectName(QStringLiteral("btnImporta"));
    btnImporta->setEnabled(false);
    btnChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    btnChiudi->setAutoDefault(false);
    btnImporta->setAutoDefault(false);
    btnScegli->setAutoDefault(false);
    buttons->addWidget(btnImporta);
    buttons->addWidget(btnChiudi);
    column->addLayout(buttons);

    connect(btnScegli, &QPushButton::clicked, this, &TfrmImportaSchede::chooseFile);
    connect(btnImporta, &QPushButton::clicked, this, &TfrmImportaSchede::importCards);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmImportaSchede::reject);
    connect(cmdEsci, &ui::PictureButton::clicked, this, &TfrmImportaSchede::reject);
    connect(cboCodifica, &QComboBox::activated, this,
            [this](int index) { setEncoding(TextEncoding(cboCodifica->itemData(index).toInt())); });
    connect(chkIntestazione, &QCheckBox::toggled, this, [this](bool header) {
        if (m_table.kind != ImportTable::Kind::Csv || m_table.rows.isEmpty() || header == m_table.headerRow)
            return;
        m_table.setHeaderRow(header);
        m_mapping = m_table.proposed;
        showTable();
    });
    clearTable();
    btnScegli->setFocus();
}

void TfrmImportaSchede::chooseFile()
{
    const QString path =
            ui::chooseOpenFile(this, QStringLiteral(" Scegli il file da importare"),
                               QStringLiteral("File CSV o vCard (*.csv *.txt *.vcf *.vcard);;Tutti i file (*)"));
    if (!path.isEmpty())
        setFile(path);
}

bool TfrmImportaSchede::setFile(const QString &path)
{
    m_path = path;
    txtPercorso->setText(QDir::toNativeSeparators(path));
    return load(std::nullopt);
}

void TfrmImportaSchede::setEncoding(TextEncoding encoding)
{
    if (m_path.isEmpty() || (encoding == m_table.encoding && !m_table.rows.isEmpty()))
        return;
    load(encoding);
}

bool TfrmImportaSchede::load(std::optional<TextEncoding> encoding)
{
    const ImportError failure = importfile::load(m_path, m_table, encoding);
    if (failure) {
        clearTable();
        ui::message(this, ui::MessageKind::Warning, failure.message(), ui::MessageButtons::Ok);
        return false;
    }
    m_mapping = m_table.proposed;
    showTable();
    return true;
}

void TfrmImportaSchede::clearTable()
{
    m_table = ImportTable();
    m_mapping.clear();
    m_targets.clear();
    grdAnteprima->clear();
    grdAnteprima->setRowCount(0);
    grdAnteprima->setColumnCount(0);
    lblSeparatore->clear();
    chkIntestazione->setEnabled(false);
    btnImporta->setEnabled(false);
    lblRiepilogo->setText(QStringLiteral("Scegliere un file CSV o vCard da importare."));
}

void TfrmImportaSchede::showTable()
{
    const int columns = m_table.columnCount();
    cboCodifica->setCurrentIndex(cboCodifica->findData(int(m_table.encoding)));
    const bool csv = m_table.kind == ImportTable::Kind::Csv;
    lblSeparatore->setText(csv ? QStringLiteral("Separatore: %1").arg(separatorName(m_table.separator))
                               : QStringLiteral("Formato: vCard"));
    {
        const QSignalBlocker blocker(chkIntestazione);
        chkIntestazione->setChecked(m_table.headerRow);
    }
    chkIntestazione->setEnabled(csv);

    grdAnteprima->clear();
    m_targets.clear();
    const int shown = qMin(PreviewRows, m_table.dataRowCount());
    grdAnteprima->setColumnCount(columns);
    grdAnteprima->setRowCount(shown + 1);
    grdAnteprima->setHorizontalHeaderLabels(m_table.header);
    QStringList rowNames{QStringLiteral("Campo")};
    for (int r = 1; r <= shown; ++r)
        rowNames << QString::number(r);
    grdAnteprima->setVerticalHeaderLabels(rowNames);
    for (int c = 0; c < columns; ++c) {
        auto *box = new QComboBox;
        box->setObjectName(QStringLiteral("cboCampo%1").arg(c + 1));
        box->setAccessibleName(QStringLiteral("Campo della colonna %1").arg(m_table.header.at(c)));
        for (int target : columnmapping::targets())
            box->addItem(columnmapping::targetName(target), target);
        box->setCurrentIndex(box->findData(c < m_mapping.size() ? m_mapping.at(c) : columnmapping::Ignored));
        connect(box, &QComboBox::activated, this,
                [this, c, box](int index) { setColumnTarget(c, box->itemData(index).toInt()); });
        grdAnteprima->setCellWidget(0, c, box);
        m_targets << box;
    }
    for (int r = 0; r < shown; ++r) {
        const QStringList &row = m_table.rows.at(m_table.firstDataRow() + r);
        for (int c = 0; c < columns && c < row.size(); ++c)
            grdAnteprima->setItem(r + 1, c, new QTableWidgetItem(row.at(c)));
    }
    showSummary();
}

void TfrmImportaSchede::showSummary()
{
    const int rows = m_table.dataRowCount();
    QString text = rows == 1 ? QStringLiteral("1 riga nel file") : QStringLiteral("%1 righe nel file").arg(rows);
    if (!m_table.encodingValid)
        text += QStringLiteral(" - attenzione: il testo non è corretto nella codifica scelta");
    lblRiepilogo->setText(text + QLatin1Char('.'));
    btnImporta->setEnabled(rows > 0);
}

void TfrmImportaSchede::setColumnTarget(int column, int target)
{
    if (column < 0 || column >= m_mapping.size())
        return;
    m_mapping[column] = target;
    if (column < m_targets.size()) {
        const QSignalBlocker blocker(m_targets.at(column));
        m_targets.at(column)->setCurrentIndex(m_targets.at(column)->findData(target));
    }
}

QList<ImportedCard> TfrmImportaSchede::cards() const
{
    return importfile::buildCards(m_table, m_mapping);
}

void TfrmImportaSchede::importCards()
{
    if (m_importing || m_table.rows.isEmpty())
        return;
    // The cards are built once to count them and find what they cannot keep,
    // and again, one by one, as they are written.
    const importfile::ImportPlan plan = importfile::plan(m_table, m_mapping);
    if (plan.rows.isEmpty()) {
        ui::message(this, ui::MessageKind::Warning, nothingToImportMessage(), ui::MessageButtons::Ok);
        return;
    }
    if (!plan.lostCharacters.isEmpty()
        && !ui::ask(this, lostCharactersQuestion(plan.lostCharacters, plan.cardsWithLostCharacters)))
        return;

    m_importing = true;
    m_cancel = false;
    btnImporta->setEnabled(false);
    btnScegli->setEnabled(false);
    cboCodifica->setEnabled(false);
    chkIntestazione->setEnabled(false);
    grdAnteprima->setEnabled(false);
    btnChiudi->setText(QStringLiteral("Annulla"));
    prgImporta->setRange(0, int(plan.rows.size()));
    prgImporta->setValue(0);
    prgImporta->show();
    const qint64 total = plan.rows.size();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const AppendResult result = importfile::appendPlanned(m_owner.folder(), m_table, m_mapping, plan, [&](qint64 done) {
        prgImporta->setValue(int(done));
        emit progressed(done, total);
        // One thread: the dialog stays responsive (and Annulla works) between chunks.
        if (sinceEvents.elapsed() >= 50) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !m_cancel;
    });
    m_importing = false;
    prgImporta->hide();
    btnChiudi->setText(QStringLiteral("Chiudi"));
    btnImporta->setEnabled(true);
    btnScegli->setEnabled(true);
    cboCodifica->setEnabled(true);
    chkIntestazione->setEnabled(m_table.kind == ImportTable::Kind::Csv);
    grdAnteprima->setEnabled(true);

    switch (result.status) {
    case AppendResult::Status::Cancelled:
        ui::message(this, ui::MessageKind::Information, cancelledMessage(), ui::MessageButtons::Ok);
        return;
    case AppendResult::Status::Failed:
        ui::message(this, ui::MessageKind::Error, archivewindow::accessDeniedMessage(), ui::MessageButtons::Ok);
        return;
    case AppendResult::Status::Done:
        break;
    }
    // The window shows the first new card as the archive holds it.
    ImportedCard built;
    cardbuilder::build(m_table.rows.at(plan.rows.first()), m_mapping, built);
    TSchedaIndirizzo first = built.card;
    {
        AddressArchive archive(m_owner.folder());
        if (archive.open())
            archive.read(result.firstPosition, first);
    }
    m_owner.showCard(first, result.firstPosition);
    ui::message(this, ui::MessageKind::Information, addedMessage(total), ui::MessageButtons::Ok);
    accept();
}

void TfrmImportaSchede::cancelImport()
{
    if (m_importing)
        m_cancel = true;
}

void TfrmImportaSchede::reject()
{
    // Esc and Annulla during an import stop it; the dialog stays.
    if (m_importing) {
        cancelImport();
        return;
    }
    QDialog::reject();
}

void TfrmImportaSchede::closeEvent(QCloseEvent *event)
{
    if (m_importing) {
        cancelImport();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace tavolux
