#include "ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tavolux::ui {

void makeFixedWindow(QWidget *window, const QSize &clientSize)
{
    const Qt::WindowFlags kind = window->windowFlags() & Qt::WindowType_Mask;
    window->setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setFixedSize(clientSize);
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace tavolux::ui
