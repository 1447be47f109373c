#pragma once

#include <QApplication>

namespace tavolux {

// The application object. The program's handlers report their failures
// themselves (ui::showFailure); an exception that still escapes one, from a
// library, shows its own message in an error box and the program goes on.
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
