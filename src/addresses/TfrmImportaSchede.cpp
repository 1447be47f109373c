#include "addresses/TfrmImportaSchede.h"

#include "addresses/LineFitMarker.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "archivewindow/ArchiveNotices.h"
#include "cardimport/CardAppender.h"
#include "help/ShowHelp.h"
#include "platform/Conventions.h"
#include "storage/AddressArchive.h"
#include "ui/Art.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/NamedComboBox.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"

#include <QApplication>
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
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <climits>

namespace tavolux {

namespace {

QString separatorName(char separator)
{
    if (separator == ';')
        return QStringLiteral("punto e virgola");
    if (separator == '\t')
        return QStringLiteral("tabulazione");
    return QStringLiteral("virgola");
}

// "una scheda", "100.000 schede".
QString counted(qint64 n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("una ") + one : conventions::formatCount(n) + QLatin1Char(' ') + many;
}

QString cardCount(qint64 n)
{
    return counted(n, QStringLiteral("scheda"), QStringLiteral("schede"));
}

QString rowCount(qint64 n)
{
    return counted(n, QStringLiteral("riga"), QStringLiteral("righe"));
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

constexpr int ColumnWidth = 150;
constexpr int CampoHeight = 28;

} // namespace

QString TfrmImportaSchede::instruction()
{
    return QStringLiteral("Scegliere nella riga Campo, sopra ogni colonna, il campo della scheda in cui importarla; "
                          "a destra la scheda che darà la riga selezionata.");
}

QString TfrmImportaSchede::nothingToImportMessage()
{
    return QStringLiteral("Attenzione: il file non contiene nessuna scheda da importare. "
                          "Controllare l'assegnazione delle colonne ai campi.");
}

QString TfrmImportaSchede::lostCharactersQuestion(const QString &characters, qint64 affected)
{
    QStringList shown;
    for (int i = 0; i < characters.size(); ++i) {
        QString c(characters.at(i));
        if (characters.at(i).isHighSurrogate() && i + 1 < characters.size())
            c.append(characters.at(++i));
        shown << c;
    }
    return QStringLiteral("Attenzione: alcuni caratteri di %1 non possono essere memorizzati in archivio e saranno "
                          "sostituiti da \"?\":\r\n\r\n%2\r\n\r\nSi vuole importare comunque?")
            .arg(affected == 1 ? QStringLiteral("una scheda") : QStringLiteral("%1 schede").arg(conventions::formatCount(affected)),
                 shown.join(QLatin1Char(' ')));
}

QString TfrmImportaSchede::addedMessage(qint64 added, qint64 skippedRows, bool vcard)
{
    QString text = added == 1 ? QStringLiteral("E' stata inserita una scheda in archivio.")
                                  : QStringLiteral("Sono state inserite %1 schede in archivio.")
                                            .arg(conventions::formatCount(added));
    if (skippedRows > 0) {
        const QString what = vcard ? cardCount(skippedRows) : rowCount(skippedRows);
        text += QStringLiteral("\r\n\r\n%1 senza testo nei campi scelti %2.")
                        .arg(capitalised(what), skippedRows == 1 ? QStringLiteral("non è stata importata")
                                                                 : QStringLiteral("non sono state importate"));
    }
    return text;
}

QString TfrmImportaSchede::cancelledMessage()
{
    return QStringLiteral("Importazione annullata: l'archivio non è stato modificato.");
}

QString TfrmImportaSchede::writeFailureMessage(AppendResult::Reason reason)
{
    const QString fact = QStringLiteral("Attenzione: le schede non sono state inserite in archivio perché %1; "
                                        "l'archivio non è stato modificato.\r\n\r\n%2");
    switch (reason) {
    case AppendResult::Reason::DiskFull:
        return fact.arg(QStringLiteral("il disco è pieno"),
                        QStringLiteral("Liberare spazio sul disco e ripetere l'importazione."));
    case AppendResult::Reason::Quota:
        return fact.arg(QStringLiteral("è esaurito lo spazio su disco concesso all'utente"),
                        QStringLiteral("Liberare spazio o chiedere all'amministratore di sistema di aumentarlo, "
                                       "poi ripetere l'importazione."));
    case AppendResult::Reason::ReadOnly:
        return fact.arg(QStringLiteral("il disco è protetto dalla scrittura"),
                        QStringLiteral("Accertarsi che il disco del programma consenta la scrittura."));
    case AppendResult::Reason::FileTooLarge:
        return fact.arg(QStringLiteral("l'archivio supererebbe la dimensione massima consentita per un file"),
                        QStringLiteral("Si consiglia di importare meno schede per volta."));
    case AppendResult::Reason::Busy:
        return fact.arg(QStringLiteral("l'archivio è in uso da un'altra copia del programma"),
                        QStringLiteral("Ripetere l'importazione quando l'altra copia ha terminato."));
    case AppendResult::Reason::NoPermission:
    case AppendResult::Reason::Other:
    case AppendResult::Reason::None:
        break;
    }
    return archivewindow::accessDeniedMessage();
}

QString TfrmImportaSchede::movedMessage(qint64 cards, qint64 from)
{
    return cards == 1 ? QStringLiteral("La scheda salvata nel frattempo da un'altra copia del programma resta in "
                                       "archivio, alla posizione %1.")
                                .arg(conventions::formatCount(from))
                      : QStringLiteral("Le %1 schede salvate nel frattempo da altre copie del programma restano in "
                                       "archivio, dalla posizione %2.")
                                .arg(conventions::formatCount(cards), conventions::formatCount(from));
}

QString TfrmImportaSchede::leftMessage()
{
    return QStringLiteral("Attenzione: l'importazione si è interrotta e non è stato possibile togliere dall'archivio "
                          "le schede già inserite.\r\n\r\nScegliendo di nuovo questo file si potrà continuare "
                          "l'importazione dalla prima riga non importata.");
}

QString TfrmImportaSchede::goOnQuestion(int rowsIn, bool vcard)
{
    const QString what = vcard ? QStringLiteral("schede") : QStringLiteral("righe");
    const QString from = vcard ? QStringLiteral("scheda") : QStringLiteral("riga");
    return QStringLiteral("Attenzione: un'importazione di questo file si è interrotta prima della fine. Le %1 del "
                          "file dalla 1 alla %2 sono già in archivio; rispondendo No si importerà di nuovo tutto il "
                          "file.\r\n\r\nSi vuole continuare dalla %3 %4?")
            .arg(what, conventions::formatCount(rowsIn), from, conventions::formatCount(rowsIn + 1));
}

QString TfrmImportaSchede::completeMessage()
{
    return QStringLiteral("Un'importazione di questo file si è interrotta dopo l'ultima scheda: tutte le sue schede "
                          "sono già in archivio.");
}

QString TfrmImportaSchede::undoFinishedMessage()
{
    return QStringLiteral("Un'importazione di questo file era stata annullata, ma l'annullamento si era interrotto: "
                          "ora è completo, e l'archivio è com'era prima dell'importazione, con le schede salvate nel "
                          "frattempo da altre copie del programma.");
}

QString TfrmImportaSchede::encodingWarning()
{
    return QStringLiteral("Attenzione: il file contiene caratteri non validi per la codifica scelta; "
                          "sceglierne un'altra.");
}

QStringList TfrmImportaSchede::summary(const ImportTable &table, const ImportPlan &plan, int fromRow)
{
    const bool vcard = table.kind == ImportTable::Kind::VCard;
    const qint64 in = qMax(0, fromRow - table.firstDataRow());
    const qint64 n = table.dataRowCount() - in;
    QStringList lines;
    if (in > 0)
        lines << (vcard ? QStringLiteral("Le schede del file dalla 1 alla %1 sono già in archivio; ora si importano "
                                         "le altre %2.")
                        : QStringLiteral("Le righe del file dalla 1 alla %1 sono già in archivio; ora si importano "
                                         "le altre %2."))
                         .arg(conventions::formatCount(in), conventions::formatCount(n));
    else
        lines << capitalised(vcard ? cardCount(n) + QStringLiteral(" nel file.") : rowCount(n) + QStringLiteral(" da importare."));
    if (plan.skippedRows > 0)
        lines << QStringLiteral("%1 senza testo nei campi scelti (per esempio con il solo indirizzo e-mail) %2.")
                         .arg(capitalised(vcard ? cardCount(plan.skippedRows) : rowCount(plan.skippedRows)),
                              plan.skippedRows == 1 ? QStringLiteral("non sarà importata")
                                                    : QStringLiteral("non saranno importate"));
    if (!plan.groups.isEmpty()) {
        QStringList taken;
        for (int g = 0; g < plan.groups.size(); ++g)
            if (plan.groupCards.at(g) > 0)
                taken << QStringLiteral("%1 in %2").arg(columnmapping::groupName(plan.groups.at(g)),
                                                       cardCount(plan.groupCards.at(g)));
        if (!taken.isEmpty())
            lines << QStringLiteral("Indirizzo usato (il primo con via o città, prima quello dell'ufficio): %1.")
                             .arg(taken.join(QStringLiteral(", ")));
    }
    if (plan.cutCards > 0)
        lines << QStringLiteral("In %1 alcuni testi superano i 250 caratteri di un campo e saranno troncati.")
                         .arg(cardCount(plan.cutCards));
    if (plan.cardsWithLostCharacters > 0)
        lines << QStringLiteral("In %1 alcuni caratteri non possono essere memorizzati in archivio e saranno "
                                "sostituiti da \"?\".")
                         .arg(cardCount(plan.cardsWithLostCharacters));
    if (table.otherWayLines == 1)
        lines << QStringLiteral("Una riga del file non è in UTF-8 ed è stata letta come Windows-1252.");
    else if (table.otherWayLines > 1)
        lines << QStringLiteral("%1 righe del file non sono in UTF-8 e sono state lette come Windows-1252.")
                         .arg(conventions::formatCount(table.otherWayLines));
    if (!table.encodingValid)
        lines << encodingWarning();
    return lines;
}

TfrmImportaSchede::TfrmImportaSchede(TfrmArchivio_Indirizzi &owner)
    : QDialog(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_owner(owner)
{
    setObjectName(QStringLiteral("TfrmImportaSchede"));
    setWindowTitle(title());
    setFixedSize(960, 660);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xEE, 0xED, 0xED));
    setPalette(shade);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);

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
    banner->setAccessibleName(QStringLiteral("Importazione schede da file"));
    cmdEsci = new ui::PictureButton(QStringLiteral("esci"), QSize(44, 44), strip);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    cmdEsci->setToolTip(QStringLiteral("Esci da questa schermata."));
    cmdGuida = new ui::PictureButton(QStringLiteral("guida"), QSize(44, 44), strip);
    cmdGuida->setObjectName(QStringLiteral("cmdGuida"));
    ui::setHintTooltip(cmdGuida, QStringLiteral("Visualizza la guida in linea."));
    stripRow->addWidget(banner);
    stripRow->addStretch();
    stripRow->addWidget(cmdGuida);
    stripRow->addWidget(cmdEsci);
    column->addWidget(strip);

