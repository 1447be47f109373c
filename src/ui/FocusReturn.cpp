#include "ui/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tavolux::ui {

namespace {

// How long the window manager is given to move the focus by itself.
constexpr int kSettleMs = 150;

QWidget *visibleOwner(QWidget *window)
{
    for (QWidget *owner = window->parentWidget(); owner; owner = owner->parentWidget()) {
        owner = owner->window();
        if (owner->isVisible() && !(owner->windowState() & Qt::WindowMinimized))
            return owner;
    }
    return nullptr;
}

} // namespace

FocusReturn::FocusReturn(QObject *parent) : QObject(parent) {}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Hide || !watched->isWidgetType())
        return false;
    auto *window = static_cast<QWidget *>(watched);
    if (!window->isWindow() || window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip
        || !window->parentWidget())
        return false;
    QPointer<QWidget> owner = visibleOwner(window);
    if (!owner)
        return false;
    QTimer::singleShot(kSettleMs, owner, [owner] {
        if (!owner || QApplication::activeWindow() || QApplication::activePopupWidget())
            return;
        QWidget *target = QApplication::activeModalWidget();
        if (!target || !target->isVisible())
            target = owner->isVisible() ? owner.data() : visibleOwner(owner);
        if (target) {
            target->raise();
            target->activateWindow();
        }
    });
    return false;
}

} // namespace tavolux::ui
