#pragma once

class QGroupBox;
class QLabel;
class QPixmap;
class QVBoxLayout;
class QLineEdit;
class QPushButton;
class QString;
class QWidget;

namespace tavolux {

// The "-" and "+" buttons and the read-only value box between them, shared
// by the envelope and calibration dialogs.
QPushButton *stepButton(const QString &text, const char *name, QWidget *parent);
QLineEdit *valueBox(const char *name, QWidget *parent);

// The frame both dialogs share: their colours, a column of sections and, at
// its top, a white panel holding the instructions picture (imgIstruzioni),
// whose text is also its accessible description. The column is laid on
// "holder" where one is given, else on the dialog.
QVBoxLayout *stepDialogColumn(QWidget *dialog, QWidget *holder = nullptr);
QLabel *instructionsPanel(QVBoxLayout *column, const QPixmap &picture, const QString &text);

// One "-", value, "+" and "mm" row under its caption.
struct StepRow
{
    const char *minusName;
    const char *valueName;
    const char *plusName;
    QPushButton *minus = nullptr;
    QLineEdit *value = nullptr;
    QPushButton *plus = nullptr;
};

// A group box with two step rows side by side; fills in the rows' controls.
QGroupBox *stepPairBox(const QString &title, const char *name, const QString &leftCaption, StepRow &left,
                       const QString &rightCaption, StepRow &right, QWidget *parent);

} // namespace tavolux