    // The file and how it is read.
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    auto *fileLabel = new QLabel(QStringLiteral("File:"), this);
    txtPercorso = new QLineEdit(this);
    txtPercorso->setObjectName(QStringLiteral("txtPercorso"));
    txtPercorso->setReadOnly(true);
    txtPercorso->setAccessibleName(QStringLiteral("File da importare"));
    fileLabel->setBuddy(txtPercorso);
    btnScegli = new QPushButton(QStringLiteral("Scegli file…"), this);
    btnScegli->setObjectName(QStringLiteral("btnScegli"));
    auto *encodingLabel = new QLabel(QStringLiteral("Codifica:"), this);
    cboCodifica = new ui::NamedComboBox(this);
    cboCodifica->setObjectName(QStringLiteral("cboCodifica"));
    cboCodifica->setAccessibleName(QStringLiteral("Codifica del file"));
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

    lblIstruzioni = new QLabel(instruction(), this);
    lblIstruzioni->setObjectName(QStringLiteral("lblIstruzioni"));
    lblIstruzioni->setWordWrap(true);
    column->addWidget(lblIstruzioni);

    // Left the file's rows under the field of each column, right the card of the chosen row.
    auto *middle = new QHBoxLayout;
    middle->setSpacing(10);
    auto *table = new QVBoxLayout;
    table->setSpacing(0);
    panCampi = new QWidget(this);
    panCampi->setObjectName(QStringLiteral("panCampi"));
    panCampi->setFixedHeight(CampoHeight);
    m_corner = new QLabel(QStringLiteral("Campo"), panCampi);
    m_corner->setObjectName(QStringLiteral("lblCampo"));
    m_corner->setAlignment(Qt::AlignCenter);
    QFont bold = m_corner->font();
    bold.setBold(true);
    m_corner->setFont(bold);
    table->addWidget(panCampi);
    grdAnteprima = new QTableWidget(this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    grdAnteprima->setAccessibleName(QStringLiteral("Anteprima del file da importare"));
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAnteprima->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAnteprima->setSelectionMode(QAbstractItemView::SingleSelection);
    grdAnteprima->setAlternatingRowColors(true);
    // Tab leaves the grid: the arrows move in it.
    grdAnteprima->setTabKeyNavigation(false);
    grdAnteprima->setStyleSheet(QStringLiteral(
            "QTableWidget { background: white; alternate-background-color: #e8eef8; gridline-color: #c8c8c8; }"));
    grdAnteprima->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    grdAnteprima->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdAnteprima->verticalHeader()->setDefaultSectionSize(24);
    grdAnteprima->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Wide enough for the name of the row of fields above it.
    grdAnteprima->verticalHeader()->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("Campo")) + 16);
    table->addWidget(grdAnteprima, 1);
    middle->addLayout(table, 1);

    auto *cardBox = new QFrame(this);
    cardBox->setObjectName(QStringLiteral("panScheda"));
    cardBox->setFixedWidth(300);
    cardBox->setStyleSheet(
            QStringLiteral("QFrame#panScheda { background: white; border: 1px solid #c8c8c8; border-radius: 4px; }"));
    auto *cardColumn = new QVBoxLayout(cardBox);
    cardColumn->setContentsMargins(8, 6, 8, 6);
    cardColumn->setSpacing(3);
    lblScheda = new QLabel(cardBox);
    lblScheda->setObjectName(QStringLiteral("lblScheda"));
    lblScheda->setFont(bold);
    lblScheda->setWordWrap(true);
    cardColumn->addWidget(lblScheda);
    auto field = [&](const QString &name, const QString &spoken) {
        auto *edit = new QLineEdit(cardBox);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setAccessibleName(spoken);
        return edit;
    };
    auto caption = [&](const QString &text, QLineEdit *buddy) {
        auto *label = new QLabel(text, cardBox);
        label->setBuddy(buddy);
        cardColumn->addWidget(label);
        cardColumn->addWidget(buddy);
    };
    txtSchedaNome = field(QStringLiteral("txtSchedaNome"), QStringLiteral("Nome etichetta della scheda"));
    caption(QStringLiteral("Nome etichetta:"), txtSchedaNome);
    txtSchedaTipo = field(QStringLiteral("txtSchedaTipo"), QStringLiteral("Tipo della scheda"));
    caption(QStringLiteral("Tipo:"), txtSchedaTipo);
    auto *linesLabel = new QLabel(QStringLiteral("Etichetta:"), cardBox);
    cardColumn->addWidget(linesLabel);
    for (int l = 1; l <= 6; ++l) {
        QLineEdit *line = field(QStringLiteral("txtSchedaRigo%1").arg(l, 2, 10, QLatin1Char('0')),
                                QStringLiteral("Indirizzo (rigo %1)").arg(l));
        cardColumn->addWidget(line);
        txtSchedaRigo << line;
    }
    linesLabel->setBuddy(txtSchedaRigo.first());
    txtSchedaNote = field(QStringLiteral("txtSchedaNote"), QStringLiteral("Note della scheda"));
    caption(QStringLiteral("Note:"), txtSchedaNote);
    lblSchedaInfo = new QLabel(cardBox);
    lblSchedaInfo->setObjectName(QStringLiteral("lblSchedaInfo"));
    lblSchedaInfo->setWordWrap(true);
    QPalette warning = lblSchedaInfo->palette();
    warning.setColor(QPalette::WindowText, QColor(0x8B, 0x00, 0x00));
    lblSchedaInfo->setPalette(warning);
    cardColumn->addWidget(lblSchedaInfo);
    cardColumn->addStretch();
    // The mark of a line that will be cut in print, with its words here.
    for (int l = 0; l < txtSchedaRigo.size(); ++l)
        LineFitMarker::install(txtSchedaRigo.at(l), lblSchedaInfo, l + 1, m_owner.lineFitFormats());
    middle->addWidget(cardBox);
    column->addLayout(middle, 1);

    auto *summaryRow = new QHBoxLayout;
    lblRiepilogo = new QLabel(QStringLiteral("Scegliere un file CSV o vCard da importare."), this);
    lblRiepilogo->setObjectName(QStringLiteral("lblRiepilogo"));
    lblRiepilogo->setWordWrap(true);
    lblRiepilogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblRiepilogo->setMinimumHeight(5 * lblRiepilogo->fontMetrics().lineSpacing());
    btnMostraRighe = new QPushButton(QStringLiteral("Mostra le righe lette come Windows-1252"), this);
    btnMostraRighe->setObjectName(QStringLiteral("btnMostraRighe"));
    btnMostraRighe->setAutoDefault(false);
    btnMostraRighe->hide();
    summaryRow->addWidget(lblRiepilogo, 1);
    summaryRow->addWidget(btnMostraRighe, 0, Qt::AlignTop);
    column->addLayout(summaryRow);
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
    connect(cmdGuida, &ui::PictureButton::clicked, this,
            [this] { showHelpTopic(this, m_owner.folder(), HelpTopic::Import); });
    ui::bindShortcut(this, cmdGuida, QKeySequence(Qt::Key_F1));
    connect(btnMostraRighe, &QPushButton::clicked, this, [this] {
        m_otherWayOnly = !m_otherWayOnly;
        showRows();
    });
    connect(cboCodifica, &QComboBox::activated, this,
            [this](int index) { setEncoding(TextEncoding(cboCodifica->itemData(index).toInt())); });
    connect(chkIntestazione, &QCheckBox::toggled, this, [this](bool header) {
        if (m_table.kind != ImportTable::Kind::Csv || m_table.rows.isEmpty() || header == m_table.headerRow)
            return;
        m_table.setHeaderRow(header);
        m_mapping = m_table.proposed;
        showTable();
    });
    connect(grdAnteprima->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TfrmImportaSchede::placeTargets);
    grdAnteprima->installEventFilter(this);
    grdAnteprima->verticalHeader()->installEventFilter(this);
    connect(grdAnteprima, &QTableWidget::currentCellChanged, this, [this] { showCard(); });
    clearTable();
    btnScegli->setFocus();
}

