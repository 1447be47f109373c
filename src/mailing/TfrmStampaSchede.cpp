#include "mailing/TfrmStampaSchede.h"

#include "archivewindow/ArchiveNotices.h"
#include "help/ShowHelp.h"
#include "mailing/CutCardsModel.h"
#include "mailing/MailingListModel.h"
#include "mailing/MailingPages.h"
#include "mailing/MailingSettings.h"
#include "platform/Conventions.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeChoices.h"
#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeMailing.h"
#include "printing/EnvelopeSettings.h"
#include "printing/InfoPicture.h"
#include "printing/LabelMailing.h"
#include "printing/LineFit.h"
#include "printing/MailingLayout.h"
#include "labelformats/LabelFormatSettings.h"
#include "printing/SheetFormat.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmFormatoEtichette.h"
#include "storage/TPaginaEtichette.h"
#include "ui/Art.h"
#include "ui/GradientWidget.h"
#include "ui/Look.h"
#include "ui/Messages.h"
#include "ui/Shortcuts.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tavolux {

namespace {

using mailing::Choice;

QString thousands(qint64 n)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(n);
}

// Enter in the text field and on the lists never reaches a button.
class EnterKeys : public QObject
{
public:
    EnterKeys(QObject *parent, std::function<bool(QObject *)> onEnter) : QObject(parent), m_onEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                return m_onEnter(watched);
        }
        return false;
    }

private:
    std::function<bool(QObject *)> m_onEnter;
};

