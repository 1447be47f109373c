#include "access/TfrmPassword.h"

#include "access/FocusGlow.h"
#include "access/PadlockPicture.h"
#include "access/PasswordStore.h"
#include "platform/TextUtil.h"
#include "ui/AccessibleNames.h"
#include "ui/Look.h"
#include "ui/Messages.h"
#include "ui/PasswordAccessibility.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

namespace {

QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(30);
    b->setAutoDefault(false);
    return b;
}

} // namespace

QString TfrmPassword::wrongPasswordMessage()
{
    return QStringLiteral("Attenzione: password errata.");
}

QString TfrmPassword::readErrorMessage()
{
    return QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura della password. "
                          "Si consiglia di reinstallare il software.");
}

TfrmPassword::TfrmPassword(const ProgramFolder &folder, QWidget *parent)
    : ui::GradientWidget(ui::colors::SteelBlue, parent), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmPassword"));
    ui::protectPasswordFields();
    setWindowTitle(QStringLiteral(" Tavolux - Accesso"));
    ui::makeFixedWindow(this, QSize(480, 330));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    const QStringList logoLines{
        QStringLiteral("Proteggere l'accesso all'app con una password a propria scelta."),
        QStringLiteral("Per il primo accesso utilizzare la password \"chiaveprovvisa\" (scritta senza le virgolette).")};
    imgLogo->setPixmap(padlockPicture(QStringLiteral("Password"), logoLines, QSize(440, 128)));
    ui::describePicture(imgLogo, QStringLiteral("Password"), logoLines.join(QLatin1Char(' ')));

    lblRigo05 = new QLabel(QStringLiteral("Immetti la password e premi OK."), this);
    lblRigo05->setObjectName(QStringLiteral("lblRigo05"));
    QFont labelFont(ui::kTextFace, 10);
    labelFont.setBold(true);
    lblRigo05->setFont(labelFont);

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    QFont fieldFont(ui::kTextFace, 14);
    fieldFont.setBold(true);
    txtPassword->setFont(fieldFont);
    txtPassword->setMinimumHeight(34);

    cmdOK = button(QStringLiteral("OK"), "cmdOK", this);
    cmdOK->setMinimumHeight(34);
    cmdOK->setFixedWidth(70);
    cmdOK->setEnabled(false);
    cmdEsci = button(QStringLiteral("Esci"), "cmdEsci", this);
    cmdEsci->setFixedWidth(110);
    btnCambiaPassword = button(QStringLiteral("Cambia password"), "btnCambiaPassword", this);
    btnCambiaPassword->setFixedWidth(150);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 18);
    column->setSpacing(10);
    column->addWidget(imgLogo, 0, Qt::AlignHCenter);
    column->addSpacing(6);
    column->addWidget(lblRigo05);
    auto *fieldRow = new QHBoxLayout;
    fieldRow->setContentsMargins(FocusGlow::Margin, 0, 0, 0);
    fieldRow->setSpacing(16);
    fieldRow->addWidget(txtPassword, 1);
    fieldRow->addWidget(cmdOK);
    column->addLayout(fieldRow);
    column->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cmdEsci);
    bottom->addStretch(1);
    bottom->addWidget(btnCambiaPassword);
    column->addLayout(bottom);

    effPassword = new FocusGlow(txtPassword, "effPassword");

    txtPassword->installEventFilter(this);
    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::updateOk);
    connect(txtPassword, &QLineEdit::returnPressed, this, [this] {
        if (!trimText(txtPassword->text()).isEmpty())
            checkLogin();
    });
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::checkLogin);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::changePasswordRequested);
    connect(cmdEsci, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmPassword::updateOk()
{
    cmdOK->setEnabled(!trimText(txtPassword->text()).isEmpty());
}

bool TfrmPassword::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPassword && event->type() == QEvent::KeyRelease)
        updateOk();
    return false;
}

void TfrmPassword::checkLogin()
{
    switch (PasswordStore(m_folder).check(txtPassword->text())) {
    case PasswordStore::Check::Right:
        emit loggedIn();
        break;
    case PasswordStore::Check::Wrong:
        ui::plain(this, wrongPasswordMessage());
        txtPassword->clear();
        txtPassword->setFocus();
        break;
    case PasswordStore::Check::Unreadable:
        ui::plain(this, readErrorMessage());
        break;
    }
}

void TfrmPassword::clearPassword()
{
    txtPassword->clear();
    txtPassword->setFocus();
}

void TfrmPassword::showEvent(QShowEvent *event)
{
    ui::GradientWidget::showEvent(event);
    ui::centreOnScreen(this);
    activateWindow();
    txtPassword->setFocus();
}

void TfrmPassword::closeEvent(QCloseEvent *event)
{
    // Leaving for another window goes through hide(); a close ends the program.
    event->accept();
    emit endRequested();
}

} // namespace tavolux