void TfrmImportaSchede::chooseFile()
{
    const QString path =
            ui::chooseOpenFile(this, QStringLiteral("Selezionare il file da importare:"),
                               QStringLiteral("File CSV o vCard (*.csv *.txt *.vcf *.vcard);;Tutti i file (*.*)"));
    if (!path.isEmpty())
        setFile(path);
}

bool TfrmImportaSchede::setFile(const QString &path)
{
    m_path = path;
    txtPercorso->setText(QDir::toNativeSeparators(path));
    if (!load(std::nullopt))
        return false;
    offerToGoOn();
    return true;
}

void TfrmImportaSchede::offerToGoOn()
{
    const FoundImport found = ImportJournal::find(m_owner.folder(), m_table.digest);
    if (found.state == FoundImport::State::Finished)
        ui::message(this, ui::MessageKind::Information, undoFinishedMessage(), ui::MessageButtons::Ok);
    if (found.state != FoundImport::State::Stopped && !(found.state == FoundImport::State::Finished && found.earlierRows()))
        return;
    // The file read as that import read it.
    if (found.job.encoding != int(m_table.encoding) && !load(TextEncoding(found.job.encoding)))
        return;
    if (m_table.kind == ImportTable::Kind::Csv && found.job.headerRow != m_table.headerRow)
        m_table.setHeaderRow(found.job.headerRow);
    if (found.job.mapping.size() == m_table.columnCount())
        m_mapping = found.job.mapping;
    const int next = importfile::rowAfterCards(m_table, m_mapping, found.job.fromRow, found.cards);
    // Rows after it that give no card leave nothing to go on with.
    if (next >= m_table.rows.size() || importfile::plan(m_table, m_mapping, next).cards == 0) {
        ImportJournal::forget(m_owner.folder(), m_table.digest);
        showTable();
        ui::message(this, ui::MessageKind::Information, completeMessage(), ui::MessageButtons::Ok);
        return;
    }
    if (ui::ask(this, goOnQuestion(next - m_table.firstDataRow(), m_table.kind == ImportTable::Kind::VCard)))
        m_fromRow = next;
    showTable();
}

