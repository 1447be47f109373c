#include "labels/TfrmArchivio_Etichette.h"

#include "help/ShowHelp.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "mailing/TfrmStampaSchede.h"
#include "printing/LabelMailing.h"
#include "printing/LineFit.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmStampaPagina.h"

#include "platform/TextUtil.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/ArchiveToolbar.h"
#include "archivewindow/ArchiveWindowSteps.h"
#include "archivewindow/ArchiveNotices.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/FocusHighlight.h"
#include "ui/Look.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"
#include "ui/StatusHints.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavolux {

namespace {

const QString kReady = QStringLiteral("Pronto per archiviare una nuova scheda...");

// Slot grid geometry: three columns, eight rows, numbered row by row.
constexpr int kColumns = 3;
constexpr int kColumnPitch = 318;
constexpr int kRowPitch = 46;
constexpr QSize kSlotBox(310, 38);
const QColor kSlotFill(0xE4, 0xE4, 0xE4);

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QFrame *whiteTile(QWidget *parent, const QString &name)
{
    auto *tile = new QFrame(parent);
    tile->setObjectName(name);
    tile->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#") + name, 6));
    return tile;
}

QLabel *instruction(const QString &text, const QColor &colour, const QString &name, QWidget *parent)
{
    auto *line = new QLabel(text, parent);
    line->setObjectName(name);
    line->setTextFormat(Qt::PlainText);
    QFont font(ui::kTextFace, 9);
    font.setBold(true);
    line->setFont(font);
    line->setStyleSheet(QStringLiteral("color: %1;").arg(colour.name()));
    return line;
}

} // namespace

QString TfrmArchivio_Etichette::slotTag(int slot)
{
    return QStringLiteral("etichetta_E") + twoDigits(slot);
}

