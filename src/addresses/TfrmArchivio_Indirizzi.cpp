#include "addresses/TfrmArchivio_Indirizzi.h"

#include "addresses/TfrmTrovaIndirizzi.h"
#include "addresses/TfrmAllegaCartella.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "help/ShowHelp.h"
#include "platform/TextUtil.h"
#include "addresses/LineFitFormats.h"
#include "addresses/LineFitMarker.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmStampaBusta.h"
#include "storage/AddressArchive.h"
#include "archivewindow/Navigation.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tavolux {

namespace {

const QString kReady = QStringLiteral("Pronto per archiviare una nuova scheda...");

QFrame *whiteBox(QWidget *parent, const char *name)
{
    auto *box = new QFrame(parent);
    box->setObjectName(QLatin1String(name));
    box->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#") + QLatin1String(name), 6));
    return box;
}

QLineEdit *editField(QWidget *parent, const char *name, const QColor &rest)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    QFont font(ui::kTextFace, 12);
    font.setBold(true);
    field->setFont(font);
    field->setMaxLength(250);
    ui::FocusHighlight::install(field, rest);
    return field;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font(ui::kTextFace, 10);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #1f3f80;"));
    return label;
}

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: %1;").arg(ui::kPanelBorder));
    return line;
}

QLabel *hiddenHolder(QWidget *parent, const char *name)
{
    auto *holder = new QLabel(parent);
    holder->setObjectName(QLatin1String(name));
    holder->hide();
    return holder;
}

} // namespace

TfrmArchivio_Indirizzi::TfrmArchivio_Indirizzi(const ProgramFolder &folder, QWidget *parent)
    : ui::GradientWidget(ui::colors::MidBlue, parent), m_folder(folder), m_fitFormats(new LineFitFormats(this))
{
    setObjectName(QStringLiteral("TfrmArchivio_Indirizzi"));
    setWindowTitle(QStringLiteral(" Tavolux - Archivio Indirizzi"));
}

void TfrmArchivio_Indirizzi::buildFor(QWidget *window)
{
    static_cast<TfrmArchivio_Indirizzi *>(window)->build();
}

void TfrmArchivio_Indirizzi::setVisible(bool visible)
{
    if (visible)
        build();
    ui::GradientWidget::setVisible(visible);
}