QGroupBox *group(const QString &title, const char *name, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QRadioButton *option(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QPushButton *button(const QString &text, const char *name, QWidget *parent, int width = 110)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumSize(width, 30);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QListView *cardView(const char *name, QWidget *parent)
{
    auto *view = new QListView(parent);
    view->setObjectName(QLatin1String(name));
    view->setUniformItemSizes(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    return view;
}

// A spin box and its inner field carry the same name for assistive tools.
void nameSpin(QSpinBox *spin, const QString &name)
{
    spin->setAccessibleName(name);
    if (auto *field = spin->findChild<QLineEdit *>())
        field->setAccessibleName(name);
}

} // namespace

QString TfrmStampaSchede::instructionsText()
{
    return QStringLiteral("Scegliere le schede e l'ordine di stampa, indicare le copie e l'etichetta del primo "
                          "foglio da cui iniziare, poi premere Anteprima o Stampa. Le schede con righi troppo lunghi "
                          "per l'etichetta sono segnate in arancione.");
}

QString TfrmStampaSchede::envelopeInstructionsText()
{
    return QStringLiteral("Scegliere le schede e l'ordine di stampa, poi premere Anteprima o Stampa: ogni scheda "
                          "viene stampata su una busta, con le impostazioni della busta. Le schede con righi troppo "
                          "lunghi per la busta sono segnate in arancione.");
}

QString TfrmStampaSchede::envelopeMarginMessage()
{
    return QStringLiteral("Attenzione: le buste non possono essere stampate perché un margine non è un numero "
                          "valido.\r\n\r\nCorreggere il margine con il pulsante Impostazioni busta.");
}

QString TfrmStampaSchede::nothingChosenMessage()
{
    return QStringLiteral("Attenzione: non è stata scelta nessuna scheda con righi da stampare.\r\n\r\n"
                          "Scegliere le schede da stampare.");
}

QString TfrmStampaSchede::keepQuestion(qint64 pages)
{
    const QString where = pages == 1 ? QStringLiteral("in una pagina da 24 etichette")
                                     : QStringLiteral("in %1 pagine da 24 etichette").arg(thousands(pages));
    return QStringLiteral("Le etichette stampate possono essere conservate nell'archivio delle etichette %1, "
                          "per stamparle di nuovo o correggerle.\r\n\r\nSi vuole conservarle adesso?")
        .arg(where);
}

QString TfrmStampaSchede::keptMessage(qint64 first, qint64 pages)
{
    if (pages == 1)
        return QStringLiteral("Le etichette sono state inserite in archivio nella pagina %1.").arg(thousands(first));
    return QStringLiteral("Le etichette sono state inserite in archivio nelle pagine da %1 a %2.")
        .arg(thousands(first), thousands(first + pages - 1));
}

QString TfrmStampaSchede::envelopeSummaryText(qint64 cards)
{
    return QStringLiteral("Schede scelte: %1 – buste: %1").arg(thousands(cards));
}

QString TfrmStampaSchede::summaryText(qint64 cards, qint64 labels, int sheets)
{
    return QStringLiteral("Schede scelte: %1 – etichette: %2 – fogli: %3")
        .arg(thousands(cards), thousands(labels), thousands(sheets));
}

TfrmStampaSchede::TfrmStampaSchede(const ProgramFolder &folder, QWidget *parent, const QString &findText)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_folder(folder), m_findText(findText),
      m_mailing(std::make_unique<LabelMailing>(
          LabelMailing::chosenFormat(folder, LabelFormatSettings::Use::Mailing), title(), &m_folder)),
      m_envelopes(std::make_unique<EnvelopeMailing>(envelopeTitle()))
{
    conventions::apply();
    setObjectName(QStringLiteral("TfrmStampaSchede"));
    setWindowTitle(caption());
    setFixedSize(980, 680);
    setModal(true);

    auto *background = new ui::GradientWidget(ui::colors::SteelBlue, this);
    background->setObjectName(QStringLiteral("panSfondo"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);
    auto *column = new QVBoxLayout(background);
    column->setContentsMargins(16, 10, 16, 12);
    column->setSpacing(8);
    background->setStyleSheet(
        QStringLiteral("QGroupBox { background: white; border: 1px solid %1; border-radius: 6px;"
                       " margin-top: 14px; font-weight: bold; color: #1f3f80; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }")
            .arg(ui::kPanelBorder));

    auto *banner = new QLabel(background);
    banner->setObjectName(QStringLiteral("imgBanner"));
    banner->setPixmap(ui::textArt(title(), QSize(948, 40), 26, Qt::white, true));
    column->addWidget(banner);

    auto *instructions = new QFrame(background);
    instructions->setObjectName(QStringLiteral("panIstruzioni"));
    instructions->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panIstruzioni"), 6));
    auto *instructionRow = new QHBoxLayout(instructions);
    instructionRow->setContentsMargins(12, 8, 12, 8);
    imgIstruzioni = new QLabel(instructions);
    imgIstruzioni->setObjectName(QStringLiteral("imgIstruzioni"));
    imgIstruzioni->setPixmap(infoPicture(QStringLiteral("etichette"), instructionsText(), QSize(920, 40)));
    imgIstruzioni->setAccessibleDescription(instructionsText());
    instructionRow->addWidget(imgIstruzioni);
    column->addWidget(instructions);

    auto *body = new QHBoxLayout;
    body->setSpacing(12);
    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    buildChoiceColumn(background, left);
    body->addLayout(left);
    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    buildLists(background, right);
    body->addLayout(right, 1);
    column->addLayout(body, 1);

    auto *bottom = new QHBoxLayout;
    btnChiudi = button(QStringLiteral("Chiudi"), "btnChiudi", background);
    btnGuida = button(QStringLiteral("Guida"), "btnGuida", background);
    btnConserva = button(QStringLiteral("Conserva come pagine"), "btnConserva", background, 170);
    btnAnteprima = button(QStringLiteral("Anteprima"), "btnAnteprima", background);
    btnStampa = button(QStringLiteral("Stampa"), "btnStampa", background);
    bottom->addWidget(btnChiudi);
    bottom->addWidget(btnGuida);
    bottom->addStretch(1);
    bottom->addWidget(btnConserva);
    bottom->addWidget(btnAnteprima);
    bottom->addWidget(btnStampa);
    column->addLayout(bottom);

    ui::setHintTooltip(btnChiudi, QStringLiteral("Chiude la finestra senza stampare."));
    ui::setHintTooltip(btnGuida, QStringLiteral("Visualizza la guida in linea."));
    ui::setHintTooltip(btnConserva,
                       QStringLiteral("Conserva le etichette come pagine nell'archivio delle etichette."));
    ui::setHintTooltip(btnAnteprima, QStringLiteral("Visualizza l'anteprima di stampa di tutti i fogli."));
    ui::setHintTooltip(btnStampa, QStringLiteral("Stampa le etichette di tutte le schede scelte."));
    ui::bindShortcut(this, btnStampa, QKeySequence(Qt::CTRL | Qt::Key_P));
    ui::bindShortcut(this, btnAnteprima, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    ui::bindShortcut(this, btnConserva, QKeySequence(Qt::CTRL | Qt::Key_S));
    ui::bindShortcut(this, btnGuida, QKeySequence(Qt::Key_F1));

    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnGuida, &QPushButton::clicked, this, [this] { showHelpTopic(this, m_folder, HelpTopic::Mailing); });
    connect(btnConserva, &QPushButton::clicked, this, &TfrmStampaSchede::keepAsPages);
    connect(btnAnteprima, &QPushButton::clicked, this, &TfrmStampaSchede::preview);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaSchede::print);

    // The focus goes down the choices, then the lists, then the buttons.
    QWidget *chain[] = {optTutte, optTesto, txtTesto, optTipo, lstTipi, optMano, optNome, optCap, optTipoNome,
                        optArchivio, txtCopie, txtInizio, btnFormato, tabElenchi, lstSchede, btnSelezionaTutto,
                        btnNessuno, lstTagliati, optEtichette, optBuste, btnBusta, btnChiudi, btnGuida, btnConserva,
                        btnAnteprima, btnStampa};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    applySettings();
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmStampaSchede::~TfrmStampaSchede() = default;

void TfrmStampaSchede::buildChoiceColumn(QWidget *parent, QVBoxLayout *column)
{
    auto *which = group(QStringLiteral("Schede da stampare"), "grpSchede", parent);
    which->setFixedWidth(330);
    auto *whichColumn = new QVBoxLayout(which);
    whichColumn->setContentsMargins(12, 14, 12, 8);
    whichColumn->setSpacing(3);
    optTutte = option(QStringLiteral("&Tutte le schede"), "optTutte", which);
    optTesto = option(QStringLiteral("Le schede che contengono il te&sto:"), "optTesto", which);
    txtTesto = new QLineEdit(which);
    txtTesto->setObjectName(QStringLiteral("txtTesto"));
    txtTesto->setMaxLength(250);
    txtTesto->setAccessibleName(QStringLiteral("Testo contenuto nelle schede"));
    optTipo = option(QStringLiteral("Le schede dei t&ipi:"), "optTipo", which);
    lstTipi = new QListWidget(which);
    lstTipi->setObjectName(QStringLiteral("lstTipi"));
    lstTipi->setAccessibleName(QStringLiteral("Tipi di scheda"));
    lstTipi->setFixedHeight(92);
    optMano = option(QStringLiteral("Le schede spuntate nell'&elenco"), "optMano", which);
    whichColumn->addWidget(optTutte);
    whichColumn->addWidget(optTesto);
    whichColumn->addWidget(txtTesto);
    whichColumn->addWidget(optTipo);
    whichColumn->addWidget(lstTipi);
    whichColumn->addWidget(optMano);
    column->addWidget(which);

    auto *order = group(QStringLiteral("Ordine di stampa"), "grpOrdine", parent);
    order->setFixedWidth(330);
    auto *orderColumn = new QVBoxLayout(order);
    orderColumn->setContentsMargins(12, 14, 12, 8);
    orderColumn->setSpacing(3);
    optNome = option(QStringLiteral("Per &nome, come nell'elenco"), "optNome", order);
    optCap = option(QStringLiteral("Per &CAP, poi per nome (Posta Massiva)"), "optCap", order);
    optTipoNome = option(QStringLiteral("Per tipo, poi per n&ome"), "optTipoNome", order);
    optArchivio = option(QStringLiteral("Come in &archivio"), "optArchivio", order);
    for (QRadioButton *b : {optNome, optCap, optTipoNome, optArchivio})
        orderColumn->addWidget(b);
    column->addWidget(order);

    auto *labels = group(QStringLiteral("Etichette"), "grpEtichette", parent);
    grpEtichette = labels;
    labels->setFixedWidth(330);
    auto *grid = new QGridLayout(labels);
    grid->setContentsMargins(12, 14, 12, 8);
    txtCopie = new QSpinBox(labels);
    txtCopie->setObjectName(QStringLiteral("txtCopie"));
    txtCopie->setRange(1, MailingLayout::MaxCopies);
    txtInizio = new QSpinBox(labels);
    txtInizio->setObjectName(QStringLiteral("txtInizio"));
    txtInizio->setRange(1, m_mailing->format().labelsPerSheet());
    auto *copiesCaption = new QLabel(QStringLiteral("Co&pie per scheda:"), labels);
    copiesCaption->setBuddy(txtCopie);
    auto *startCaption = new QLabel(QStringLiteral("Inizia &dall'etichetta:"), labels);
    startCaption->setBuddy(txtInizio);
    nameSpin(txtCopie, QStringLiteral("Copie per scheda"));
    nameSpin(txtInizio, QStringLiteral("Inizia dall'etichetta"));
    grid->addWidget(copiesCaption, 0, 0);
    grid->addWidget(txtCopie, 0, 1);
    grid->addWidget(startCaption, 1, 0);
    grid->addWidget(txtInizio, 1, 1);
    lblFormato = new QLabel(QStringLiteral("Foglio: %1").arg(m_mailing->format().name), labels);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    btnFormato = button(QStringLiteral("Fo&rmato etichette..."), "btnFormato", labels, 170);
    ui::setHintTooltip(btnFormato, QStringLiteral("Sceglie il foglio di etichette su cui stampare."));
    connect(btnFormato, &QPushButton::clicked, this, &TfrmStampaSchede::chooseFormat);
    grid->addWidget(lblFormato, 2, 0, 1, 2);
    grid->addWidget(btnFormato, 3, 0, 1, 2);
    column->addWidget(labels);
    column->addStretch(1);

    for (QRadioButton *b : {optTutte, optTesto, optTipo, optMano}) {
        connect(b, &QRadioButton::toggled, this, [this, b](bool on) {
            if (!on || m_updating)
                return;
            // A hand-made choice starts from the cards chosen so far.
            if (b == optMano)
                m_hand = m_picked;
            update();
        });
    }
    for (QRadioButton *b : {optNome, optCap, optTipoNome, optArchivio})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_updating)
                update();
        });
    connect(txtTesto, &QLineEdit::textEdited, this, [this] {
        setWhich(Choice::Which::Text);
        update();
    });
    connect(lstTipi, &QListWidget::itemChanged, this, [this] {
        if (m_updating)
            return;
        setWhich(Choice::Which::Tipi);
        update();
    });
    connect(txtCopie, qOverload<int>(&QSpinBox::valueChanged), this, [this] { update(); });
    connect(txtInizio, qOverload<int>(&QSpinBox::valueChanged), this, [this] { update(); });
}