void TfrmImportaSchede::setEncoding(TextEncoding encoding)
{
    if (m_path.isEmpty() || (encoding == m_table.encoding && !m_table.rows.isEmpty()))
        return;
    load(encoding);
}

bool TfrmImportaSchede::load(std::optional<TextEncoding> encoding)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The rows and cards of the last file go first: never two files at once.
    clearTable();
    const ImportError failure = importfile::load(m_path, m_table, encoding);
    QApplication::restoreOverrideCursor();
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
    m_plan = ImportPlan();
    m_mapping.clear();
    m_fromRow = 0;
    qDeleteAll(m_targets);
    m_targets.clear();
    m_shownRows.clear();
    m_otherWayOnly = false;
    grdAnteprima->clear();
    grdAnteprima->setRowCount(0);
    grdAnteprima->setColumnCount(0);
    lblSeparatore->clear();
    chkIntestazione->setEnabled(false);
    btnImporta->setEnabled(false);
    btnMostraRighe->hide();
    lblRiepilogo->setText(QStringLiteral("Scegliere un file CSV o vCard da importare."));
    showCard();
    setTabOrder();
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

    qDeleteAll(m_targets);
    m_targets.clear();
    m_otherWayOnly = false;
    for (int c = 0; c < columns; ++c) {
        auto *box = new ui::NamedComboBox(panCampi);
        box->setObjectName(QStringLiteral("cboCampo%1").arg(c + 1));
        const QString name = m_table.header.at(c);
        // "Colonna 3" where the file names no column.
        box->setAccessibleName(m_table.headerRow || !csv ? QStringLiteral("Campo per la colonna %1").arg(name)
                                                         : QStringLiteral("Campo per la colonna %1").arg(c + 1));
        for (int target : columnmapping::targets())
            box->addItem(columnmapping::targetName(target), target);
        box->setCurrentIndex(box->findData(c < m_mapping.size() ? m_mapping.at(c) : columnmapping::Ignored));
        box->installEventFilter(this);
        connect(box, &QComboBox::activated, this,
                [this, c, box](int index) { setColumnTarget(c, box->itemData(index).toInt()); });
        box->show();
        m_targets << box;
    }
    m_corner->raise();
    grdAnteprima->setColumnCount(columns);
    grdAnteprima->setHorizontalHeaderLabels(m_table.header);
    replan();
    showRows();
    setTabOrder();
}

