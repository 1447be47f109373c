#include "access/TfrmCambiaPassword.h"

#include "access/FocusGlow.h"
#include "access/PadlockPicture.h"
#include "access/PasswordStore.h"
#include "platform/TextUtil.h"
#include "ui/AccessibleNames.h"
#include "ui/Art.h"
#include "ui/Look.h"
#include "ui/Messages.h"
#include "ui/PasswordAccessibility.h"
#include "ui/Shortcuts.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavolux {

QString TfrmCambiaPassword::wrongOldPasswordMessage()
{
    return QStringLiteral("Attenzione: vecchia password errata.");
}

QString TfrmCambiaPassword::notConfirmedMessage()
{
    return QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                          "E' necessario reinserire entrambi i valori.");
}

QString TfrmCambiaPassword::doneMessage()
{
    return QStringLiteral("Modifica della password completata con successo.");
}

QString TfrmCambiaPassword::changeErrorMessage()
{
    return QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica della password. "
                          "Si consiglia di reinstallare il software.");
}

QString TfrmCambiaPassword::unusablePasswordMessage()
{
    return QStringLiteral("Attenzione: la nuova password non può essere memorizzata. Sono ammessi al massimo "
                          "255 caratteri, scelti tra lettere anche accentate, cifre e simboli comuni "
                          "(non è ammesso, ad esempio, il simbolo dell'euro). E' necessario reinserire entrambi i valori.");
}

TfrmCambiaPassword::TfrmCambiaPassword(const ProgramFolder &folder, QWidget *parent)
    : ui::GradientWidget(ui::colors::SteelBlue, parent), m_folder(folder)
{
    setObjectName(QStringLiteral("TfrmCambiaPassword"));
    ui::protectPasswordFields();
    setWindowTitle(QStringLiteral(" Cambia password"));
    ui::makeFixedWindow(this, QSize(480, 470));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    const QString logoLine =
        QStringLiteral("Compilare i campi sottostanti e premere OK per sostituire la password di accesso.");
    ui::setPictureWhenShown(imgLogo, QSize(440, 110), [logoLine] {
        return padlockPicture(QStringLiteral("Cambia password"), {logoLine}, QSize(440, 110));
    });
    ui::describePicture(imgLogo, QStringLiteral("Cambia password"), logoLine);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 18);
    column->setSpacing(6);
    column->addWidget(imgLogo, 0, Qt::AlignHCenter);
    column->addSpacing(8);

    QFont captionFont(ui::kTextFace, 10);
    captionFont.setBold(true);
    QFont fieldFont(ui::kTextFace, 14);
    fieldFont.setBold(true);
    auto addField = [&](const QString &caption, const char *name) {
        auto *label = new QLabel(caption, this);
        label->setFont(captionFont);
        auto *field = new QLineEdit(this);
        field->setObjectName(QLatin1String(name));
        field->setEchoMode(QLineEdit::Password);
        field->setFont(fieldFont);
        field->setMinimumHeight(34);
        auto *row = new QHBoxLayout;
        row->setContentsMargins(FocusGlow::Margin, 0, FocusGlow::Margin, 0);
        row->addWidget(field);
        column->addWidget(label);
        column->addLayout(row);
        column->addSpacing(6);
        return field;
    };
    txtPasswordOld = addField(QStringLiteral("Vecchia password:"), "txtPasswordOld");
    txtPasswordNew = addField(QStringLiteral("Nuova password:"), "txtPasswordNew");
    txtConferma = addField(QStringLiteral("Conferma nuova password:"), "txtConferma");
    column->addStretch(1);

    cmdEsci = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setEnabled(false);
    for (QPushButton *b : {cmdEsci, cmdOK}) {
        b->setAutoDefault(false);
        b->setMinimumHeight(30);
        b->setFixedWidth(110);
    }
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cmdEsci);
    bottom->addStretch(1);
    bottom->addWidget(cmdOK);
    column->addLayout(bottom);

    effPasswordOld = new FocusGlow(txtPasswordOld, "effPasswordOld");
    effPasswordNew = new FocusGlow(txtPasswordNew, "effPasswordNew");
    effConferma = new FocusGlow(txtConferma, "effConferma");

    // Enter moves round the three fields and never submits.
    const QList<QLineEdit *> ring = fields();
    for (int i = 0; i < ring.size(); ++i) {
        QLineEdit *field = ring.at(i);
        QLineEdit *next = ring.at((i + 1) % ring.size());
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &TfrmCambiaPassword::updateOk);
        connect(field, &QLineEdit::returnPressed, next, [next] { next->setFocus(); });
    }
    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);

    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::changePassword);
    connect(cmdEsci, &QPushButton::clicked, this, &QWidget::close);
    // Esc leaves as "Chiudi" does, as in a dialog.
    ui::bindShortcut(this, cmdEsci, QKeySequence(Qt::Key_Escape));
}

QList<QLineEdit *> TfrmCambiaPassword::fields() const
{
    return {txtPasswordOld, txtPasswordNew, txtConferma};
}

void TfrmCambiaPassword::updateOk()
{
    bool ready = true;
    for (QLineEdit *field : fields())
        ready = ready && !trimText(field->text()).isEmpty();
    cmdOK->setEnabled(ready);
}

bool TfrmCambiaPassword::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease && fields().contains(watched))
        updateOk();
    return false;
}

void TfrmCambiaPassword::retypeNew()
{
    txtPasswordNew->clear();
    txtConferma->clear();
    txtPasswordNew->setFocus();
}

void TfrmCambiaPassword::changePassword()
{
    PasswordStore store(m_folder);
    switch (store.check(txtPasswordOld->text())) {
    case PasswordStore::Check::Unreadable:
        ui::plain(this, changeErrorMessage());
        return;
    case PasswordStore::Check::Wrong:
        ui::plain(this, wrongOldPasswordMessage());
        txtPasswordOld->clear();
        txtPasswordOld->setFocus();
        return;
    case PasswordStore::Check::Right:
        break;
    }
    // The confirmation must match exactly, letter case included.
    if (trimText(txtPasswordNew->text()) != trimText(txtConferma->text())) {
        ui::plain(this, notConfirmedMessage());
        retypeNew();
        return;
    }
    // A password the store cannot hold could never be typed again.
    if (!PasswordStore::canHold(txtPasswordNew->text())) {
        ui::plain(this, unusablePasswordMessage());
        retypeNew();
        return;
    }
    QString reason;
    if (!store.setPassword(txtPasswordNew->text(), &reason)) {
        ui::plain(this, ui::withReason(changeErrorMessage(), reason));
        return;
    }
    ui::plain(this, doneMessage());
    close();
}

void TfrmCambiaPassword::showEvent(QShowEvent *event)
{
    ui::GradientWidget::showEvent(event);
    for (QLineEdit *field : fields())
        field->clear();
    ui::centreOnScreen(this);
    activateWindow();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

} // namespace tavolux
