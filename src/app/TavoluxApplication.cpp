#include "app/TavoluxApplication.h"

#include "ui/Messages.h"

#include <exception>

namespace tavolux {

TavoluxApplication::TavoluxApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tavolux"));
    setQuitOnLastWindowClosed(false);
}

bool TavoluxApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &failure) {
        reportUncaughtFailure(QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        reportUncaughtFailure(QStringLiteral("Attenzione: si è verificato un errore imprevisto."));
    }
    return false;
}

void reportUncaughtFailure(const QString &what)
{
    ui::showFailure(QApplication::activeWindow(), what);
}

} // namespace tavolux
