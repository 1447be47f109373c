#include "printing/TfrmStampaBusta.h"

#include "printing/StepControls.h"

#include "help/ShowHelp.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeChoices.h"
#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeLayout.h"
#include "printing/EnvelopeSettings.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/InfoPicture.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "ui/Messages.h"
#include "ui/NamedComboBox.h"
#include "ui/Shortcuts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <optional>

namespace tavolux {

namespace {

QString settingsNotWritten()
{
    return QStringLiteral("Attenzione: non è possibile scrivere il file Impostazioni.ini.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
}

// Adds "delta" to the whole number in a value box. Text that is not a whole
// number stays as it is and goes to the general error box; at the largest or
// smallest number the box holds, a step past it leaves it there.
void step(QLineEdit *box, int delta, QWidget *parent)
{
    bool ok = false;
    const qlonglong value = trimText(box->text()).toLongLong(&ok);
    if (!ok) {
        ui::showFailure(parent, QStringLiteral("Attenzione: \"%1\" non è un numero intero valido.").arg(box->text()));
        return;
    }
    qlonglong next;
    if (__builtin_add_overflow(value, qlonglong(delta), &next))
        return;
    box->setText(QString::number(next));
}

} // namespace

QString TfrmStampaBusta::failureMessage()
{
    return QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                          "Si consiglia di controllare le impostazioni della stampante.");
}

QString TfrmStampaBusta::previewFailureMessage()
{
    return QStringLiteral("Attenzione: l'anteprima non può essere mostrata perché un margine non è un numero "
                          "valido.\n\r\n\rCorreggere il valore del margine nel file Impostazioni.ini.");
}

QString TfrmStampaBusta::settingsFailureMessage()
{
    return QStringLiteral("Attenzione: le impostazioni della busta non sono state memorizzate.");
}

TfrmStampaBusta::TfrmStampaBusta(const ProgramFolder &folder, LinesSource lines, QWidget *parent, Purpose purpose)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      repModulo(EnvelopeTemplate::create(envelopeFormats::page())),
      m_folder(folder),
      m_lines(std::move(lines)),
      m_purpose(purpose)
{
    setObjectName(QStringLiteral("TfrmStampaBusta"));
    setWindowTitle(purpose == Purpose::Settings ? QStringLiteral(" Impostazioni della busta")
                                                : QStringLiteral(" Stampa indirizzo su busta"));
    // The designed controls keep their 498 x 470 at the top; the envelope's
    // own come below them.
    panStampa = new QWidget(this);
    panStampa->setObjectName(QStringLiteral("panStampa"));
    panStampa->setFixedSize(498, 470);
    auto *column = stepDialogColumn(this, panStampa);
    const QString instructions =
        QStringLiteral("Impostare in millimetri il margine superiore e il margine sinistro per adattare la stampa "
                       "dell'indirizzo al modello di busta in uso, procedendo per tentativi: valori più grandi "
                       "spostano la stampa verso il basso e verso destra, valori più piccoli, se occorre anche "
                       "sotto lo zero, la spostano verso l'alto e verso sinistra.");
    imgIstruzioni = instructionsPanel(column, infoPicture(QStringLiteral("busta"), instructions, QSize(448, 92)),
                                      instructions);
    column->addStretch(1);

    panOrientamento = new QGroupBox(QStringLiteral("Orientamento:"), this);
    panOrientamento->setObjectName(QStringLiteral("panOrientamento"));
    auto *orientation = new QHBoxLayout(panOrientamento);
    orientation->setContentsMargins(16, 18, 16, 10);
    optVerticale = new QRadioButton(QStringLiteral("Verticale"), panOrientamento);
    optVerticale->setObjectName(QStringLiteral("optVerticale"));
    optVerticale->setChecked(true);
    optOrizzontale = new QRadioButton(QStringLiteral("Orizzontale"), panOrientamento);
    optOrizzontale->setObjectName(QStringLiteral("optOrizzontale"));
    orientation->addWidget(optVerticale);
    orientation->addSpacing(40);
    orientation->addWidget(optOrizzontale);
    orientation->addStretch();
    column->addWidget(panOrientamento);
    column->addStretch(1);

    StepRow top{"btnTopMinus", "txtTop", "btnTopPlus"};
    StepRow left{"btnLeftMinus", "txtLeft", "btnLeftPlus"};
    panMargini = stepPairBox(QStringLiteral("Margini:"), "panMargini", QStringLiteral("Margine superiore:"), top,
                             QStringLiteral("Margine sinistro:"), left, this);
    btnTopMinus = top.minus;
    txtTop = top.value;
    btnTopPlus = top.plus;
    btnLeftMinus = left.minus;
    txtLeft = left.value;
    btnLeftPlus = left.plus;
    column->addWidget(panMargini);

    lblAttendere = new QLabel(QStringLiteral("Elaborazione in corso. Attendere..."), this);
    lblAttendere->setObjectName(QStringLiteral("lblAttendere"));
    lblAttendere->setAlignment(Qt::AlignCenter);
    QFont waitFont = lblAttendere->font();
    waitFont.setItalic(true);
    waitFont.setBold(true);
    lblAttendere->setFont(waitFont);
    lblAttendere->setStyleSheet(QStringLiteral("color: #DC143C;"));
    // Keeps its place in the layout while hidden.
    QSizePolicy keep = lblAttendere->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    lblAttendere->setSizePolicy(keep);
    lblAttendere->hide();
    column->addStretch(1);
    column->addWidget(lblAttendere);

    auto *buttons = new QHBoxLayout;
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnStampa = new QPushButton(QStringLiteral("Stampa"), this);
    btnStampa->setObjectName(QStringLiteral("btnStampa"));
    for (QPushButton *button : {btnAnnulla, btnStampa}) {
        button->setMinimumSize(130, 32);
        button->setCursor(Qt::PointingHandCursor);
    }
    btnStampa->setDefault(true);
    buttons->addWidget(btnAnnulla);
    buttons->addStretch();
    buttons->addWidget(btnStampa);
    column->addLayout(buttons);

    btnApplicaTop = new QPushButton(this);
    btnApplicaTop->setObjectName(QStringLiteral("btnApplicaTop"));
    btnApplicaTop->hide();
    btnApplicaLeft = new QPushButton(this);
    btnApplicaLeft->setObjectName(QStringLiteral("btnApplicaLeft"));
    btnApplicaLeft->hide();

    auto *whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);
    whole->addWidget(panStampa);
    QWidget *added = envelopeControls();
    whole->addWidget(added);
    setFixedSize(498, 470 + added->sizeHint().height());
    // Tab follows the controls from the top down, the designed ones first.
    QList<QWidget *> order{optVerticale, optOrizzontale, btnTopMinus, txtTop, btnTopPlus, btnLeftMinus, txtLeft,
                           btnLeftPlus, btnAnnulla, btnStampa, cboFormato, txtLatoCorto, txtLatoLungo, btnAnteprima,
                           btnGuida, chkMittente};
    for (QLineEdit *line : txtMittente)
        order << line;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(btnTopMinus, &QPushButton::clicked, this, [this] { step(txtTop, -1, this); });
    connect(btnTopPlus, &QPushButton::clicked, this, [this] { step(txtTop, +1, this); });
    connect(btnLeftMinus, &QPushButton::clicked, this, [this] { step(txtLeft, -1, this); });
    connect(btnLeftPlus, &QPushButton::clicked, this, [this] { step(txtLeft, +1, this); });
    connect(btnApplicaTop, &QPushButton::clicked, this, [this] {
        if (!applyTop())
            ui::showFailure(this, settingsNotWritten());
    });
    connect(btnApplicaLeft, &QPushButton::clicked, this, [this] {
        if (!applyLeft())
            ui::showFailure(this, settingsNotWritten());
    });
    if (m_purpose == Purpose::Settings) {
        btnStampa->setText(QStringLiteral("Salva"));
        btnStampa->setToolTip(QStringLiteral("Memorizza le impostazioni con cui stampare le buste."));
        connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaBusta::save);
    } else {
        // The notice shows as soon as the button goes down, before the click.
        connect(btnStampa, &QPushButton::pressed, this, [this] {
            lblAttendere->show();
            lblAttendere->repaint();
        });
        connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaBusta::print);
    }
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnAnteprima, &QPushButton::clicked, this, &TfrmStampaBusta::preview);
    connect(btnGuida, &QPushButton::clicked, this, [this] { showHelpTopic(this, m_folder, HelpTopic::Envelopes); });
    ui::bindShortcut(this, btnGuida, QKeySequence(Qt::Key_F1));

    load();
    // The A4 page as just read; then the format chosen last, with its own values.
    m_choices = std::make_unique<EnvelopeChoices>(EnvelopeSettings(m_folder));
    EnvelopeFormatChoice &page = m_choices->choice(envelopeFormats::page().key);
    page.top = txtTop->text();
    page.left = txtLeft->text();
    page.portrait = optVerticale->isChecked();
    const auto &formats = envelopeFormats::all();
    for (int i = 0; i < formats.size(); ++i)
        if (formats.at(i).key == m_choices->format().key)
            cboFormato->setCurrentIndex(i);
    if (!m_choices->format().isPage())
        repModulo = EnvelopeTemplate::create(m_choices->format());
    showChoice();
    connect(cboFormato, qOverload<int>(&QComboBox::currentIndexChanged), this, &TfrmStampaBusta::chooseFormat);
}