int TfrmArchivio_Etichette::slotOfTag(const QString &tag)
{
    static const QRegularExpression pattern(QStringLiteral("^etichetta_E(\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(tag);
    if (!match.hasMatch())
        return 0;
    const int slot = match.captured(1).toInt();
    return slot >= 1 && slot <= Slots ? slot : 0;
}

TfrmArchivio_Etichette::TfrmArchivio_Etichette(const ProgramFolder &folder, QWidget *parent)
    : ui::GradientWidget(QColor(0x42, 0x7A, 0xA8), parent), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmArchivio_Etichette"));
    setWindowTitle(QStringLiteral(" Tavolux - Gestione Etichette"));
}

void TfrmArchivio_Etichette::buildFor(QWidget *window)
{
    static_cast<TfrmArchivio_Etichette *>(window)->build();
}

void TfrmArchivio_Etichette::build()
{
    if (m_built)
        return;
    m_built = true;
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panPrincipale"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    QList<QWidget *> background{this, panel};
    QList<QWidget *> neutral;

    // Toolbar: each button on its own white tile; the browsing buttons share one.
    auto *toolbar = new QHBoxLayout;
    toolbar->setSpacing(8);
    auto addTile = [&](const QString &name, const QList<QWidget *> &items) {
        auto *tile = whiteTile(panel, name);
        auto *row = new QHBoxLayout(tile);
        row->setContentsMargins(8, 6, 8, 6);
        row->setSpacing(6);
        for (QWidget *item : items) {
            item->setParent(tile);
            row->addWidget(item, 0, Qt::AlignVCenter);
        }
        toolbar->addWidget(tile);
        background << tile;
    };
    auto icon = [](const char *art, const char *name) {
        auto *button = new ui::PictureButton(QLatin1String(art), QSize(40, 40));
        button->setObjectName(QLatin1String(name));
        return button;
    };
    auto wide = [](const QString &caption, int width, const char *name) {
        auto *button = new ui::PictureButton(QSize(width, 40), [caption, width] { return ui::buttonArt(caption, QSize(width, 40)); });
        button->setObjectName(QLatin1String(name));
        return button;
    };
    cmdNuovo = icon("nuovo", "cmdNuovo");
    cmdSalva = icon("salva", "cmdSalva");
    cmdAnteprima = wide(QStringLiteral("Anteprima"), 112, "cmdAnteprima");
    cmdStampa = wide(QStringLiteral("Stampa"), 88, "cmdStampa");
    cmdSchede = wide(QStringLiteral("Dall'archivio"), 132, "cmdSchede");
    cmdPrimo = icon("primo", "cmdPrimo");
    cmdIndietro = icon("indietro", "cmdIndietro");
    lblPosizione = new QLabel;
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setMinimumWidth(64);
    QFont positionFont(ui::kTextFace, 12);
    positionFont.setBold(true);
    lblPosizione->setFont(positionFont);
    neutral << lblPosizione;
    cmdAvanti = icon("avanti", "cmdAvanti");
    cmdUltimo = icon("ultimo", "cmdUltimo");
    cmdGuida = icon("guida", "cmdGuida");
    cmdEsci = icon("esci", "cmdEsci");
    addTile(QStringLiteral("boxNuovo"), {cmdNuovo});
    addTile(QStringLiteral("boxSalva"), {cmdSalva});
    addTile(QStringLiteral("boxAnteprima"), {cmdAnteprima});
    addTile(QStringLiteral("boxStampa"), {cmdStampa});
    addTile(QStringLiteral("boxSchede"), {cmdSchede});
    addTile(QStringLiteral("boxNavigazione"), {cmdPrimo, cmdIndietro, lblPosizione, cmdAvanti, cmdUltimo});
    addTile(QStringLiteral("boxGuida"), {cmdGuida});
    addTile(QStringLiteral("boxEsci"), {cmdEsci});
    toolbar->addStretch(1);
    column->addLayout(toolbar);

    // Body: title strip, instructions, the slot grid.
    auto *body = new QFrame(panel);
    body->setObjectName(QStringLiteral("panCorpo"));
    body->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panCorpo"), 6, QStringLiteral("#C8D6E3")));
    background << body;
    auto *bodyColumn = new QVBoxLayout(body);
    bodyColumn->setContentsMargins(16, 14, 16, 16);
    bodyColumn->setSpacing(12);

    auto *title = new QLabel(QStringLiteral("STAMPA DI ETICHETTE SU FOGLI A4 DA 24 ETICHETTE"), body);
    title->setObjectName(QStringLiteral("lblTitoloStampa"));
    title->setAlignment(Qt::AlignCenter);
    title->setFixedHeight(30);
    QFont titleFont(ui::kTextFace, 12);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("background: black; color: #FFFF00;"));
    neutral << title;
    bodyColumn->addWidget(title);

    auto *instructions = new QFrame(body);
    instructions->setObjectName(QStringLiteral("panIstruzioni"));
    instructions->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panIstruzioni"), 0));
    auto *instructionRow = new QHBoxLayout(instructions);
    instructionRow->setContentsMargins(12, 10, 12, 10);
    instructionRow->setSpacing(14);
    auto *sheets = new QLabel(instructions);
    sheets->setObjectName(QStringLiteral("imgEtichette"));
    ui::setPictureWhenShown(sheets, QSize(80, 105), [] { return ui::art(QStringLiteral("etichette"), QSize(80, 105)); });
    sheets->setFixedSize(80, 105);
    ui::describePicture(sheets, QStringLiteral("Foglio di etichette"));
    instructionRow->addWidget(sheets, 0, Qt::AlignVCenter);
    auto *lines = new QVBoxLayout;
    lines->setSpacing(3);
    const QColor darkRed(0x8B, 0x00, 0x00);
    const QColor darkGrey(0x50, 0x50, 0x50);
    const QList<QPair<QString, QColor>> texts{
        {QStringLiteral("Importare le etichette da stampare dall'archivio degli indirizzi nei campi sottostanti."), darkRed},
        {QStringLiteral("Dopo aver importato le etichette, premere il pulsante con l'icona del dischetto floppy per salvare la pagina."), darkRed},
        {QStringLiteral("Per aggiornare un indirizzo, aprire la relativa scheda nell'archivio degli indirizzi e apportare le modifiche."), darkRed},
        {QString(), QColor()},
        {QStringLiteral("Premere il pulsante Anteprima per visualizzare la pagina delle etichette prima di stamparla su carta."), darkGrey},
        {QStringLiteral("Premere il pulsante Stampa per stampare la pagina delle etichette direttamente su carta."), darkGrey},
    };
    int n = 0;
    for (const auto &text : texts) {
        if (text.first.isEmpty()) {
            lines->addSpacing(QFontMetrics(QFont(ui::kTextFace, 9)).height());
            continue;
        }
        QLabel *line = instruction(text.first, text.second, QStringLiteral("lblIstruzione%1").arg(++n), instructions);
        lines->addWidget(line);
        background << line;
    }
    instructionRow->addLayout(lines, 1);
    background << instructions << sheets;
    bodyColumn->addWidget(instructions);

    // Hidden, outside the layout, and a child of the window rather than of the
    // styled body: its 144 holders then take no part in the body's style sheet,
    // which makes the window much quicker to create.
    panMemory = new QWidget(this);
    panMemory->setObjectName(QStringLiteral("panMemory"));
    panMemory->hide();
    background << panMemory;
    m_grid = new QWidget(body);
    m_grid->setObjectName(QStringLiteral("panEtichette"));
    m_grid->setFixedSize((kColumns - 1) * kColumnPitch + kSlotBox.width(),
                         (Slots / kColumns - 1) * kRowPitch + kSlotBox.height());
    background << m_grid;
    bodyColumn->addWidget(m_grid, 0, Qt::AlignHCenter);
    column->addWidget(body);

    // Status bar.
    auto *status = new QFrame(panel);
    status->setObjectName(QStringLiteral("panStato"));
    status->setStyleSheet(QStringLiteral("QFrame#panStato { background: #3030DD; border-radius: 4px; }"));
    auto *statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(10, 4, 10, 4);
    panInfo = new QLabel(kReady, status);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFont(QFont(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    statusRow->addWidget(panInfo);
    background << status << panInfo;
    column->addWidget(status);

    auto *outer = new QGridLayout(this);
    outer->addWidget(panel, 0, 0, Qt::AlignCenter);

    addHints(background, neutral);

    wireArchiveToolbar(this, {cmdNuovo, cmdSalva, cmdPrimo, cmdIndietro, cmdAvanti, cmdUltimo, cmdGuida, cmdEsci,
                              [this] { newPage(); }, [this] { save(); },
                              [this](NavigationButton button) { navigate(button); }, [this] { openHelp(); }});
    connect(cmdAnteprima, &ui::PictureButton::clicked, this, &TfrmArchivio_Etichette::openPreview);
    connect(cmdStampa, &ui::PictureButton::clicked, this, &TfrmArchivio_Etichette::openPrint);
    connect(cmdSchede, &ui::PictureButton::clicked, this, &TfrmArchivio_Etichette::openMailing);

    // Keys of this window's own buttons; Ctrl+I imports into the slot that has the focus.
    ui::bindShortcut(this, cmdStampa, QKeySequence(Qt::CTRL | Qt::Key_P));
    ui::bindShortcut(this, cmdAnteprima, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    ui::bindShortcut(this, cmdSchede, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    auto *import = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    connect(import, &QShortcut::activated, this, [this] { openImport(focusedSlot()); });

    buildSlots();
}

const std::array<TfrmArchivio_Etichette::Slot, TfrmArchivio_Etichette::Slots> &TfrmArchivio_Etichette::slotControls() const
{
    const_cast<TfrmArchivio_Etichette *>(this)->build();
    return m_slots;
}

void TfrmArchivio_Etichette::buildSlots()
{
    QFont nameFont(ui::kTextFace, 12);
    nameFont.setBold(true);
    for (int k = 1; k <= Slots; ++k) {
        const QString kk = twoDigits(k);
        Slot &slot = m_slots[size_t(k - 1)];

        slot.box = new QFrame(m_grid);
        slot.box->setObjectName(QStringLiteral("bkgIndirizzo_") + kk);
        slot.box->setStyleSheet(QStringLiteral("QFrame#bkgIndirizzo_%1 { background: %2; border: 2px solid #F2C500; }")
                                    .arg(kk, kSlotFill.name()));
        slot.box->setGeometry(QRect(QPoint(((k - 1) % kColumns) * kColumnPitch, ((k - 1) / kColumns) * kRowPitch), kSlotBox));

        slot.name = new QLineEdit(slot.box);
        slot.name->setObjectName(QStringLiteral("txtNome_E") + kk);
        slot.name->setFont(nameFont);
        slot.name->setMaxLength(250);
        slot.name->setReadOnly(true);
        slot.name->setGeometry(5, 5, 270, 28);
        ui::FocusHighlight::install(slot.name, kSlotFill, kSlotFill);
        slot.name->installEventFilter(this);

        slot.import = new ui::PictureButton(QStringLiteral("importa"), QSize(22, 22), slot.box);
        slot.import->setObjectName(QStringLiteral("impIndirizzo_E") + kk);
        slot.import->move(281, 8);
        connect(slot.import, &ui::PictureButton::clicked, this, [this, k] { openImport(k); });

        for (int j = 1; j <= Lines; ++j) {
            auto *holder = new QLabel(panMemory);
            holder->setObjectName(QStringLiteral("txtRigo0%1_E%2").arg(j).arg(kk));
            holder->setTextFormat(Qt::PlainText);
            slot.lines[size_t(j - 1)] = holder;
        }

        m_hints->addHint(slot.import, QStringLiteral("Importa etichetta da archivio indirizzi."));
        m_hints->addBackground(slot.box);
        m_hints->addNeutral(slot.name);
    }
    // The slots are the last controls made, so they follow the toolbar in
    // the focus chain, one name field after the other.
    for (int k = 1; k < Slots; ++k)
        setTabOrder(m_slots[size_t(k - 1)].name, m_slots[size_t(k)].name);
}

void TfrmArchivio_Etichette::setVisible(bool visible)
{
    if (visible)
        build();
    ui::GradientWidget::setVisible(visible);
}

void TfrmArchivio_Etichette::addHints(const QList<QWidget *> &background, const QList<QWidget *> &neutral)
{
    auto *hints = new ui::StatusHints(panInfo, this);
    m_hints = hints;
    const QList<QPair<QWidget *, QString>> table{
        {cmdNuovo, QStringLiteral("Prepara la schermata per la registrazione di una nuova scheda.")},
        {cmdSalva, QStringLiteral("Salva la scheda corrente.")},
        {cmdAnteprima, QStringLiteral("Visualizza l'anteprima di stampa della pagina delle etichette.")},
        {cmdStampa, QStringLiteral("Stampa la pagina delle etichette.")},
        {cmdSchede, QStringLiteral("Stampa le etichette delle schede scelte dall'archivio degli indirizzi.")},
        {cmdPrimo, QStringLiteral("Visualizza la prima scheda in archivio.")},
        {cmdIndietro, QStringLiteral("Visualizza la scheda precedente in archivio.")},
        {cmdAvanti, QStringLiteral("Visualizza la scheda successiva in archivio.")},
        {cmdUltimo, QStringLiteral("Visualizza l'ultima scheda in archivio.")},
        {cmdGuida, QStringLiteral("Visualizza la guida in linea.")},
        {cmdEsci, QStringLiteral("Esci da questa schermata.")},
    };
    for (const auto &entry : table)
        hints->addHint(entry.first, entry.second);
    for (QWidget *widget : background)
        hints->addBackground(widget);
    for (QWidget *widget : neutral)
        hints->addNeutral(widget);
}

QFrame *TfrmArchivio_Etichette::bkgIndirizzo(int slot) const
{
    return slotControls().at(size_t(slot - 1)).box;
}

QLineEdit *TfrmArchivio_Etichette::txtNome_E(int slot) const
{
    return slotControls().at(size_t(slot - 1)).name;
}

ui::PictureButton *TfrmArchivio_Etichette::impIndirizzo_E(int slot) const
{
    return slotControls().at(size_t(slot - 1)).import;
}

QLabel *TfrmArchivio_Etichette::txtRigo_E(int slot, int line) const
{
    return slotControls().at(size_t(slot - 1)).lines.at(size_t(line - 1));
}

QString TfrmArchivio_Etichette::lineText(int slot, int line) const
{
    return txtRigo_E(slot, line)->text();
}

std::function<QString(int, int)> TfrmArchivio_Etichette::lineReader() const
{
    return [this](int slot, int line) { return lineText(slot, line); };
}

QString TfrmArchivio_Etichette::cutLineWarning()
{
    return QStringLiteral("Attenzione: un rigo dell'etichetta è troppo lungo e in stampa verrà tagliato. "
                          "Si consiglia di abbreviarlo nella scheda dell'indirizzo.");
}

void TfrmArchivio_Etichette::fillSlot(int slot, const QString &name, const QStringList &lines)
{
    QLineEdit *field = txtNome_E(slot);
    field->setText(name);
    field->setCursorPosition(0); // a long name shows its beginning
    for (int j = 1; j <= Lines; ++j)
        txtRigo_E(slot, j)->setText(j <= lines.size() ? lines.at(j - 1) : QString());
    markSlot(slot);
}

void TfrmArchivio_Etichette::markSlot(int slot)
{
    bool cut = false;
    for (int j = 1; j <= Lines && !cut; ++j)
        cut = !fitsLabelLine(txtRigo_E(slot, j)->text(), m_format, j);
    // A slot one of whose lines will be cut shows its name in dark orange,
    // and says so in its tooltip and to assistive tools.
    QLineEdit *field = txtNome_E(slot);
    ui::FocusHighlight::setTextColor(field, cut ? kCutLineColor : QColor(Qt::black));
    const QString warning = cut ? cutLineWarning() : QString();
    field->setToolTip(warning);
    field->setAccessibleDescription(warning);
}

void TfrmArchivio_Etichette::setSheetFormat(const SheetFormat &format)
{
    m_format = format;
    if (!m_built)
        return;
    for (int k = 1; k <= Slots; ++k)
        markSlot(k);
}

void TfrmArchivio_Etichette::readSheetFormat()
{
    setSheetFormat(LabelMailing::chosenFormat(m_folder, LabelFormatSettings::Use::LabelPages));
}

void TfrmArchivio_Etichette::showPage(const TPaginaEtichette &page, qint64 position)
{
    for (int k = 1; k <= Slots; ++k) {
        QStringList lines;
        for (int j = 1; j <= Lines; ++j)
            lines << page.line(k, j);
        fillSlot(k, page.name(k), lines);
    }
    lblPosizione->setText(position > 0 ? QString::number(position) : QString());
}

TPaginaEtichette TfrmArchivio_Etichette::buildPage() const
{
    TPaginaEtichette page;
    for (int k = 1; k <= Slots; ++k) {
        page.name(k) = txtNome_E(k)->text();
        for (int j = 1; j <= Lines; ++j)
            page.line(k, j) = txtRigo_E(k, j)->text();
    }
    return page;
}

int TfrmArchivio_Etichette::slotOfField(const QObject *field) const
{
    for (int k = 1; k <= Slots; ++k)
        if (txtNome_E(k) == field)
            return k;
    return 0;
}

void TfrmArchivio_Etichette::newPage()
{
    showPage(TPaginaEtichette(), 0);
    txtNome_E(1)->setFocus();
}

void TfrmArchivio_Etichette::emptySlot(int slot)
{
    fillSlot(slot, QString(), {});
}

void TfrmArchivio_Etichette::save()
{
    if (trimText(txtNome_E(1)->text()).isEmpty()) {
        ui::notice(this, ui::MessageKind::Warning,
                   QStringLiteral("Attenzione: per salvare la scheda è necessario importare la prima etichetta."));
        txtNome_E(1)->setFocus();
        return;
    }
    saveToArchive<LabelPageArchive>(this, m_folder, lblPosizione, buildPage());
}

void TfrmArchivio_Etichette::navigate(NavigationButton button)
{
    browseArchive<LabelPageArchive, TPaginaEtichette>(this, m_folder, lblPosizione, button,
                          [this](const TPaginaEtichette &record, qint64 position) { showPage(record, position); });
}

void TfrmArchivio_Etichette::first()
{
    navigate(NavigationButton::First);
}

void TfrmArchivio_Etichette::previous()
{
    navigate(NavigationButton::Previous);
}

void TfrmArchivio_Etichette::next()
{
    navigate(NavigationButton::Next);
}

void TfrmArchivio_Etichette::last()
{
    navigate(NavigationButton::Last);
}

void TfrmArchivio_Etichette::openImport(int slot)
{
    TfrmImportaIndirizzi dialog(*this);
    dialog.lblMemory->setText(slotTag(slot));
    dialog.exec();
    // The keyboard stays on the slot just filled (Delete there empties it).
    txtNome_E(slot)->setFocus(Qt::OtherFocusReason);
}

int TfrmArchivio_Etichette::focusedSlot() const
{
    for (int k = 1; k <= Slots; ++k) {
        const Slot &slot = slotControls().at(size_t(k - 1));
        if (slot.name->hasFocus() || slot.import->hasFocus())
            return k;
    }
    return 1;
}

void TfrmArchivio_Etichette::openPreview()
{
    {
        TfrmAnteprima_Etichette dialog(m_folder, lineReader(), this);
        dialog.exec();
    }
    readSheetFormat();
}

void TfrmArchivio_Etichette::openPrint()
{
    {
        TfrmStampaPagina dialog(m_folder, lineReader(), this);
        dialog.exec();
    }
    readSheetFormat();
}

void TfrmArchivio_Etichette::openMailing()
{
    qint64 card = 0;
    {
        TfrmStampaSchede dialog(m_folder, this);
        dialog.exec();
        card = dialog.cardToOpen();
    }
    if (card > 0)
        emit openAddressCard(card);
}

void TfrmArchivio_Etichette::openHelp()
{
    showHelpTopic(this, m_folder, HelpTopic::Labels);
}

bool TfrmArchivio_Etichette::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int slot = slotOfField(watched);
        if (slot > 0) {
            switch (static_cast<QKeyEvent *>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                txtNome_E(slot % Slots + 1)->setFocus();
                return true;
            case Qt::Key_Backspace:
            case Qt::Key_Delete:
                emptySlot(slot);
                return true;
            default:
                break;
            }
        }
    }
    return ui::GradientWidget::eventFilter(watched, event);
}

void TfrmArchivio_Etichette::showEvent(QShowEvent *event)
{
    ui::GradientWidget::showEvent(event);
    if (!event->spontaneous()) {
        readSheetFormat();
        newPage();
    }
}

void TfrmArchivio_Etichette::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

} // namespace tavolux
