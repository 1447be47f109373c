// Tavolux's own start-up, ended as soon as the first window is painted.
#include "FirstPaint.h"

#include "app/Program.h"
#include "app/TavoluxApplication.h"

int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    FirstPaint firstPaint;
    tavolux::Program program(QCoreApplication::applicationDirPath());
    program.start();
    return application.exec();
}
