#pragma once

class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tavolux {

// The "-" and "+" buttons and the read-only value box between them, shared
// by the envelope and calibration dialogs.
QPushButton *stepButton(const QString &text, const char *name, QWidget *parent);
QLineEdit *valueBox(const char *name, QWidget *parent);

} // namespace tavolux
