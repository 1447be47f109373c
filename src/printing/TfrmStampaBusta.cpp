#include "printing/TfrmStampaBusta.h"

#include "printing/StepControls.h"

#include "platform/Conventions.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeSettings.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/InfoPicture.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "report/TextBox.h"
#include "ui/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
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

// A margin beyond this many millimetres (a hand-edited file) is no margin.
constexpr double kMaxMarginMm = 1000;

// The margin in a value box, in the process's number format; none when the
// text is not a number, is not finite or is absurd.
std::optional<double> margin(const QLineEdit *box)
{
    bool ok = false;
    const double value = conventions::toNumber(trimText(box->text()), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kMaxMarginMm)
        return std::nullopt;
    return value;
}

} // namespace

QString TfrmStampaBusta::failureMessage()
{
    return QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                          "Si consiglia di controllare le impostazioni della stampante.");
}

TfrmStampaBusta::TfrmStampaBusta(const ProgramFolder &folder, LinesSource lines, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      repModulo(EnvelopeTemplate::create()),
      m_folder(folder),
      m_lines(std::move(lines))
{
    setObjectName(QStringLiteral("TfrmStampaBusta"));
    setWindowTitle(QStringLiteral(" Stampa indirizzo su busta"));
    setFixedSize(498, 470);
    auto *column = stepDialogColumn(this);
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
    // The notice shows as soon as the button goes down, before the click.
    connect(btnStampa, &QPushButton::pressed, this, [this] {
        lblAttendere->show();
        lblAttendere->repaint();
    });
    connect(btnStampa, &QPushButton::clicked, this, &TfrmStampaBusta::print);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    load();
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
    return settings.writeTop(trimText(txtTop->text()), &m_saveFailure)
           && settings.writeOrientation(checkedOrientation(), &m_saveFailure);
}

bool TfrmStampaBusta::applyLeft()
{
    EnvelopeSettings settings(m_folder);
    return settings.writeLeft(trimText(txtLeft->text()), &m_saveFailure)
           && settings.writeOrientation(checkedOrientation(), &m_saveFailure);
}

bool TfrmStampaBusta::printSteps()
{
    if (!applyTop() || !applyLeft())
        return false;
    lblAttendere->show();
    report::ReportPage &page = repModulo->page();
    page.Orientation = optVerticale->isChecked() ? report::Orientation::Portrait : report::Orientation::Landscape;
    const std::optional<double> top = margin(txtTop);
    if (!top)
        return false;
    page.TopMargin = *top;
    const std::optional<double> left = margin(txtLeft);
    if (!left)
        return false;
    page.LeftMargin = *left;
    const QStringList lines = m_lines();
    for (int line = 1; line <= EnvelopeTemplate::kLines; ++line) {
        report::TextBox *box = repModulo->text(EnvelopeTemplate::lineName(line));
        if (!box)
            return false;
        box->setText(trimText(lines.value(line - 1)));
    }
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

} // namespace tavolux
