// Appends tagged cards to the address archive of a folder: used by the
// multi-process tests. Usage: archive_writer <folder> <writer> <count>
#include "storage/AddressArchive.h"

#include <cstdio>
#include <cstdlib>

using namespace tavolux;

int main(int argc, char *argv[])
{
    if (argc != 4)
        return 2;
    const ProgramFolder folder(QString::fromLocal8Bit(argv[1]));
    const QString writer = QString::fromLocal8Bit(argv[2]);
    const int count = std::atoi(argv[3]);
    for (int seq = 0; seq < count; ++seq) {
        TSchedaIndirizzo card;
        const QString tag = writer + QLatin1Char('-') + QString::number(seq);
        card[TSchedaIndirizzo::Nome] = tag;
        // Every field carries the tag, so a record mixed from two writers shows.
        for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
            card[f] = (tag + QLatin1Char(' ')).repeated(250 / (tag.size() + 1));
        AddressArchive archive(folder); // one opening per card, as the window does
        if (!archive.open() || archive.append(card) < 1) {
            std::fprintf(stderr, "append failed\n");
            return 1;
        }
    }
    return 0;
}
