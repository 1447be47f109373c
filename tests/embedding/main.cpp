// Reads back a card written through the embedded archive library.
#include "storage/AddressArchive.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    tavolux::AddressArchive archive{tavolux::ProgramFolder(dir.path())};
    tavolux::TSchedaIndirizzo card;
    card[tavolux::TSchedaIndirizzo::Nome] = QStringLiteral("Caffè Roma");
    tavolux::TSchedaIndirizzo back;
    if (!archive.open() || archive.append(card) != 1 || !archive.read(1, back))
        return 1;
    return back[tavolux::TSchedaIndirizzo::Nome] == card[tavolux::TSchedaIndirizzo::Nome] ? 0 : 1;
}
