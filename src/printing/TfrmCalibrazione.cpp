#include "printing/TfrmCalibrazione.h"

#include "printing/StepControls.h"

#include "help/ShowHelp.h"
#include "labelformats/LabelFormatSettings.h"
#include "printing/CalibrationSheet.h"
#include "printing/InfoPicture.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "ui/Messages.h"
#include "ui/Shortcuts.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

namespace {

// One tenth of a millimetre more or less, within the limit.
void step(QLineEdit *box, int tenths)
{
    box->setText(LabelCalibration::format(LabelCalibration::parse(box->text()) + tenths / 10.0));
}

} // namespace

QString TfrmCalibrazione::failureMessage()
{
    return QStringLiteral("Attenzione: non è stato possibile salvare la calibrazione in Impostazioni.ini.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
}

QString TfrmCalibrazione::instructionsText()
{
    return QStringLiteral("Stampare il foglio di prova su un foglio di etichette, misurare di quanto i riquadri "
                          "sono spostati rispetto alle etichette e inserire lo stesso valore con il segno opposto "
                          "(al massimo ±10 mm).\n"
                          "Valori positivi spostano la stampa a destra e in basso, valori negativi a sinistra "
                          "e in alto.");
}

TfrmCalibrazione::TfrmCalibrazione(const ProgramFolder &folder, QWidget *parent)
    : TfrmCalibrazione(folder, SheetFormat::standard(), parent)
{
}

TfrmCalibrazione::TfrmCalibrazione(const ProgramFolder &folder, const SheetFormat &sheet, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_folder(folder), m_sheet(sheet),
      m_calibration(folder, LabelFormatSettings::calibrationSection(sheet.id))
{
    setObjectName(QStringLiteral("TfrmCalibrazione"));
    setWindowTitle(QStringLiteral(" Calibrazione etichette"));
    setFixedSize(498, 350);
    auto *column = stepDialogColumn(this);
    imgIstruzioni = instructionsPanel(column, infoPicture(QStringLiteral("info"), instructionsText(), QSize(448, 112)),
                                      instructionsText());

    StepRow horizontal{"btnOrizzMinus", "txtOrizzontale", "btnOrizzPlus"};
    StepRow vertical{"btnVertMinus", "txtVerticale", "btnVertPlus"};
    panSpostamento = stepPairBox(QStringLiteral("Spostamento:"), "panSpostamento", QStringLiteral("Orizzontale:"),
                                 horizontal, QStringLiteral("Verticale:"), vertical, this);
    btnOrizzMinus = horizontal.minus;
    txtOrizzontale = horizontal.value;
    btnOrizzPlus = horizontal.plus;
    btnVertMinus = vertical.minus;
    txtVerticale = vertical.value;
    btnVertPlus = vertical.plus;
    column->addWidget(panSpostamento);

    btnProva = new QPushButton(QStringLiteral("Stampa foglio di prova"), this);
    btnProva->setObjectName(QStringLiteral("btnProva"));
    btnProva->setCursor(Qt::PointingHandCursor);
    btnProva->setMinimumHeight(32);
    column->addWidget(btnProva);
    column->addStretch(1);

    auto *buttons = new QHBoxLayout;
    btnAnnulla = new QPushButton(QStringLiteral("Annulla"), this);
    btnAnnulla->setObjectName(QStringLiteral("btnAnnulla"));
    btnSalva = new QPushButton(QStringLiteral("Salva"), this);
    btnSalva->setObjectName(QStringLiteral("btnSalva"));
    for (QPushButton *button : {btnAnnulla, btnSalva}) {
        button->setMinimumSize(130, 32);
        button->setCursor(Qt::PointingHandCursor);
    }
    btnSalva->setDefault(true);
    btnGuida = new QPushButton(QStringLiteral("Guida"), this);
    btnGuida->setObjectName(QStringLiteral("btnGuida"));
    btnGuida->setAutoDefault(false);
    btnGuida->setMinimumHeight(32);
    btnGuida->setCursor(Qt::PointingHandCursor);
    buttons->addWidget(btnAnnulla);
    buttons->addStretch();
    buttons->addWidget(btnGuida);
    buttons->addStretch();
    buttons->addWidget(btnSalva);
    column->addLayout(buttons);

    connect(btnOrizzMinus, &QPushButton::clicked, this, [this] { step(txtOrizzontale, -1); });
    connect(btnOrizzPlus, &QPushButton::clicked, this, [this] { step(txtOrizzontale, +1); });
    connect(btnVertMinus, &QPushButton::clicked, this, [this] { step(txtVerticale, -1); });
    connect(btnVertPlus, &QPushButton::clicked, this, [this] { step(txtVerticale, +1); });
    connect(btnProva, &QPushButton::clicked, this, &TfrmCalibrazione::printTestSheet);
    connect(btnSalva, &QPushButton::clicked, this, &TfrmCalibrazione::save);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnGuida, &QPushButton::clicked, this, [this] { showHelpTopic(this, m_folder, HelpTopic::Calibration); });
    ui::bindShortcut(this, btnGuida, QKeySequence(Qt::Key_F1));

    const LabelShift stored = m_calibration.read();
    txtOrizzontale->setText(LabelCalibration::format(stored.x));
    txtVerticale->setText(LabelCalibration::format(stored.y));
}

TfrmCalibrazione::~TfrmCalibrazione() = default;

LabelShift TfrmCalibrazione::shift() const
{
    return LabelShift{LabelCalibration::parse(txtOrizzontale->text()), LabelCalibration::parse(txtVerticale->text())};
}

void TfrmCalibrazione::printTestSheet()
{
    const std::unique_ptr<report::Report> sheet = CalibrationSheet::create(m_sheet, shift());
    sheet->PrepareReport();
    if (!report::Print(*sheet, this) && sheet->failed())
        ui::showFailure(this, sheet->errorString());
}

void TfrmCalibrazione::save()
{
    QString reason;
    if (!m_calibration.write(shift(), &reason)) {
        ui::notice(this, ui::MessageKind::Warning, ui::withReason(failureMessage(), reason));
        return;
    }
    accept();
}

} // namespace tavolux