void TfrmStampaSchede::buildLists(QWidget *parent, QVBoxLayout *column)
{
    tabElenchi = new QTabWidget(parent);
    tabElenchi->setObjectName(QStringLiteral("tabElenchi"));

    auto *cardsPage = new QWidget(tabElenchi);
    cardsPage->setObjectName(QStringLiteral("tabSchede"));
    auto *cardsColumn = new QVBoxLayout(cardsPage);
    cardsColumn->setContentsMargins(6, 6, 6, 6);
    m_model = new MailingListModel(this);
    lstSchede = cardView("lstSchede", cardsPage);
    lstSchede->setModel(m_model);
    lstSchede->setAccessibleName(QStringLiteral("Elenco delle schede da spuntare"));
    lstSchede->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstSchede->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cardsColumn->addWidget(lstSchede, 1);
    auto *ticks = new QHBoxLayout;
    btnSelezionaTutto = button(QStringLiteral("Seleziona tutto"), "btnSelezionaTutto", cardsPage, 130);
    btnNessuno = button(QStringLiteral("Nessuno"), "btnNessuno", cardsPage);
    ui::setHintTooltip(btnSelezionaTutto, QStringLiteral("Spunta tutte le schede dell'elenco."));
    ui::setHintTooltip(btnNessuno, QStringLiteral("Toglie la spunta a tutte le schede dell'elenco."));
    ticks->addWidget(btnSelezionaTutto);
    ticks->addWidget(btnNessuno);
    auto *spaceHint = new QLabel(QStringLiteral("Barra spaziatrice: spunta la scheda o toglie la spunta."), cardsPage);
    spaceHint->setObjectName(QStringLiteral("lblSpunta"));
    spaceHint->setStyleSheet(QStringLiteral("color: #1f3f80;"));
    ticks->addSpacing(12);
    ticks->addWidget(spaceHint);
    ticks->addStretch(1);
    cardsColumn->addLayout(ticks);
    tabElenchi->addTab(cardsPage, QStringLiteral("Elenco delle schede"));

    auto *cutPage = new QWidget(tabElenchi);
    cutPage->setObjectName(QStringLiteral("tabTagliati"));
    auto *cutColumn = new QVBoxLayout(cutPage);
    cutColumn->setContentsMargins(6, 6, 6, 6);
    auto *cutHint = new QLabel(QStringLiteral("Premere Invio o fare doppio clic su una scheda per aprirla "
                                              "nell'archivio degli indirizzi e correggerne i righi."),
                               cutPage);
    cutHint->setObjectName(QStringLiteral("lblApri"));
    cutHint->setWordWrap(true);
    cutHint->setStyleSheet(QStringLiteral("color: #1f3f80;"));
    cutColumn->addWidget(cutHint);
    m_cutModel = new CutCardsModel(m_cards, m_chosen.cutCards, this);
    lstTagliati = cardView("lstTagliati", cutPage);
    lstTagliati->setModel(m_cutModel);
    lstTagliati->setAccessibleName(QStringLiteral("Schede con righi troppo lunghi"));
    cutColumn->addWidget(lstTagliati, 1);
    tabElenchi->addTab(cutPage, QString());
    column->addWidget(tabElenchi, 1);
    buildPrintOn(parent, column);

    lblRiepilogo = new QLabel(parent);
    lblRiepilogo->setObjectName(QStringLiteral("lblRiepilogo"));
    QFont bold(QStringLiteral("Verdana"), 10);
    bold.setBold(true);
    lblRiepilogo->setFont(bold);
    lblRiepilogo->setStyleSheet(QStringLiteral("color: #10255a;"));
    lblEscluse = new QLabel(parent);
    lblEscluse->setObjectName(QStringLiteral("lblEscluse"));
    lblEscluse->setStyleSheet(QStringLiteral("color: #505050;"));
    lblTagliati = new QLabel(parent);
    lblTagliati->setObjectName(QStringLiteral("lblTagliati"));
    lblTagliati->setFont(bold);
    lblTagliati->setStyleSheet(QStringLiteral("color: %1;").arg(kCutLineColor.name()));
    column->addWidget(lblRiepilogo);
    column->addWidget(lblEscluse);
    column->addWidget(lblTagliati);

    connect(m_model, &MailingListModel::tickRequested, this, &TfrmStampaSchede::tick);
    connect(btnSelezionaTutto, &QPushButton::clicked, this, &TfrmStampaSchede::selectAll);
    connect(btnNessuno, &QPushButton::clicked, this, &TfrmStampaSchede::selectNone);
    connect(lstTagliati, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openCutCard(index.row()); });
    auto *enter = new EnterKeys(this, [this](QObject *watched) {
        if (watched == txtTesto)
            lstSchede->setFocus(Qt::TabFocusReason);
        else if (watched == lstTagliati && lstTagliati->currentIndex().isValid())
            openCutCard(lstTagliati->currentIndex().row());
        return true;
    });
    for (QWidget *w : {static_cast<QWidget *>(txtTesto), static_cast<QWidget *>(lstSchede),
                       static_cast<QWidget *>(lstTagliati), static_cast<QWidget *>(lstTipi)})
        w->installEventFilter(enter);
}