void TfrmImportaSchede::showRows()
{
    m_shownRows.clear();
    for (int r = 0; r < m_table.dataRowCount() && m_shownRows.size() < PreviewRows; ++r)
        if (!m_otherWayOnly || m_table.rows.readOtherWay(m_table.firstDataRow() + r))
            m_shownRows << r;
    const QSignalBlocker blocker(grdAnteprima);
    grdAnteprima->clearContents();
    grdAnteprima->setRowCount(int(m_shownRows.size()));
    QStringList rowNames;
    for (int i = 0; i < m_shownRows.size(); ++i) {
        const int r = m_shownRows.at(i);
        rowNames << QString::number(r + 1);
        const QStringList values = m_table.row(m_table.firstDataRow() + r);
        for (int c = 0; c < m_table.columnCount() && c < values.size(); ++c)
            grdAnteprima->setItem(i, c, new QTableWidgetItem(values.at(c)));
    }
    grdAnteprima->setVerticalHeaderLabels(rowNames);
    if (!m_shownRows.isEmpty())
        grdAnteprima->setCurrentCell(0, 0);
    btnMostraRighe->setText(m_otherWayOnly ? QStringLiteral("Mostra tutte le righe")
                                           : QStringLiteral("Mostra le righe lette come Windows-1252"));
    placeTargets();
    showCard();
}

