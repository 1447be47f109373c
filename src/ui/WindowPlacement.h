#pragma once

#include <QSize>

class QWidget;

namespace tavolux::ui {

// A fixed-size window with a caption and no title-bar buttons.
void makeFixedWindow(QWidget *window, const QSize &clientSize);

// Centres a top-level window on the screen it is on.
void centreOnScreen(QWidget *window);

} // namespace tavolux::ui
