#include "help/TfrmSplash.h"

#include "help/HelpArt.h"
#include "help/LinkLabel.h"
#include "help/Maker.h"
#include "platform/TMisc.h"
#include "ui/AccessibleNames.h"
#include "ui/GradientWidget.h"
#include "ui/PictureButton.h"
#include "ui/WindowPlacement.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

TfrmSplash::TfrmSplash(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmSplash"));
    setWindowTitle(QStringLiteral(" Tavolux - %1").arg(maker::name()));
    ui::makeFixedWindow(this, QSize(600, 520));

    auto *background = new ui::GradientWidget(QColor(Qt::white), this, QColor(0x35, 0x25, 0x25));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(background);

    imgSplash = new QLabel(background);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setPixmap(creditsPicture(QSize(568, 390)));
    ui::describePicture(imgSplash, QStringLiteral("Riconoscimenti"), creditsText());

    imgWeb = new ui::PictureButton(helpArt(QStringLiteral("web"), QSize(36, 36)), background);
    imgWeb->setObjectName(QStringLiteral("imgWeb"));
    lnkWeb = new LinkLabel(maker::webSite(), "lnkWeb", background);
    lnkWeb->addIcon(imgWeb);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), background);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi->setMinimumSize(110, 30);

    auto *column = new QVBoxLayout(background);
    column->setContentsMargins(16, 16, 16, 14);
    column->setSpacing(10);
    column->addWidget(imgSplash, 0, Qt::AlignHCenter);
    // The background darkens towards the bottom: the link sits on a white plate.
    auto *plate = new QFrame(background);
    plate->setObjectName(QStringLiteral("panSito"));
    plate->setStyleSheet(QStringLiteral("QFrame#panSito { background: white; border-radius: 8px; }"));
    auto *plateRow = new QHBoxLayout(plate);
    plateRow->setContentsMargins(8, 4, 12, 4);
    plateRow->setSpacing(8);
    imgWeb->setParent(plate);
    lnkWeb->setParent(plate);
    plateRow->addWidget(imgWeb);
    plateRow->addWidget(lnkWeb);
    auto *row = new QHBoxLayout;
    row->addWidget(plate);
    row->addStretch(1);
    row->addWidget(cmdChiudi);
    column->addStretch(1);
    column->addLayout(row);

    const auto openSite = [] { TMisc::Open(maker::webSite()); };
    connect(imgWeb, &ui::PictureButton::clicked, this, openSite);
    connect(lnkWeb, &LinkLabel::clicked, this, openSite);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tavolux
