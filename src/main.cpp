#include "app/Program.h"
#include "app/TavoluxApplication.h"

int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    tavolux::Program program(QCoreApplication::applicationDirPath());
    program.start();
    return application.exec();
}
