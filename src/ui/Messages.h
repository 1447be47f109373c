#pragma once

#include <QList>
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace tavolux::ui {

enum class MessageKind { Plain, Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

// The box that `message` shows, not yet shown (owned by the caller).
QMessageBox *messageBox(QWidget *parent, MessageKind kind, const QString &text, MessageButtons buttons);

// Every message box of the program goes through here.
MessageAnswer message(QWidget *parent, MessageKind kind, const QString &text, MessageButtons buttons);

// Shorthands for the program's three habits: notices with OK and Cancel whose
// answer is ignored, plain OK boxes, and Yes/No questions.
inline void notice(QWidget *parent, MessageKind kind, const QString &text)
{
    message(parent, kind, text, MessageButtons::OkCancel);
}
inline void plain(QWidget *parent, const QString &text)
{
    message(parent, MessageKind::Plain, text, MessageButtons::Ok);
}
inline bool ask(QWidget *parent, const QString &text)
{
    return message(parent, MessageKind::Confirmation, text, MessageButtons::YesNo) == MessageAnswer::Yes;
}

// The program's general handling of a failure: an error box with the
// failure's own message and an OK button; the program then goes on.
inline void showFailure(QWidget *parent, const QString &what)
{
    message(parent, MessageKind::Error, what, MessageButtons::Ok);
}

// A failure message followed by an empty line and the reason, in the
// message's own line breaks (line feed then carriage return where the message
// has them); the message alone where there is no reason.
QString withReason(const QString &message, const QString &reason);

using MessageHandler = std::function<MessageAnswer(QWidget *, MessageKind, const QString &, MessageButtons)>;
// Test seam: replaces the modal box; an empty handler restores it.
void setMessageHandler(MessageHandler handler);

// Test helper: records every message and answers from a script (default: Ok,
// Yes, or Cancel to a Riprova/Annulla box).
class MessageRecorder
{
public:
    struct Entry {
        MessageKind kind;
        QString text;
        MessageButtons buttons;
    };

    MessageRecorder();
    ~MessageRecorder();

    void answerNext(MessageAnswer answer) { m_script.append(answer); }
    const QList<Entry> &entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    Entry last() const { return m_entries.isEmpty() ? Entry{MessageKind::Plain, QString(), MessageButtons::Ok} : m_entries.last(); }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
    QList<MessageAnswer> m_script;
};

} // namespace tavolux::ui
