#include "ui/Messages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <memory>

namespace tavolux::ui {

namespace {

MessageHandler &handler()
{
    static MessageHandler instance;
    return instance;
}

} // namespace

QMessageBox *messageBox(QWidget *parent, MessageKind kind, const QString &text, MessageButtons buttons)
{
    auto *owned = new QMessageBox(parent);
    QMessageBox &box = *owned;
    // A caption and no title-bar buttons: the box is answered by its own buttons.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    switch (kind) {
    case MessageKind::Plain:
        box.setWindowTitle(QStringLiteral("Tavolux"));
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Informazioni"));
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Attenzione"));
        break;
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Errore"));
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Conferma"));
        break;
    }
    // Line breaks arrive as CR LF or LF CR; show each pair as one break.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    box.setText(shown);
    QPushButton *ok = nullptr, *cancel = nullptr, *yes = nullptr, *retry = nullptr;
    switch (buttons) {
    case MessageButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        break;
    case MessageButtons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        break;
    case MessageButtons::YesNo:
        yes = box.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
        cancel = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        break;
    case MessageButtons::RetryCancel:
        retry = box.addButton(QStringLiteral("Riprova"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        break;
    }
    box.setDefaultButton(ok ? ok : yes ? yes : retry);
    // Its icon says to assistive tools what the caption says.
    if (auto *icon = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
        icon->setAccessibleName(box.windowTitle());
    if (ok)
        ok->setObjectName(QStringLiteral("ok"));
    if (yes)
        yes->setObjectName(QStringLiteral("yes"));
    if (retry)
        retry->setObjectName(QStringLiteral("retry"));
    if (cancel)
        cancel->setObjectName(QStringLiteral("cancel"));
    return owned;
}

namespace {

MessageAnswer showBox(QWidget *parent, MessageKind kind, const QString &text, MessageButtons buttons)
{
    const std::unique_ptr<QMessageBox> box(messageBox(parent, kind, text, buttons));
    box->exec();
    QAbstractButton *clicked = box->clickedButton();
    const QString which = clicked ? clicked->objectName() : QString();
    if (buttons == MessageButtons::YesNo)
        return which == QLatin1String("yes") ? MessageAnswer::Yes : MessageAnswer::No;
    if (which == QLatin1String("retry"))
        return MessageAnswer::Retry;
    if (which == QLatin1String("cancel") || buttons == MessageButtons::RetryCancel)
        return MessageAnswer::Cancel;
    return MessageAnswer::Ok;
}

} // namespace

MessageAnswer message(QWidget *parent, MessageKind kind, const QString &text, MessageButtons buttons)
{
    if (handler())
        return handler()(parent, kind, text, buttons);
    // The focus goes back where it was once the box is closed.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const MessageAnswer answer = showBox(parent, kind, text, buttons);
    if (focus && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
    return answer;
}

QString withReason(const QString &message, const QString &reason)
{
    if (reason.isEmpty())
        return message;
    const QString lineBreak = message.contains(QLatin1String("\n\r")) ? QStringLiteral("\n\r") : QStringLiteral("\r\n");
    return message + lineBreak + lineBreak + reason;
}

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

MessageRecorder::MessageRecorder()
{
    setMessageHandler([this](QWidget *, MessageKind kind, const QString &text, MessageButtons buttons) {
        m_entries.append({kind, text, buttons});
        if (!m_script.isEmpty())
            return m_script.takeFirst();
        switch (buttons) {
        case MessageButtons::YesNo:
            return MessageAnswer::Yes;
        case MessageButtons::RetryCancel:
            return MessageAnswer::Cancel;
        default:
            return MessageAnswer::Ok;
        }
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessageHandler({});
}

} // namespace tavolux::ui