void TfrmStampaSchede::buildPrintOn(QWidget *parent, QVBoxLayout *column)
{
    auto *printOn = group(QStringLiteral("Stampa su"), "grpStampaSu", parent);
    auto *grid = new QGridLayout(printOn);
    grid->setContentsMargins(12, 14, 12, 8);
    grid->setVerticalSpacing(3);
    optEtichette = option(QStringLiteral("&Fogli di etichette"), "optEtichette", printOn);
    optEtichette->setChecked(true);
    optBuste = option(QStringLiteral("&Buste, una per scheda"), "optBuste", printOn);
    btnBusta = button(QStringLiteral("I&mpostazioni busta..."), "btnBusta", printOn, 170);
    btnBusta->setMinimumHeight(26);
    btnBusta->setAutoDefault(false);
    ui::setHintTooltip(btnBusta, QStringLiteral("Sceglie il formato della busta, i margini e il mittente."));
    lblBusta = new QLabel(printOn);
    lblBusta->setObjectName(QStringLiteral("lblBusta"));
    lblBusta->setStyleSheet(QStringLiteral("color: #505050; font-weight: normal;"));
    grid->addWidget(optEtichette, 0, 0);
    grid->addWidget(optBuste, 0, 1);
    grid->addWidget(btnBusta, 0, 3);
    grid->addWidget(lblBusta, 1, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(16);
    column->addWidget(printOn);

    connect(optBuste, &QRadioButton::toggled, this, [this] { choosePrintOn(); });
    connect(btnBusta, &QPushButton::clicked, this, &TfrmStampaSchede::openEnvelopeSettings);
    showEnvelopeSettings();
}

bool TfrmStampaSchede::onEnvelopes() const
{
    return optBuste->isChecked();
}

void TfrmStampaSchede::choosePrintOn()
{
    const bool envelopes = onEnvelopes();
    // Copies and a first label are the labels' alone; so is keeping them as label pages.
    grpEtichette->setEnabled(!envelopes);
    btnConserva->setEnabled(!envelopes);
    const QString instructions = envelopes ? envelopeInstructionsText() : instructionsText();
    imgIstruzioni->setPixmap(infoPicture(envelopes ? QStringLiteral("busta") : QStringLiteral("etichette"),
                                         instructions, QSize(920, 40)));
    imgIstruzioni->setAccessibleDescription(instructions);
    ui::setHintTooltip(btnAnteprima, envelopes ? QStringLiteral("Visualizza l'anteprima di stampa di tutte le buste.")
                                               : QStringLiteral("Visualizza l'anteprima di stampa di tutti i fogli."));
    ui::setHintTooltip(btnStampa, envelopes ? QStringLiteral("Stampa le buste di tutte le schede scelte.")
                                            : QStringLiteral("Stampa le etichette di tutte le schede scelte."));
    update();
}

void TfrmStampaSchede::showEnvelopeSettings()
{
    const EnvelopeChoices stored{EnvelopeSettings(m_folder)};
    const EnvelopeFormat format = stored.effectiveFormat();
    QString shown = format.caption;
    if (format.kind == EnvelopeFormat::Kind::Own)
        shown += QStringLiteral(" (%1 × %2 mm)").arg(format.sizeMm.width()).arg(format.sizeMm.height());
    const EnvelopeFormatChoice choice = stored.choice(stored.format().key);
    shown += choice.portrait ? QStringLiteral(" – verticale") : QStringLiteral(" – orizzontale");
    if (stored.placement())
        shown += QStringLiteral(" – margini %1 e %2 mm").arg(trimText(choice.top), trimText(choice.left));
    else
        shown += QStringLiteral(" – un margine non è un numero valido");
    shown += stored.senderToPrint().join(QString()).isEmpty() ? QStringLiteral(" – senza mittente")
                                                              : QStringLiteral(" – con il mittente");
    lblBusta->setText(shown);
}

void TfrmStampaSchede::openEnvelopeSettings()
{
    // The first card chosen shows in the envelope's preview.
    QStringList lines;
    if (!m_chosen.cards.empty())
        for (int line = 1; line <= mailing::MailingCards::Lines; ++line)
            lines << m_cards.line(m_chosen.cards.front(), line);
    TfrmStampaBusta settings(m_folder, [lines] { return lines; }, this, TfrmStampaBusta::Purpose::Settings);
    settings.exec();
    showEnvelopeSettings();
}

bool TfrmStampaSchede::prepareEnvelopes()
{
    showEnvelopeSettings();
    if (!m_envelopes->setChoices(EnvelopeChoices(EnvelopeSettings(m_folder)))) {
        ui::message(this, ui::MessageKind::Warning, envelopeMarginMessage(), ui::MessageButtons::Ok);
        return false;
    }
    m_envelopes->setCards(qint64(m_chosen.cards.size()),
                          [this](qint64 card, int line) { return m_cards.line(m_chosen.cards[size_t(card)], line); });
    return true;
}

void TfrmStampaSchede::applySettings()
{
    const mailing::MailingSettings settings = mailing::MailingSettings::read(m_folder);
    m_updating = true;
    Choice::Which which = settings.choice.which;
    txtTesto->setText(settings.choice.text);
    if (!trimText(m_findText).isEmpty()) {
        which = Choice::Which::Text;
        txtTesto->setText(m_findText);
    }
    setWhich(which);
    switch (settings.choice.order) {
    case Choice::Order::Name:
        optNome->setChecked(true);
        break;
    case Choice::Order::PostalCode:
        optCap->setChecked(true);
        break;
    case Choice::Order::Tipo:
        optTipoNome->setChecked(true);
        break;
    case Choice::Order::Archive:
        optArchivio->setChecked(true);
        break;
    }
    txtCopie->setValue(settings.copies);
    m_settingsTipi = settings.choice.tipi;
    optBuste->setChecked(settings.envelopes);
    optEtichette->setChecked(!settings.envelopes);
    m_updating = false;
}

void TfrmStampaSchede::setWhich(Choice::Which which)
{
    const bool was = m_updating;
    m_updating = true;
    switch (which) {
    case Choice::Which::All:
        optTutte->setChecked(true);
        break;
    case Choice::Which::Text:
        optTesto->setChecked(true);
        break;
    case Choice::Which::Tipi:
        optTipo->setChecked(true);
        break;
    case Choice::Which::Hand:
        if (!optMano->isChecked())
            m_hand = m_picked;
        optMano->setChecked(true);
        break;
    }
    m_updating = was;
}

Choice TfrmStampaSchede::choice() const
{
    Choice c;
    if (optTesto->isChecked())
        c.which = Choice::Which::Text;
    else if (optTipo->isChecked())
        c.which = Choice::Which::Tipi;
    else if (optMano->isChecked())
        c.which = Choice::Which::Hand;
    c.text = txtTesto->text();
    for (int i = 0; i < lstTipi->count(); ++i)
        if (lstTipi->item(i)->checkState() == Qt::Checked)
            c.tipi << lstTipi->item(i)->data(Qt::UserRole).toString();
    // Before the archive is read, the types kept from last time.
    if (!m_opened)
        c.tipi = m_settingsTipi;
    if (optCap->isChecked())
        c.order = Choice::Order::PostalCode;
    else if (optTipoNome->isChecked())
        c.order = Choice::Order::Tipo;
    else if (optArchivio->isChecked())
        c.order = Choice::Order::Archive;
    return c;
}

int TfrmStampaSchede::sheets() const
{
    return MailingLayout(qint64(m_chosen.cards.size()), txtCopie->value(), txtInizio->value(),
                         m_mailing->format().labelsPerSheet())
        .sheets();
}

void TfrmStampaSchede::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Read when the window opens, not when the window manager shows it again.
    if (!m_opened)
        fill();
}

