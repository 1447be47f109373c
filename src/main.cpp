#include "app/Program.h"
#include "app/TavoluxApplication.h"

int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    tavolux::ProgramFolder(folder).shareWithGroupWhereSetUp();
    tavolux::Program program(folder);
    program.start();
    return application.exec();
}
