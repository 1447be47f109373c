#include "app/TfrmAvvio.h"

#include "help/Maker.h"
#include "help/ShowHelp.h"
#include "help/TfrmInfo.h"
#include "labelformats/LabelCatalogue.h"
#include "labelformats/LabelFormatSettings.h"
#include "help/TfrmSplash.h"
#include "platform/Conventions.h"
#include "platform/TMisc.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/Look.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavolux {

namespace {

QFrame *whiteBox(QWidget *parent)
{
    auto *box = new QFrame(parent);
    box->setObjectName(QStringLiteral("whiteBox"));
    box->setStyleSheet(ui::panelStyle(QStringLiteral("QFrame#whiteBox"), 8));
    return box;
}

const QString kSubtitle = QStringLiteral(
    "Stampa velocemente indirizzi o qualsiasi altro testo su fogli A4 da 24 etichette o direttamente su buste da lettera");

ui::PictureButton *picture(ui::PictureButton *button, const char *name)
{
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

QString TfrmAvvio::makerName()
{
    return maker::name();
}

QString TfrmAvvio::makerWebSite()
{
    return maker::webSite();
}

TfrmAvvio::TfrmAvvio(const ProgramFolder &folder, QWidget *parent)
    : ui::GradientWidget(ui::colors::SteelBlue, parent), m_folder(folder)
{
    conventions::apply();
    setObjectName(QStringLiteral("TfrmAvvio"));
    setWindowTitle(QStringLiteral(" Tavolux"));

    auto *panel = new QWidget(this);
    panel->setFixedWidth(820);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    // Top band: information icon, title and subtitle, help icon.
    auto *top = whiteBox(panel);
    auto *topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(16, 12, 16, 12);
    imgInfo = picture(new ui::PictureButton(QStringLiteral("info"), QSize(40, 40), top), "imgInfo");
    imgGuida = picture(new ui::PictureButton(QStringLiteral("guida"), QSize(40, 40), top), "imgGuida");
    auto *titles = new QVBoxLayout;
    auto *title = new QLabel(top);
    title->setObjectName(QStringLiteral("imgTitolo"));
    ui::setPictureWhenShown(title, QSize(360, 64), [] {
        return ui::textArt(QStringLiteral("Tavolux"), QSize(360, 64), 54, QColor(0x1F, 0x4F, 0xB0), true);
    });
    auto *subtitle = new QLabel(top);
    subtitle->setObjectName(QStringLiteral("imgSottotitolo"));
    ui::setPictureWhenShown(subtitle, QSize(690, 22), [] {
        return ui::textArt(kSubtitle, QSize(690, 22), 12, QColor(0x40, 0x40, 0x40), false, true);
    });
    ui::describePicture(title, QStringLiteral("Tavolux"));
    ui::describePicture(subtitle, kSubtitle);
    titles->addWidget(title, 0, Qt::AlignHCenter);
    titles->addWidget(subtitle, 0, Qt::AlignHCenter);
    topRow->addWidget(imgInfo, 0, Qt::AlignTop);
    topRow->addLayout(titles, 1);
    topRow->addWidget(imgGuida, 0, Qt::AlignTop);
    column->addWidget(top);

    // The two apps.
    auto *tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    auto makeTile = [&](ui::PictureButton *&image, ui::PictureButton *&button, const QString &art, const QSize &size,
                        const QString &caption, const char *imageName, const char *buttonName) {
        auto *tile = whiteBox(panel);
        auto *tileColumn = new QVBoxLayout(tile);
        tileColumn->setContentsMargins(20, 20, 20, 20);
        tileColumn->setSpacing(16);
        image = picture(new ui::PictureButton(art, size, tile), imageName);
        button = picture(new ui::PictureButton(QSize(280, 48), [caption] { return ui::buttonArt(caption, QSize(280, 48)); }, tile),
                         buttonName);
        tileColumn->addWidget(image, 1, Qt::AlignCenter);
        tileColumn->addWidget(button, 0, Qt::AlignHCenter);
        tiles->addWidget(tile, 1);
    };
    makeTile(imgApp01, btnApp01, QStringLiteral("busta"), QSize(240, 150), QStringLiteral("ARCHIVIO INDIRIZZI"),
             "imgApp01", "btnApp01");
    makeTile(imgApp02, btnApp02, QStringLiteral("etichette"), QSize(120, 158), QStringLiteral("GESTIONE ETICHETTE"),
             "imgApp02", "btnApp02");
    column->addLayout(tiles);

    // Bottom band: credits, maker and web site, exit.
    auto *bottom = whiteBox(panel);
    auto *bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(16, 8, 16, 8);
    imgCopyright = picture(new ui::PictureButton(QStringLiteral("copyright"), QSize(32, 32), bottom), "imgCopyright");
    imgSito = picture(new ui::PictureButton(QSize(520, 24),
                                            [] {
                                                return ui::textArt(makerName() + QStringLiteral("  -  ") + makerWebSite(),
                                                                   QSize(520, 24), 14, QColor(0x1F, 0x4F, 0xB0), true);
                                            },
                                            bottom),
                      "imgSito");
    imgEsci = picture(new ui::PictureButton(QStringLiteral("chiudi"), QSize(24, 24), bottom), "imgEsci");
    bottomRow->addWidget(imgCopyright);
    bottomRow->addStretch(1);
    bottomRow->addWidget(imgSito);
    bottomRow->addStretch(1);
    bottomRow->addWidget(imgEsci);
    column->addWidget(bottom);

    auto *outer = new QGridLayout(this);
    outer->addWidget(panel, 0, 0, Qt::AlignCenter);

    // From the keyboard: the first app has the focus, F1 opens the help.
    ui::setHintTooltip(imgGuida, QStringLiteral("Visualizza la guida in linea."));
    ui::bindShortcut(this, imgGuida, QKeySequence(Qt::Key_F1));
    // Each app's picture does what its button does; Tab and assistive tools
    // reach the button alone.
    imgApp01->setTwin(btnApp01);
    imgApp02->setTwin(btnApp02);
    btnApp01->setFocus(Qt::OtherFocusReason);

    connect(imgApp01, &ui::PictureButton::clicked, this, &TfrmAvvio::openAddresses);
    connect(btnApp01, &ui::PictureButton::clicked, this, &TfrmAvvio::openAddresses);
    connect(imgApp02, &ui::PictureButton::clicked, this, &TfrmAvvio::openLabels);
    connect(btnApp02, &ui::PictureButton::clicked, this, &TfrmAvvio::openLabels);
    connect(imgInfo, &ui::PictureButton::clicked, this, &TfrmAvvio::showInfo);
    connect(imgGuida, &ui::PictureButton::clicked, this, &TfrmAvvio::showHelp);
    connect(imgCopyright, &ui::PictureButton::clicked, this, &TfrmAvvio::showCredits);
    connect(imgSito, &ui::PictureButton::clicked, this, [] { TMisc::Open(makerWebSite()); });
    connect(imgEsci, &ui::PictureButton::clicked, this, &TfrmAvvio::endRequested);
}

void TfrmAvvio::showHelp()
{
    showHelpTopic(this, m_folder, HelpTopic::General);
}

void TfrmAvvio::showInfo()
{
    TfrmInfo dialog(this);
    // Files of the label catalogue that were skipped are named; read off the
    // interface thread the first time.
    dialog.setNoticeSource([folder = LabelFormatSettings(m_folder).catalogueFolder()] {
        const LabelCatalogue &catalogue = LabelCatalogue::installed(folder);
        return catalogue.problems().isEmpty() ? QString() : catalogue.summary();
    });
    dialog.exec();
}

void TfrmAvvio::showCredits()
{
    TfrmSplash dialog(this);
    dialog.exec();
}

void TfrmAvvio::closeEvent(QCloseEvent *event)
{
    // Hiding it for another window goes through hide(); a close ends the program.
    event->accept();
    emit endRequested();
}

} // namespace tavolux
