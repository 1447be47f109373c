#include "help/TfrmInfo.h"

#include "help/HelpArt.h"
#include "help/LinkLabel.h"
#include "help/Maker.h"
#include "platform/TMisc.h"
#include "ui/GradientWidget.h"
#include "ui/Look.h"
#include "ui/PictureButton.h"
#include "ui/WindowPlacement.h"
#include "ui/AccessibleNames.h"

#include <QCoreApplication>
#include <QShowEvent>
#include <QThread>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace tavolux {

QString TfrmInfo::mailCommand()
{
    // Subject and body go in as they are, blanks included, not percent-encoded.
    return QLatin1Char('"') + QStringLiteral("mailto:") + maker::mail() + QStringLiteral("?subject=")
        + QStringLiteral("Software Tavolux") + QStringLiteral("&body=")
        + QStringLiteral("Salve, desidererei avere le seguenti informazioni sul software in oggetto:")
        + QLatin1Char('"');
}

TfrmInfo::TfrmInfo(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmInfo"));
    setWindowTitle(QStringLiteral(" Informazioni su Tavolux"));
    ui::makeFixedWindow(this, QSize(520, 300));

    auto *background = new ui::GradientWidget(ui::colors::SteelBlue, this);
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
    imgIntestazione->setPixmap(
        headerPicture(QStringLiteral("info"), QStringLiteral("Informazioni sul programma"), QSize(460, 56)));
    ui::describePicture(imgIntestazione, QStringLiteral("Informazioni sul programma"));
    headerRow->addWidget(imgIntestazione, 0, Qt::AlignLeft);

    lblVersione = new QLabel(QStringLiteral("Versione %1").arg(QCoreApplication::applicationVersion()), background);
    lblVersione->setObjectName(QStringLiteral("lblVersione"));
    QFont versionFont(ui::kTextFace, 8);
    lblVersione->setFont(versionFont);
    lblVersione->setStyleSheet(QStringLiteral("color: #303030;"));

    lblNotizia = new QLabel(background);
    lblNotizia->setObjectName(QStringLiteral("lblNotizia"));
    lblNotizia->setFont(versionFont);
    lblNotizia->setStyleSheet(QStringLiteral("color: #303030;"));
    lblNotizia->setWordWrap(true);
    lblNotizia->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNotizia->hide();

    auto *about = new QLabel(QStringLiteral("Tavolux - un software di %1.\n"
                                            "Per richiedere informazioni sul programma, scrivere a:")
                                 .arg(maker::name()),
                             background);
    QFont aboutFont(ui::kTextFace, 11);
    about->setFont(aboutFont);
    about->setStyleSheet(QStringLiteral("color: #202020;"));

    imgEmail = new ui::PictureButton(helpArt(QStringLiteral("email"), QSize(40, 40)), background);
    imgEmail->setObjectName(QStringLiteral("imgEmail"));
    lnkWeb = new LinkLabel(maker::mail(), "lnkWeb", background);
    lnkWeb->addIcon(imgEmail);
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), background);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    cmdChiudi->setMinimumSize(110, 30);

    auto *column = new QVBoxLayout(background);
    column->setContentsMargins(16, 14, 16, 14);
    column->setSpacing(12);
    column->addWidget(header);
    column->addWidget(lblVersione, 0, Qt::AlignRight);
    column->addWidget(about);
    column->addStretch(1);
    auto *mailRow = new QHBoxLayout;
    mailRow->setSpacing(10);
    mailRow->addStretch(1);
    mailRow->addWidget(imgEmail);
    mailRow->addWidget(lnkWeb);
    mailRow->addStretch(1);
    column->addLayout(mailRow);
    column->addStretch(1);
    column->addWidget(lblNotizia);
    column->addWidget(cmdChiudi, 0, Qt::AlignRight);

    const auto composeMail = [] { TMisc::Open(mailCommand()); };
    connect(imgEmail, &ui::PictureButton::clicked, this, composeMail);
    connect(lnkWeb, &LinkLabel::clicked, this, composeMail);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmInfo::~TfrmInfo()
{
    if (m_maker)
        m_maker->wait();
}

void TfrmInfo::setNoticeSource(std::function<QString()> source)
{
    m_noticeSource = std::move(source);
}

void TfrmInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui::centreOnScreen(this);
    if (!m_noticeSource || m_pending || event->spontaneous())
        return;
    m_pending = true;
    // The answer comes back to this window only while it exists.
    auto text = std::make_shared<QString>();
    QThread *maker = m_maker = QThread::create([source = m_noticeSource, text] { *text = source(); });
    connect(maker, &QThread::finished, this, [this, text] { showNotice(*text); });
    connect(maker, &QThread::finished, maker, &QObject::deleteLater);
    maker->start();
}

void TfrmInfo::showNotice(const QString &text)
{
    m_pending = false;
    // A long notice shows its beginning; the whole of it is in its tooltip.
    constexpr int kShown = 300;
    QString shown = text;
    if (shown.size() > kShown) {
        shown.truncate(kShown);
        shown = shown.left(std::max<qsizetype>(shown.lastIndexOf(QLatin1Char(' ')), kShown / 2)) + QStringLiteral(" …");
    }
    lblNotizia->setText(shown);
    lblNotizia->setToolTip(shown == text ? QString() : text);
    lblNotizia->setAccessibleDescription(text);
    lblNotizia->setVisible(!text.isEmpty());
}

} // namespace tavolux