QWidget *TfrmStampaBusta::envelopeControls()
{
    auto *added = new QWidget(this);
    added->setObjectName(QStringLiteral("panAggiunte"));
    auto *column = new QVBoxLayout(added);
    column->setContentsMargins(12, 0, 12, 12);
    column->setSpacing(8);
    const auto group = [added, column](const QString &title, const char *name, QGroupBox **box) {
        *box = new QGroupBox(title, added);
        (*box)->setObjectName(QLatin1String(name));
        column->addWidget(*box);
        auto *grid = new QGridLayout(*box);
        grid->setContentsMargins(16, 18, 16, 10);
        grid->setSpacing(6);
        return grid;
    };

    QGridLayout *format = group(QStringLiteral("Busta:"), "panBusta", &panBusta);
    cboFormato = new ui::NamedComboBox(panBusta);
    cboFormato->setObjectName(QStringLiteral("cboFormato"));
    cboFormato->setAccessibleName(QStringLiteral("Formato della busta"));
    cboFormato->setToolTip(QStringLiteral("Formato della busta o del foglio su cui stampare l'indirizzo."));
    for (const EnvelopeFormat &each : envelopeFormats::all())
        cboFormato->addItem(each.caption);
    const auto sideBox = [this](const char *name, const QString &accessible) {
        auto *box = new QSpinBox(panBusta);
        box->setObjectName(QLatin1String(name));
        box->setRange(envelopeFormats::kOwnMinMm, envelopeFormats::kOwnMaxMm);
        box->setSuffix(QStringLiteral(" mm"));
        box->setAccessibleName(accessible);
        if (auto *edit = box->findChild<QLineEdit *>())
            edit->setAccessibleName(accessible);
        box->setToolTip(accessible + QStringLiteral(", in millimetri."));
        return box;
    };
    txtLatoCorto = sideBox("txtLatoCorto", QStringLiteral("Lato corto della busta personalizzata"));
    txtLatoLungo = sideBox("txtLatoLungo", QStringLiteral("Lato lungo della busta personalizzata"));
    btnAnteprima = new QPushButton(QStringLiteral("Anteprima"), panBusta);
    btnAnteprima->setObjectName(QStringLiteral("btnAnteprima"));
    btnAnteprima->setToolTip(QStringLiteral("Mostra la busta così come verrà stampata."));
    btnGuida = new QPushButton(QStringLiteral("Guida"), panBusta);
    btnGuida->setObjectName(QStringLiteral("btnGuida"));
    btnGuida->setToolTip(QStringLiteral("Guida ai formati di busta, al mittente e all'anteprima."));
    for (QPushButton *button : {btnAnteprima, btnGuida}) {
        button->setAutoDefault(false);
        button->setMinimumSize(100, 28);
        button->setCursor(Qt::PointingHandCursor);
    }
    const auto label = [this](const QString &text, QWidget *buddy) {
        auto *caption = new QLabel(text, panBusta);
        caption->setBuddy(buddy);
        return caption;
    };
    format->addWidget(label(QStringLiteral("Formato:"), cboFormato), 0, 0);
    format->addWidget(cboFormato, 0, 1, 1, 3);
    format->addWidget(btnAnteprima, 0, 5);
    format->addWidget(label(QStringLiteral("Lato corto:"), txtLatoCorto), 1, 0);
    format->addWidget(txtLatoCorto, 1, 1);
    format->addWidget(label(QStringLiteral("Lato lungo:"), txtLatoLungo), 1, 2);
    format->addWidget(txtLatoLungo, 1, 3);
    format->addWidget(btnGuida, 1, 5);
    format->setColumnStretch(4, 1);

    QGridLayout *sender = group(QStringLiteral("Mittente:"), "panMittente", &panMittente);
    chkMittente = new QCheckBox(QStringLiteral("Stampa il mittente in alto a sinistra"), panMittente);
    chkMittente->setObjectName(QStringLiteral("chkMittente"));
    chkMittente->setToolTip(QStringLiteral("Stampa le righe del mittente a 10 mm dal bordo superiore e dal bordo "
                                           "sinistro."));
    sender->addWidget(chkMittente, 0, 0, 1, 2);
    for (int line = 1; line <= EnvelopeTemplate::kSenderLines; ++line) {
        auto *edit = new QLineEdit(panMittente);
        edit->setObjectName(EnvelopeTemplate::senderLineName(line));
        edit->setMaxLength(250);
        const QString name = QStringLiteral("Mittente (rigo %1)").arg(line);
        edit->setAccessibleName(name);
        edit->setPlaceholderText(name);
        sender->addWidget(edit, 1 + (line - 1) / 2, (line - 1) % 2);
        txtMittente[line - 1] = edit;
    }
    return added;
}