void TfrmStampaSchede::fill()
{
    mailing::MailingCards::Read read = mailing::MailingCards::read(m_folder, m_mailing->format());
    // Another copy held the archive longer than a read waits: said, with the
    // choice to read it again; Annulla leaves the cards read whole so far.
    while (read.busy && archivewindow::askRetryBusy(this))
        read = mailing::MailingCards::read(m_folder, m_mailing->format());
    m_opened = true;
    m_model->setCards(nullptr);
    m_model->setLines(std::move(read.lines));
    m_cards = std::move(read.cards);
    m_model->setCards(&m_cards);
    m_hand.assign(size_t(m_cards.size()), 0);
    fillTipi();
    update();
    if (QRadioButton *checked = optTesto->isChecked() ? optTesto
                                : optTipo->isChecked() ? optTipo
                                : optMano->isChecked() ? optMano
                                                       : optTutte)
        checked->setFocus(Qt::OtherFocusReason);
    if (!read.ok && !read.busy)
        ui::message(this, ui::MessageKind::Error, archivewindow::accessDeniedMessage(), ui::MessageButtons::Ok);
}

void TfrmStampaSchede::setSheetFormat(const SheetFormat &format)
{
    m_mailing = std::make_unique<LabelMailing>(format, title(), &m_folder);
    if (m_opened)
        m_cards.setLabelFormat(format);
    if (lblFormato)
        lblFormato->setText(QStringLiteral("Foglio: %1").arg(format.name));
    txtInizio->setRange(1, format.labelsPerSheet());
    update();
}

