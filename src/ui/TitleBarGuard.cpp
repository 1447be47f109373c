#include "ui/TitleBarGuard.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#ifdef TAVOLUX_HAS_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace tavolux::ui {

namespace {

// The Motif window manager hint: flags, functions, decorations, input mode, status.
enum : quint32 {
    HintFunctions = 1u << 0,
    HintDecorations = 1u << 1,
    FunctionMove = 1u << 2,
    DecorationBorder = 1u << 1,
    DecorationTitle = 1u << 3,
};

} // namespace

TitleBarGuard::TitleBarGuard(QObject *parent) : QObject(parent) {}

bool TitleBarGuard::hasNoButtons(const QWidget *window)
{
    if (!window || !window->isWindow())
        return false;
    const Qt::WindowFlags flags = window->windowFlags();
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return false;
    return (flags & Qt::CustomizeWindowHint) && (flags & Qt::WindowTitleHint)
           && !(flags & (Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                         | Qt::WindowCloseButtonHint));
}

void TitleBarGuard::applyHints(QWidget *window)
{
#ifdef TAVOLUX_HAS_XCB
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->windowHandle())
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    const quint32 hints[5] = {HintFunctions | HintDecorations, FunctionMove, DecorationBorder | DecorationTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom, atom, 32, 5, hints);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

bool TitleBarGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::WindowStateChange)
        return false;
    auto *window = qobject_cast<QWidget *>(watched);
    if (!hasNoButtons(window))
        return false;
    if (event->type() == QEvent::Show) {
        applyHints(window);
    } else if (window->windowState() & Qt::WindowMinimized) {
        // Back at once, after the window manager has finished minimising it.
        QMetaObject::invokeMethod(
            window,
            [window] {
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->show();
                window->raise();
                window->activateWindow();
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace tavolux::ui
