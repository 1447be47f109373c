// Writes the installation's default password store into the folder given on
// the command line, holding the first-access password.
#include "access/PasswordStore.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavolux_defaultstore <folder>\n");
        return 2;
    }
    const tavolux::ProgramFolder folder(QString::fromLocal8Bit(argv[1]));
    tavolux::PasswordStore store(folder);
    QFile::remove(store.path());
    if (!store.setPassword(QStringLiteral("chiaveprovvisa"))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(store.path()));
        return 1;
    }
    return 0;
}