void TfrmArchivio_Indirizzi::build()
{
    // Made at first use: the window is created at start-up but shown later.
    if (m_built)
        return;
    m_built = true;
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panPrincipale"));
    panel->setFixedWidth(980);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    // Toolbar: groups of white boxes.
    QList<QWidget *> background{this, panel};
    auto *toolbar = new QHBoxLayout;
    toolbar->setSpacing(8);
    auto addGroup = [&](const char *name, const QList<QWidget *> &items, QHBoxLayout *into) {
        auto *box = whiteBox(panel, name);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(8, 6, 8, 6);
        row->setSpacing(6);
        for (QWidget *item : items) {
            item->setParent(box);
            row->addWidget(item, 0, Qt::AlignVCenter);
        }
        into->addWidget(box);
        background << box;
    };
    auto icon = [](const char *art, const char *name) {
        auto *button = new ui::PictureButton(QLatin1String(art), QSize(40, 40));
        button->setObjectName(QLatin1String(name));
        return button;
    };
    cmdNuovo = icon("nuovo", "cmdNuovo");
    cmdDuplica = icon("duplica", "cmdDuplica");
    cmdSalva = icon("salva", "cmdSalva");
    cmdTrova = icon("trova", "cmdTrova");
    cmdFile = new ui::PictureButton(QSize(104, 40), [] { return ui::buttonArt(QStringLiteral("Allega file"), QSize(104, 40)); });
    cmdFile->setObjectName(QStringLiteral("cmdFile"));
    cmdStampa = new ui::PictureButton(QSize(84, 40), [] { return ui::buttonArt(QStringLiteral("Stampa"), QSize(84, 40)); });
    cmdStampa->setObjectName(QStringLiteral("cmdStampa"));
    cmdPrimo = icon("primo", "cmdPrimo");
    cmdIndietro = icon("indietro", "cmdIndietro");
    lblPosizione = new QLabel;
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setMinimumWidth(64);
    QFont positionFont(ui::kTextFace, 12);
    positionFont.setBold(true);
    lblPosizione->setFont(positionFont);
    cmdAvanti = icon("avanti", "cmdAvanti");
    cmdUltimo = icon("ultimo", "cmdUltimo");
    cmdEsporta = icon("esporta", "cmdEsporta");
    cmdAnteprima = icon("anteprima", "cmdAnteprima");
    cmdImporta = new ui::PictureButton(QSize(84, 40), [] { return ui::buttonArt(QStringLiteral("Importa"), QSize(84, 40)); });
    cmdImporta->setObjectName(QStringLiteral("cmdImporta"));
    cmdGuida = icon("guida", "cmdGuida");
    cmdEsci = icon("esci", "cmdEsci");
    addGroup("boxArchivio", {cmdNuovo, cmdDuplica, cmdSalva, cmdTrova}, toolbar);
    addGroup("boxAllega", {cmdFile}, toolbar);
    addGroup("boxStampa", {cmdStampa}, toolbar);
    addGroup("boxNavigazione", {cmdPrimo, cmdIndietro, lblPosizione, cmdAvanti, cmdUltimo}, toolbar);
    addGroup("boxStrumenti", {cmdEsporta, cmdAnteprima}, toolbar);
    // The import box stands above the toolbar's right end, so that the
    // window keeps the toolbar's width and fits a 1024-pixel screen; Tab
    // reaches it before help and exit, as when it stood in the toolbar.
    auto *extras = new QHBoxLayout;
    extras->addStretch(1);
    addGroup("boxImporta", {cmdImporta}, extras);
    addGroup("boxUscita", {cmdGuida, cmdEsci}, toolbar);
    column->addLayout(extras);
    column->addLayout(toolbar);
    // The panel widens to the toolbar when the window is polished, before it is
    // first laid out: measuring the styled boxes earlier would load their
    // fonts and styles while the window is still hidden.
    m_panel = panel;
    m_toolbar = toolbar;

    // Body: name and type, the envelope with the six lines, the note.
    auto *body = whiteBox(panel, "panCorpo");
    background << body;
    auto *bodyColumn = new QVBoxLayout(body);
    bodyColumn->setContentsMargins(20, 14, 20, 16);
    bodyColumn->setSpacing(8);
    txtNome = editField(body, "txtNome", ui::colors::AliceBlue);
    txtTipo = editField(body, "txtTipo", ui::colors::AliceBlue);
    auto *nameRow = new QGridLayout;
    nameRow->setHorizontalSpacing(20);
    nameRow->addWidget(caption(QStringLiteral("Nome etichetta:"), body), 0, 0);
    nameRow->addWidget(caption(QStringLiteral("Tipo:"), body), 0, 1);
    nameRow->addWidget(txtNome, 1, 0);
    nameRow->addWidget(txtTipo, 1, 1);
    nameRow->setColumnStretch(0, 3);
    nameRow->setColumnStretch(1, 2);
    bodyColumn->addLayout(nameRow);
    auto *separator1 = separator(body);
    bodyColumn->addWidget(separator1);

    auto *envelope = new QLabel(body);
    envelope->setObjectName(QStringLiteral("imgBusta"));
    envelope->setFixedSize(936, 330);
    ui::describePicture(envelope, QStringLiteral("Busta da lettera"));
    ui::setPictureWhenShown(envelope, envelope->size(),
                            [size = envelope->size()] { return ui::art(QStringLiteral("sfondo_busta"), size); });
    auto *recipient = new QVBoxLayout(envelope);
    recipient->setContentsMargins(400, 120, 40, 20);
    recipient->setSpacing(4);
    QList<ui::OnDemand<QLineEdit> *> lines{&txtRigo01, &txtRigo02, &txtRigo03, &txtRigo04, &txtRigo05, &txtRigo06};
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray name = "txtRigo0" + QByteArray::number(i + 1);
        *lines[i] = editField(envelope, name.constData(), ui::colors::White);
        recipient->addWidget(*lines[i]);
    }
    bodyColumn->addWidget(envelope, 0, Qt::AlignHCenter);
    auto *separator2 = separator(body);
    bodyColumn->addWidget(separator2);
    txtNote = editField(body, "txtNote", ui::colors::AliceBlue);
    bodyColumn->addWidget(caption(QStringLiteral("Note:"), body));
    bodyColumn->addWidget(txtNote);
    background << envelope << separator1 << separator2;
    column->addWidget(body);

    // Status bar.
    auto *status = new QFrame(panel);
    status->setObjectName(QStringLiteral("panStato"));
    status->setStyleSheet(QStringLiteral("QFrame#panStato { background: #3030DD; border-radius: 4px; }"));
    auto *statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(10, 4, 10, 4);
    panInfo = new QLabel(kReady, status);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFont(QFont(QStringLiteral("Arial"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    statusRow->addWidget(panInfo);
    column->addWidget(status);
    // The six address lines.
    const QList<QLineEdit *> lineFields = editFields().mid(2, 6);
    for (int l = 0; l < lineFields.size(); ++l)
        LineFitMarker::install(lineFields.at(l), panInfo, l + 1, m_fitFormats);

    lblFile01 = hiddenHolder(panel, "lblFile01");
    lblFile02 = hiddenHolder(panel, "lblFile02");
    lblFile03 = hiddenHolder(panel, "lblFile03");
    lblDesc01 = hiddenHolder(panel, "lblDesc01");
    lblDesc02 = hiddenHolder(panel, "lblDesc02");
    lblDesc03 = hiddenHolder(panel, "lblDesc03");

    auto *outer = new QGridLayout(this);
    outer->addWidget(panel, 0, 0, Qt::AlignCenter);

    // Tab order and the Enter ring.
    const QList<QLineEdit *> ring = editFields();
    for (int i = 0; i < ring.size(); ++i) {
        QLineEdit *nextField = ring.at((i + 1) % ring.size());
        if (i + 1 < ring.size())
            setTabOrder(ring.at(i), nextField);
        connect(ring.at(i), &QLineEdit::returnPressed, nextField, [nextField] { nextField->setFocus(); });
    }

    auto *hints = new ui::StatusHints(panInfo, this);
    const QList<QPair<QWidget *, QString>> hintTable{
        {cmdNuovo, QStringLiteral("Prepara la schermata per la registrazione di una nuova scheda.")},
        {cmdDuplica, QStringLiteral("Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti.")},
        {cmdSalva, QStringLiteral("Salva la scheda corrente.")},
        {cmdTrova, QStringLiteral("Trova schede in archivio.")},
        {cmdFile, QStringLiteral("Allega file alla scheda corrente.")},
        {cmdStampa, QStringLiteral("Stampa indirizzo su busta da lettera.")},
        {cmdPrimo, QStringLiteral("Visualizza la prima scheda in archivio.")},
        {cmdIndietro, QStringLiteral("Visualizza la scheda precedente in archivio.")},
        {cmdAvanti, QStringLiteral("Visualizza la scheda successiva in archivio.")},
        {cmdUltimo, QStringLiteral("Visualizza l'ultima scheda in archivio.")},
        {cmdEsporta, QStringLiteral("Esporta l'archivio in un file di Excel.")},
        {cmdAnteprima, QStringLiteral("Visualizza l'anteprima di stampa dell'etichetta corrente.")},
        {cmdImporta, QStringLiteral("Importa schede da un file CSV o vCard.")},
        {cmdGuida, QStringLiteral("Visualizza la guida in linea.")},
        {cmdEsci, QStringLiteral("Esci da questa schermata.")},
    };
    for (const auto &entry : hintTable)
        hints->addHint(entry.first, entry.second);
    // Keys of this window's own buttons. Ctrl+D and Ctrl+E delete a character
    // and go to the end of the line in the edit fields of X11 desktops, so
    // duplicate and export take Ctrl+Shift+D and Ctrl+Shift+E.
    ui::bindShortcut(this, cmdDuplica, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    ui::bindShortcut(this, cmdTrova, QKeySequence(Qt::CTRL | Qt::Key_F));
    ui::bindShortcut(this, cmdStampa, QKeySequence(Qt::CTRL | Qt::Key_P));
    ui::bindShortcut(this, cmdEsporta, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    ui::bindShortcut(this, cmdImporta, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    for (QWidget *widget : background)
        hints->addBackground(widget);
    for (QLineEdit *field : editFields())
        hints->addNeutral(field);
    for (QLabel *label : findChildren<QLabel *>())
        if (!qobject_cast<ui::PictureButton *>(label) && label != envelope)
            hints->addNeutral(label);

    wireArchiveToolbar(this, {cmdNuovo, cmdSalva, cmdPrimo, cmdIndietro, cmdAvanti, cmdUltimo, cmdGuida, cmdEsci,
                              [this] { newCard(); }, [this] { save(); },
                              [this](NavigationButton button) { navigate(button); }, [this] { showHelpTopic(this, m_folder, HelpTopic::Addresses); }});
    connect(cmdDuplica, &ui::PictureButton::clicked, this, &TfrmArchivio_Indirizzi::duplicate);
    connect(cmdFile, &ui::PictureButton::clicked, this, [this] { TfrmAllegaCartella::run(*this); });
    connect(cmdEsporta, &ui::PictureButton::clicked, this, [this] {
        TfrmExpIndirizzi dialog(m_folder, this);
        dialog.exec();
    });
    connect(cmdTrova, &ui::PictureButton::clicked, this, &TfrmArchivio_Indirizzi::openFind);
    connect(cmdImporta, &ui::PictureButton::clicked, this, &TfrmArchivio_Indirizzi::openImport);

    // The printing dialogs read the six lines as shown, at the moment they print.
    connect(cmdStampa, &ui::PictureButton::clicked, this, [this] {
        TfrmStampaBusta dialog(m_folder, [this] { return shownLines(); }, this);
        dialog.exec();
    });
    connect(cmdAnteprima, &ui::PictureButton::clicked, this, [this] {
        {
            TfrmAnteprima_Etichetta dialog(m_folder, [this] { return shownLines(); }, this);
            dialog.exec();
        }
        setSheetFormats(LineFitFormats::chosen(m_folder));
    });
}

QList<QLineEdit *> TfrmArchivio_Indirizzi::editFields() const
{
    return {txtNome, txtTipo, txtRigo01, txtRigo02, txtRigo03, txtRigo04, txtRigo05, txtRigo06, txtNote};
}

QList<QLabel *> TfrmArchivio_Indirizzi::hiddenHolders() const
{
    return {lblFile01, lblFile02, lblFile03, lblDesc01, lblDesc02, lblDesc03};
}

void TfrmArchivio_Indirizzi::showCard(const TSchedaIndirizzo &card, qint64 position)
{
    const QList<QLineEdit *> fields = editFields();
    for (int i = 0; i < fields.size(); ++i)
        fields.at(i)->setText(card[i]); // Nome .. Note are fields 0..8
    const QList<QLabel *> holders = hiddenHolders();
    for (int i = 0; i < holders.size(); ++i)
        holders.at(i)->setText(card[TSchedaIndirizzo::File01 + i]);
    lblPosizione->setText(position > 0 ? QString::number(position) : QString());
}

void TfrmArchivio_Indirizzi::openCard(qint64 position)
{
    TSchedaIndirizzo card;
    bool read = false;
    archivewindow::guardedArchiveAction(this, [&] {
        AddressArchive archive(m_folder);
        read = archive.open() && position >= 1 && position <= archive.count() && archive.read(position, card);
        return read;
    });
    if (!read)
        return;
    showCard(card, position);
    txtNome->setFocus(Qt::OtherFocusReason);
}

TSchedaIndirizzo TfrmArchivio_Indirizzi::buildCard() const
{
    TSchedaIndirizzo card;
    const QList<QLineEdit *> fields = editFields();
    for (int i = 0; i < fields.size(); ++i)
        card[i] = fields.at(i)->text();
    const QList<QLabel *> holders = hiddenHolders();
    for (int i = 0; i < holders.size(); ++i)
        card[TSchedaIndirizzo::File01 + i] = holders.at(i)->text();
    return card;
}

QStringList TfrmArchivio_Indirizzi::shownLines() const
{
    return {txtRigo01->text(), txtRigo02->text(), txtRigo03->text(),
            txtRigo04->text(), txtRigo05->text(), txtRigo06->text()};
}

void TfrmArchivio_Indirizzi::info(const QString &text)
{
    ui::notice(this, ui::MessageKind::Information, text);
}

void TfrmArchivio_Indirizzi::warning(const QString &text)
{
    ui::notice(this, ui::MessageKind::Warning, text);
}

void TfrmArchivio_Indirizzi::newCard()
{
    for (QLineEdit *field : editFields())
        field->clear();
    for (QLabel *holder : hiddenHolders())
        holder->clear();
    lblPosizione->clear();
    txtNome->setFocus();
}

void TfrmArchivio_Indirizzi::duplicate()
{
    if (trimText(lblPosizione->text()).isEmpty()) {
        warning(QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata inserita in archivio."));
        return;
    }
    for (QLabel *holder : hiddenHolders())
        holder->clear();
    lblPosizione->clear();
    bool opened = false;
    archivewindow::guardedArchiveAction(this, [&] {
        AddressArchive archive(m_folder);
        if (!archive.open())
            return false;
        txtNome->setFocus();
        opened = true;
        return true;
    });
    if (opened)
        info(QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                            "Al termine premere Salva per inserire la scheda in archivio."));
}

void TfrmArchivio_Indirizzi::save()
{
    if (trimText(txtNome->text()).isEmpty()) {
        warning(QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome dell'etichetta."));
        txtNome->setFocus();
        return;
    }
    saveToArchive<AddressArchive>(this, m_folder, lblPosizione, buildCard());
}

void TfrmArchivio_Indirizzi::navigate(NavigationButton button)
{
    browseArchive<AddressArchive, TSchedaIndirizzo>(this, m_folder, lblPosizione, button,
                          [this](const TSchedaIndirizzo &record, qint64 position) { showCard(record, position); });
}

void TfrmArchivio_Indirizzi::first()
{
    navigate(NavigationButton::First);
}

void TfrmArchivio_Indirizzi::last()
{
    navigate(NavigationButton::Last);
}

void TfrmArchivio_Indirizzi::next()
{
    navigate(NavigationButton::Next);
}

void TfrmArchivio_Indirizzi::previous()
{
    navigate(NavigationButton::Previous);
}

void TfrmArchivio_Indirizzi::openFind()
{
    TfrmTrovaIndirizzi dialog(*this);
    // After a recall the keyboard is on the recalled card's name.
    if (dialog.exec() == QDialog::Accepted)
        txtNome->setFocus(Qt::OtherFocusReason);
}

void TfrmArchivio_Indirizzi::openImport()
{
    TfrmImportaSchede dialog(*this);
    if (dialog.exec() == QDialog::Accepted)
        txtNome->setFocus(Qt::OtherFocusReason);
}

bool TfrmArchivio_Indirizzi::event(QEvent *event)
{
    const bool handled = ui::GradientWidget::event(event);
    if (event->type() == QEvent::Polish) {
        build();
        fitPanelToToolbar();
    }
    return handled;
}

void TfrmArchivio_Indirizzi::fitPanelToToolbar()
{
    // As wide as the body, or as the toolbar where that needs more: no box is squeezed.
    for (int i = 0; i < m_toolbar->count(); ++i)
        if (QWidget *box = m_toolbar->itemAt(i)->widget())
            box->ensurePolished();
    m_panel->setFixedWidth(qMax(m_panel->width(), m_toolbar->minimumSize().width()));
}

void TfrmArchivio_Indirizzi::setSheetFormats(const QList<SheetFormat> &labels)
{
    m_fitFormats->setLabels(labels);
}

void TfrmArchivio_Indirizzi::showEvent(QShowEvent *event)
{
    ui::GradientWidget::showEvent(event);
    if (!event->spontaneous()) {
        setSheetFormats(LineFitFormats::chosen(m_folder));
        newCard();
    }
}

void TfrmArchivio_Indirizzi::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

} // namespace tavolux