void TfrmStampaSchede::fillTipi()
{
    m_updating = true;
    lstTipi->clear();
    for (int t = 0; t < m_cards.tipi().size(); ++t) {
        const QString &value = m_cards.tipi().at(t);
        const QString shown = value.isEmpty() ? QStringLiteral("(senza tipo)") : value;
        auto *item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(shown, thousands(m_cards.tipoCount(t))), lstTipi);
        item->setData(Qt::UserRole, value);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(m_settingsTipi.contains(value) ? Qt::Checked : Qt::Unchecked);
    }
    m_updating = false;
}

void TfrmStampaSchede::update()
{
    if (!m_opened)
        return;
    const Choice c = choice();
    const bool envelopes = onEnvelopes();
    m_cards.setBox(envelopes ? LineBox::Envelope : LineBox::Label);
    const cardlist::CardLines &lines = m_model->lines();
    if (c.which == Choice::Which::Hand)
        m_picked = m_hand;
    else
        mailing::matching(lines, m_cards, c, m_hand, m_picked);
    mailing::inOrder(lines, m_cards, m_picked, c.order, m_chosen);
    const std::vector<int> &cut = m_chosen.cutCards;
    m_model->setTicked(&m_picked);
    static_cast<CutCardsModel *>(m_cutModel)->refresh();

    const qint64 count = qint64(m_chosen.cards.size());
    lblRiepilogo->setText(envelopes ? envelopeSummaryText(count)
                                    : summaryText(count, count * txtCopie->value(), sheets()));
    lblEscluse->setText(m_chosen.withoutLines > 0
                            ? QStringLiteral("Schede senza righi, escluse dalla stampa: %1").arg(thousands(m_chosen.withoutLines))
                            : QString());
    lblTagliati->setText(cut.empty() ? QString()
                                       : QStringLiteral("Schede con righi troppo lunghi: %1 (saranno tagliati in stampa)")
                                             .arg(thousands(qint64(cut.size()))));
    tabElenchi->setTabText(1, QStringLiteral("Righi troppo lunghi (%1)").arg(thousands(qint64(cut.size()))));
}

