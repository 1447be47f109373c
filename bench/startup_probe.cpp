// Tavolux's own start-up, ending as soon as the first window has been shown.
#include "app/Program.h"
#include "app/TavoluxApplication.h"

#include <QTimer>

int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    tavolux::Program program(QCoreApplication::applicationDirPath());
    program.start();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return application.exec();
}
