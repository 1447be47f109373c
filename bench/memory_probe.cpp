// Opens the find dialog over the address archive of a folder and prints the
// memory it took: "<baseline rss kB> <peak kB> <list text bytes> <lines>".
#include "cardlist/CardListModel.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "ProcessMemory.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    tavolux::TfrmArchivio_Indirizzi window{tavolux::ProgramFolder(QString::fromLocal8Bit(argv[1]))};
    window.show();
    QCoreApplication::processEvents();
    // The peak is the dialog's own.
    const long baseline = tavolux::bench::resetPeak();
    tavolux::TfrmTrovaIndirizzi dialog(window);
    dialog.show();
    QCoreApplication::processEvents();
    const long peak = tavolux::bench::statusKb("VmHWM:");
    const auto &lines = dialog.model()->lines();
    std::printf("%ld %ld %lld %d\n", baseline, peak, static_cast<long long>(lines.textBytes()), lines.size());
    return 0;
}