void TfrmStampaBusta::keepShown()
{
    EnvelopeFormatChoice &choice = m_choices->current();
    choice.top = txtTop->text();
    choice.left = txtLeft->text();
    choice.portrait = optVerticale->isChecked();
    choice.sender = chkMittente->isChecked();
    if (m_choices->format().kind == EnvelopeFormat::Kind::Own) {
        choice.shortSide = txtLatoCorto->value();
        choice.longSide = txtLatoLungo->value();
    }
    for (int line = 0; line < EnvelopeTemplate::kSenderLines; ++line)
        m_choices->sender[line] = txtMittente[line]->text();
}

void TfrmStampaBusta::showChoice()
{
    const EnvelopeFormatChoice &choice = m_choices->current();
    txtTop->setText(choice.top);
    txtLeft->setText(choice.left);
    optVerticale->setChecked(choice.portrait);
    optOrizzontale->setChecked(!choice.portrait);
    chkMittente->setChecked(choice.sender);
    const EnvelopeFormat size = m_choices->effectiveFormat();
    const bool own = size.kind == EnvelopeFormat::Kind::Own;
    txtLatoCorto->setValue(int(size.sizeMm.width()));
    txtLatoLungo->setValue(int(size.sizeMm.height()));
    txtLatoCorto->setEnabled(own);
    txtLatoLungo->setEnabled(own);
    for (int line = 0; line < EnvelopeTemplate::kSenderLines; ++line)
        txtMittente[line]->setText(m_choices->sender.value(line));
}

