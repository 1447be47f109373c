#include "ui/PasswordAccessibility.h"

#include <QAccessible>
#include <QLineEdit>
#include <QString>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace tavolux::ui {

namespace {

AccessibilityForward g_forward = nullptr;

void forward(QAccessibleEvent *event)
{
    if (g_forward) {
        g_forward(event);
        return;
    }
    if (QPlatformIntegration *integration = QGuiApplicationPrivate::platformIntegration())
        if (QPlatformAccessibility *bridge = integration->accessibility())
            bridge->notifyAccessibilityUpdate(event);
}

// The field the event is about, when it hides its text.
const QLineEdit *hiddenField(QAccessibleEvent *event)
{
    const auto *field = qobject_cast<const QLineEdit *>(event->object());
    return field && field->echoMode() != QLineEdit::Normal ? field : nullptr;
}

QString masked(const QLineEdit *field, const QString &text)
{
    return field->echoMode() == QLineEdit::NoEcho ? QString() : QString(text.size(), QLatin1Char('*'));
}

} // namespace

void passOnAccessibilityEvent(QAccessibleEvent *event)
{
    const QLineEdit *field = hiddenField(event);
    if (!field) {
        forward(event);
        return;
    }
    QObject *object = event->object();
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent safe(object, e->changePosition(), masked(field, e->textInserted()));
        forward(&safe);
        return;
    }
    case QAccessible::TextRemoved: {
        const auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent safe(object, e->changePosition(), masked(field, e->textRemoved()));
        forward(&safe);
        return;
    }
    case QAccessible::TextUpdated: {
        const auto *e = static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent safe(object, e->changePosition(), masked(field, e->textRemoved()),
                                        masked(field, e->textInserted()));
        forward(&safe);
        return;
    }
    default:
        forward(event);
        return;
    }
}

void protectPasswordFields()
{
    static const bool installed = (QAccessible::installUpdateHandler(passOnAccessibilityEvent), true);
    Q_UNUSED(installed);
}

void setAccessibilityForward(AccessibilityForward handler)
{
    g_forward = handler;
}

} // namespace tavolux::ui