void TfrmStampaSchede::tick(int card, bool ticked)
{
    if (card < 0 || card >= m_cards.size())
        return;
    setWhich(Choice::Which::Hand);
    m_hand[size_t(card)] = ticked ? 1 : 0;
    update();
}

void TfrmStampaSchede::setAllTicks(bool ticked)
{
    setWhich(Choice::Which::Hand);
    m_hand.assign(size_t(m_cards.size()), ticked ? 1 : 0);
    update();
}

void TfrmStampaSchede::selectAll()
{
    setAllTicks(true);
}

void TfrmStampaSchede::selectNone()
{
    setAllTicks(false);
}

void TfrmStampaSchede::openCutCard(int row)
{
    if (row < 0 || row >= int(m_chosen.cutCards.size()))
        return;
    m_cardToOpen = m_cards.position(m_chosen.cutCards[size_t(row)]);
    accept();
}

bool TfrmStampaSchede::ensureChosen()
{
    if (!m_chosen.cards.empty())
        return true;
    ui::message(this, ui::MessageKind::Warning, nothingChosenMessage(), ui::MessageButtons::Ok);
    return false;
}

void TfrmStampaSchede::prepareMailing()
{
    m_mailing->setCards(qint64(m_chosen.cards.size()),
                        [this](qint64 card, int line) { return m_cards.line(m_chosen.cards[size_t(card)], line); });
    m_mailing->setCopies(txtCopie->value());
    m_mailing->options().setFirstLabel(txtInizio->value());
}