void TfrmStampaBusta::chooseFormat(int index)
{
    const EnvelopeFormat &next = envelopeFormats::all().value(index, envelopeFormats::page());
    if (next.key != m_choices->format().key) {
        keepShown();
        m_choices->setFormat(next);
        repModulo = EnvelopeTemplate::create(next);
    }
    showChoice();
}

TfrmStampaBusta::~TfrmStampaBusta() = default;

void TfrmStampaBusta::load()
{
    const EnvelopeSettings settings(m_folder);
    txtTop->setText(settings.top());
    txtLeft->setText(settings.left());
    const QString orientation = trimText(settings.orientation());
    if (orientation == EnvelopeSettings::portrait()) {
        optVerticale->setChecked(true);
        optOrizzontale->setChecked(false);
    }
    if (orientation == EnvelopeSettings::landscape()) {
        optVerticale->setChecked(false);
        optOrizzontale->setChecked(true);
    }
    if (trimText(txtTop->text()).isEmpty())
        txtTop->setText(QStringLiteral("0"));
    if (trimText(txtLeft->text()).isEmpty())
        txtLeft->setText(QStringLiteral("0"));
}

QString TfrmStampaBusta::checkedOrientation() const
{
    return optVerticale->isChecked() ? EnvelopeSettings::portrait() : EnvelopeSettings::landscape();
}

