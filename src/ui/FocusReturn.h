#pragma once

#include <QObject>

namespace tavolux::ui {

// Gives the keyboard back to the program when a dialog closes. A window
// manager hands the focus of a closing dialog to the window it belongs to,
// but when a dialog and its owner close one right after the other (the
// preview and the dialog that opened it), the focus goes to a window that is
// no longer there and the program is left with no active window, deaf to the
// keyboard. Then the nearest visible window up the chain is made active
// again (or the modal dialog that is still open, if any).
class FocusReturn : public QObject
{
    Q_OBJECT
public:
    explicit FocusReturn(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tavolux::ui
