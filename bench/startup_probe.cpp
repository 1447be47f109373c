// Tavolux's own start-up, ended as soon as the first window (the login) is
// painted; it fails if the five persistent windows do not all exist by then.
#include "FirstPaint.h"

#include "app/Program.h"
#include "app/TavoluxApplication.h"

int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    FirstPaint firstPaint({QStringLiteral("TfrmPassword"), QStringLiteral("TfrmAvvio"), QStringLiteral("TfrmCambiaPassword"),
                           QStringLiteral("TfrmArchivio_Indirizzi"), QStringLiteral("TfrmArchivio_Etichette")});
    tavolux::Program program(QCoreApplication::applicationDirPath());
    program.start();
    return application.exec();
}
