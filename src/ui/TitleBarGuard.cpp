#include "ui/TitleBarGuard.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#ifdef TAVOLUX_HAS_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#include <cstring>
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

#ifdef TAVOLUX_HAS_XCB
namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(qstrlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

QByteArray readProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr);
    if (!reply)
        return {};
    const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

// The running window manager's name, as it gives it on its check window.
QByteArray windowManagerName(xcb_connection_t *connection, xcb_window_t root)
{
    const QByteArray check = readProperty(connection, root, internAtom(connection, "_NET_SUPPORTING_WM_CHECK"),
                                          XCB_ATOM_WINDOW);
    if (check.size() < int(sizeof(xcb_window_t)))
        return {};
    xcb_window_t manager = 0;
    std::memcpy(&manager, check.constData(), sizeof manager);
    return readProperty(connection, manager, internAtom(connection, "_NET_WM_NAME"),
                        internAtom(connection, "UTF8_STRING"));
}

} // namespace
#endif

bool TitleBarGuard::drawsButtonsOnEveryTitle(const QByteArray &windowManager)
{
    // Openbox leaves out the minimise and maximise buttons of a window that
    // may not be minimised or resized, but draws the close button on every
    // title bar, whatever the window asks.
    return windowManager.compare("Openbox", Qt::CaseInsensitive) == 0;
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
    const xcb_atom_t atom = internAtom(connection, "_MOTIF_WM_HINTS");
    if (atom == XCB_ATOM_NONE)
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // Where the caption would bring buttons along, the window has a border alone.
    const quint32 decorations = drawsButtonsOnEveryTitle(windowManagerName(connection, root))
                                    ? quint32(DecorationBorder)
                                    : quint32(DecorationBorder | DecorationTitle);
    const quint32 hints[5] = {HintFunctions | HintDecorations, FunctionMove, decorations, 0, 0};
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
