#pragma once

#include <QKeySequence>

class QWidget;

namespace tavolux::ui {

// Presses `control` (a picture button or any button) when `keys` are typed
// anywhere in `window`, while the control is visible and enabled. The keys are
// shown on a second line of the control's tooltip.
void bindShortcut(QWidget *window, QWidget *control, const QKeySequence &keys);

// Keys as the program names them to its users, in tooltips and in the help:
// "Ctrl+Maiusc+D", "Alt+Freccia sinistra", "Alt+Home".
QString keyText(const QKeySequence &keys);

// The control's tooltip: its hint, and on a second line its shortcut.
void setHintTooltip(QWidget *control, const QString &hint);

} // namespace tavolux::ui
