#pragma once

#include <QApplication>

namespace tavolux {

// The application object; a failure that escapes an event handler shows its
// own message in an error box and the program goes on.
class TavoluxApplication : public QApplication
{
    Q_OBJECT
public:
    TavoluxApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Shows a failure's own message in an error box (the general handling).
void reportUncaughtFailure(const QString &what);

} // namespace tavolux