void TfrmStampaSchede::chooseFormat()
{
    TfrmFormatoEtichette dialog(m_folder, LabelFormatSettings::Use::Mailing, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    setSheetFormat(SheetFormat::of(LabelFormatSettings(m_folder).chosen(LabelFormatSettings::Use::Mailing)));
}

void TfrmStampaSchede::preview()
{
    if (!ensureChosen())
        return;
    if (onEnvelopes()) {
        if (prepareEnvelopes())
            m_envelopes->preview(this);
        return;
    }
    prepareMailing();
    m_mailing->preview(this);
    // The preview may have moved the first label.
    txtInizio->setValue(m_mailing->options().firstLabel());
}

void TfrmStampaSchede::print()
{
    if (!ensureChosen())
        return;
    if (onEnvelopes()) {
        if (prepareEnvelopes())
            m_envelopes->print(this);
        return;
    }
    prepareMailing();
    const bool printed = m_mailing->print(this);
    txtInizio->setValue(m_mailing->options().firstLabel());
    if (!printed)
        return;
    const qint64 pages = MailingLayout(qint64(m_chosen.cards.size()), txtCopie->value(), 1,
                                       TPaginaEtichette::Slots)
                             .sheets();
    if (ui::ask(this, keepQuestion(pages)))
        keepAsPages();
}

void TfrmStampaSchede::keepAsPages()
{
    if (!ensureChosen())
        return;
    const mailing::LabelPagesAppended appended =
        mailing::appendLabelPages(m_folder, m_cards, m_chosen.cards, txtCopie->value());
    if (appended.first < 1) {
        ui::message(this, ui::MessageKind::Error, archivewindow::accessDeniedMessage(), ui::MessageButtons::Ok);
        return;
    }
    ui::message(this, ui::MessageKind::Information, keptMessage(appended.first, appended.pages),
                ui::MessageButtons::Ok);
}

void TfrmStampaSchede::done(int result)
{
    // The choice is offered again next time; a settings file that cannot be
    // written only loses that.
    if (m_opened) {
        mailing::MailingSettings settings;
        settings.choice = choice();
        settings.copies = txtCopie->value();
        settings.envelopes = onEnvelopes();
        settings.write(m_folder);
    }
    QDialog::done(result);
}

} // namespace tavolux
