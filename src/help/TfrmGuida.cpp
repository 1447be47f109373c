#include "help/TfrmGuida.h"

#include "help/HelpArt.h"
#include "help/LinkLabel.h"
#include "platform/TMisc.h"
#include "ui/AccessibleNames.h"
#include "ui/GradientWidget.h"
#include "ui/Look.h"
#include "ui/PictureButton.h"
#include "ui/WindowPlacement.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

TfrmGuida::TfrmGuida(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmGuida"));
    setWindowTitle(QStringLiteral(" Guida all'utilizzo del software"));
    ui::makeFixedWindow(this, QSize(670, 572));

    auto *background = new ui::GradientWidget(QColor(Qt::white), this, QColor(0xBF, 0xD8, 0xEF));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);

    auto *header = new QFrame(background);
    header->setObjectName(QStringLiteral("panIntestazione"));
    header->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#panIntestazione"), 8));
    auto *headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(6, 4, 6, 4);
    imgIntestazione = new QLabel(header);
    imgIntestazione->setObjectName(QStringLiteral("imgIntestazione"));
    imgIntestazione->setPixmap(headerPicture(QStringLiteral("guida"), QStringLiteral("Guida all'utilizzo del software"),
                                             QSize(600, 56)));
    ui::describePicture(imgIntestazione, QStringLiteral("Guida all'utilizzo del software"));
    headerRow->addWidget(imgIntestazione, 0, Qt::AlignLeft);

    lblTitolo = new QLabel(QStringLiteral("Argomento della guida."), background);
    lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    QFont titleFont(QStringLiteral("Arial"), 16);
    titleFont.setBold(true);
    lblTitolo->setFont(titleFont);
    lblTitolo->setStyleSheet(QStringLiteral("color: #DC143C;"));

    txtGuida = new QPlainTextEdit(background);
    txtGuida->setObjectName(QStringLiteral("txtGuida"));
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtGuida->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont textFont(ui::kTextFace, 12);
    textFont.setBold(true);
    txtGuida->setFont(textFont);

    imgPDF = new ui::PictureButton(helpArt(QStringLiteral("pdf"), QSize(36, 36)), background);
    imgPDF->setObjectName(QStringLiteral("imgPDF"));
    lnkWeb = new LinkLabel(QStringLiteral("Visualizza guida in formato PDF"), "lnkWeb", background);
    lnkWeb->addIcon(imgPDF);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), background);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi->setMinimumSize(110, 30);

    auto *column = new QVBoxLayout(background);
    column->setContentsMargins(16, 14, 16, 14);
    column->setSpacing(10);
    column->addWidget(header);
    column->addWidget(lblTitolo);
    column->addWidget(txtGuida, 1);
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(imgPDF);
    bottom->addWidget(lnkWeb);
    bottom->addStretch(1);
    bottom->addWidget(cmdChiudi);
    column->addLayout(bottom);

    const auto openDocument = [this] { TMisc::Open(documentCommand()); };
    connect(imgPDF, &ui::PictureButton::clicked, this, openDocument);
    connect(lnkWeb, &LinkLabel::clicked, this, openDocument);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

QString TfrmGuida::documentCommand() const
{
    return QLatin1Char('"') + m_folder.file(QStringLiteral("Guida.pdf")) + QLatin1Char('"');
}

void TfrmGuida::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
}

} // namespace tavolux