bool TfrmStampaBusta::applyTop()
{
    EnvelopeSettings settings(m_folder);
    keepShown();
    if (!m_choices->format().isPage())
        return m_choices->saveTop(settings, &m_saveFailure);
    return settings.writeTop(trimText(txtTop->text()), &m_saveFailure)
           && settings.writeOrientation(checkedOrientation(), &m_saveFailure);
}

bool TfrmStampaBusta::applyLeft()
{
    EnvelopeSettings settings(m_folder);
    keepShown();
    if (!m_choices->format().isPage())
        return m_choices->saveLeft(settings, &m_saveFailure);
    return settings.writeLeft(trimText(txtLeft->text()), &m_saveFailure)
           && settings.writeOrientation(checkedOrientation(), &m_saveFailure);
}

bool TfrmStampaBusta::fill()
{
    keepShown();
    const std::optional<EnvelopePlacement> placement = m_choices->placement();
    return placement
           && fillEnvelope(*repModulo, m_choices->effectiveFormat(), *placement, m_choices->senderToPrint(), m_lines());
}

bool TfrmStampaBusta::saveSteps()
{
    if (!applyTop() || !applyLeft())
        return false;
    EnvelopeSettings settings(m_folder);
    return m_choices->saveRest(settings, &m_saveFailure);
}

bool TfrmStampaBusta::printSteps()
{
    if (!saveSteps())
        return false;
    lblAttendere->show();
    if (!fill())
        return false;
    repModulo->PrepareReport();
    report::Print(*repModulo, this);
    return !repModulo->failed();
}

void TfrmStampaBusta::print()
{
    m_saveFailure.clear();
    // A settings file that cannot be written says why after the message.
    if (!printSteps())
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(failureMessage(), m_saveFailure));
    lblAttendere->hide();
    accept();
}

void TfrmStampaBusta::save()
{
    m_saveFailure.clear();
    if (!saveSteps()) {
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(settingsFailureMessage(), m_saveFailure));
        return;
    }
    accept();
}

void TfrmStampaBusta::preview()
{
    if (!fill()) {
        ui::notice(this, ui::MessageKind::Warning, previewFailureMessage());
        return;
    }
    repModulo->PrepareReport();
    // Printing is the dialog's, with its settings saved.
    const report::Report::PreviewButtons designed = repModulo->previewButtons();
    repModulo->setPreviewButtons(report::Report::PreviewZoom | report::Report::PreviewFullScreen
                                 | report::Report::PreviewClose);
    report::ShowReport(*repModulo, this);
    repModulo->setPreviewButtons(designed);
}

} // namespace tavolux