void TfrmImportaSchede::placeTargets()
{
    // The boxes stand over their columns, scrolled with them, right of the
    // corner that names their row.
    const int left = grdAnteprima->frameWidth()
                     + (grdAnteprima->verticalHeader()->isVisible() ? grdAnteprima->verticalHeader()->width() : 0);
    m_corner->setGeometry(0, 0, qMax(left, 40), CampoHeight);
    for (int c = 0; c < m_targets.size(); ++c) {
        const int x = left + grdAnteprima->columnViewportPosition(c);
        m_targets.at(c)->setGeometry(x, 1, grdAnteprima->columnWidth(c), CampoHeight - 2);
        m_targets.at(c)->setVisible(x + grdAnteprima->columnWidth(c) > left);
    }
    m_corner->raise();
}

bool TfrmImportaSchede::eventFilter(QObject *watched, QEvent *event)
{
    // A box reached by Tab brings its column into view.
    if (event->type() == QEvent::FocusIn && qobject_cast<QComboBox *>(watched)) {
        const int c = int(m_targets.indexOf(qobject_cast<QComboBox *>(watched)));
        if (c >= 0 && grdAnteprima->columnCount() > c) {
            const int row = qMax(0, grdAnteprima->currentRow());
            if (grdAnteprima->rowCount() > 0)
                grdAnteprima->scrollTo(grdAnteprima->model()->index(row, c));
            else
                grdAnteprima->horizontalScrollBar()->setValue(c * ColumnWidth);
            placeTargets();
        }
    } else if (event->type() == QEvent::Show || event->type() == QEvent::Resize) {
        placeTargets();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmImportaSchede::setTabOrder()
{
    // The file, how it is read, the field of each column, the rows, the
    // card, then the buttons: never a trap.
    QList<QWidget *> chain{txtPercorso, btnScegli, cboCodifica, chkIntestazione};
    for (QComboBox *box : std::as_const(m_targets))
        chain << box;
    chain << grdAnteprima << txtSchedaNome << txtSchedaTipo;
    for (QLineEdit *line : std::as_const(txtSchedaRigo))
        chain << line;
    chain << txtSchedaNote << btnMostraRighe << btnImporta << btnChiudi << cmdEsci;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

void TfrmImportaSchede::replan()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_plan = ImportPlan(); // the cards of the last mapping go first
    m_plan = importfile::plan(m_table, m_mapping, fromRow());
    QApplication::restoreOverrideCursor();
    showSummary();
}

void TfrmImportaSchede::showSummary()
{
    lblRiepilogo->setText(summary(m_table, m_plan, fromRow()).join(QLatin1Char('\n')));
    btnImporta->setEnabled(m_table.dataRowCount() > 0);
    btnMostraRighe->setVisible(m_table.otherWayLines > 0);
}

int TfrmImportaSchede::previewRow() const
{
    const int shown = grdAnteprima->currentRow();
    return shown >= 0 && shown < m_shownRows.size() ? m_shownRows.at(shown) : -1;
}

void TfrmImportaSchede::showCard()
{
    const int row = previewRow();
    TSchedaIndirizzo card;
    QString note;
    if (row >= 0) {
        CardBuilder builder(m_table.rows, m_table.roles, m_mapping);
        CardBuilder::Card built;
        if (builder.build(m_table.firstDataRow() + row, built))
            card = built.card();
        else
            note = QStringLiteral("Questa riga non ha testo nei campi scelti e non sarà importata.");
        if (m_table.firstDataRow() + row < fromRow())
            note = QStringLiteral("Questa riga è già in archivio e non sarà importata di nuovo.");
        lblScheda->setText(QStringLiteral("La riga %1 del file darà questa scheda:").arg(conventions::formatCount(row + 1)));
    } else {
        lblScheda->setText(QStringLiteral("Anteprima della scheda"));
    }
    txtSchedaNome->setText(card[TSchedaIndirizzo::Nome]);
    txtSchedaTipo->setText(card[TSchedaIndirizzo::Tipo]);
    for (int l = 0; l < txtSchedaRigo.size(); ++l) {
        txtSchedaRigo.at(l)->setText(card[TSchedaIndirizzo::Rigo01 + l]);
        txtSchedaRigo.at(l)->setCursorPosition(0);
    }
    txtSchedaNote->setText(card[TSchedaIndirizzo::Note]);
    txtSchedaNome->setCursorPosition(0);
    txtSchedaNote->setCursorPosition(0);
    // The lines that will be cut in print are marked; say so once here.
    QStringList cut;
    for (int l = 0; l < txtSchedaRigo.size(); ++l)
        if (!LineFitMarker::warning(txtSchedaRigo.at(l)->text(), l + 1, m_owner.lineFitFormats()).isEmpty())
            cut << QString::number(l + 1);
    if (note.isEmpty() && !cut.isEmpty())
        note = cut.size() == 1 ? QStringLiteral("Il rigo %1 è troppo lungo e in stampa verrà tagliato.").arg(cut.first())
                               : QStringLiteral("I righi %1 sono troppo lunghi e in stampa verranno tagliati.")
                                         .arg(cut.join(QStringLiteral(", ")));
    lblSchedaInfo->setText(note);
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
    replan();
    showCard();
}

QList<TSchedaIndirizzo> TfrmImportaSchede::cards() const
{
    return importfile::cards(m_plan);
}

void TfrmImportaSchede::importCards()
{
    if (m_importing || m_table.rows.isEmpty())
        return;
    // The cards were built once, with the summary; they are written as they are.
    if (m_plan.cards == 0) {
        ui::message(this, ui::MessageKind::Warning, nothingToImportMessage(), ui::MessageButtons::Ok);
        return;
    }
    if (!m_plan.lostCharacters.isEmpty()
        && !ui::ask(this, lostCharactersQuestion(m_plan.lostCharacters, m_plan.cardsWithLostCharacters)))
        return;

    m_importing = true;
    m_cancel = false;
    const QList<QWidget *> locked{btnImporta, btnScegli, cboCodifica, chkIntestazione, panCampi, grdAnteprima,
                                  btnMostraRighe};
    for (QWidget *w : locked)
        w->setEnabled(false);
    btnChiudi->setText(QStringLiteral("Annulla"));
    const qint64 total = m_plan.cards;
    prgImporta->setRange(0, int(qMin<qint64>(total, INT_MAX)));
    prgImporta->setValue(0);
    prgImporta->show();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    // The run as its journal tells it, should it stop before its end.
    const ImportJob job = importfile::job(m_table, m_mapping, fromRow(), QFileInfo(m_path).fileName());
    const AppendResult result = importfile::appendPlanned(m_owner.folder(), m_plan, [&](qint64 done) {
        emit progressed(done, total);
        // One thread: the bar moves and the dialog answers (Annulla works)
        // between chunks, a few times a second.
        if (sinceEvents.elapsed() >= 50) {
            prgImporta->setValue(int(qMin<qint64>(done, INT_MAX)));
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !m_cancel;
    }, &job);
    m_importing = false;
    prgImporta->hide();
    btnChiudi->setText(QStringLiteral("Chiudi"));
    for (QWidget *w : locked)
        w->setEnabled(true);
    chkIntestazione->setEnabled(m_table.kind == ImportTable::Kind::Csv);

    const QString moved = result.moved > 0 ? QStringLiteral("\r\n\r\n") + movedMessage(result.moved, result.movedFrom)
                                           : QString();
    if (result.status != AppendResult::Status::Done && result.left > 0) {
        ui::message(this, ui::MessageKind::Error, leftMessage(), ui::MessageButtons::Ok);
        return;
    }
    switch (result.status) {
    case AppendResult::Status::Cancelled:
        ui::message(this, ui::MessageKind::Information, cancelledMessage() + moved, ui::MessageButtons::Ok);
        return;
    case AppendResult::Status::Failed:
        ui::message(this, ui::MessageKind::Error, writeFailureMessage(result.reason) + moved, ui::MessageButtons::Ok);
        return;
    case AppendResult::Status::Done:
        break;
    }
    // The window shows the first new card as the archive holds it.
    TSchedaIndirizzo first;
    {
        AddressArchive archive(m_owner.folder());
        if (!archive.open() || !archive.read(result.firstPosition, first))
            first = importfile::cards(m_plan, 1).value(0);
    }
    m_owner.showCard(first, result.firstPosition);
    ui::message(this, ui::MessageKind::Information,
                addedMessage(total, m_plan.skippedRows, m_table.kind == ImportTable::Kind::VCard),
                ui::MessageButtons::Ok);
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
