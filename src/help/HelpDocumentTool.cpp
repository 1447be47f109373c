// Writes the help document from the program's own help texts to the path
// given on the command line.
#include "help/HelpDocument.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavolux_helpdocument <file.pdf>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!tavolux::writeHelpDocument(path)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
