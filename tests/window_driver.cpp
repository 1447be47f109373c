// Opens one window of the address archive on a program folder, as the user
// does, and tells what it shows, for tests that run it under limits.
//   window_driver find <folder>     the find dialog: prints "lines <n>"
//   window_driver export <folder>   the export window: prints "rows <n>"
// Both then print "peak <kB>", the most address space the process took.
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "cardlist/CardListModel.h"

#include <QApplication>
#include <QFile>
#include <QTableView>

#include <cstdio>
#include <cstring>

using namespace tavolux;

namespace {

QByteArray peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "0";
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0);
    return "0";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const ProgramFolder folder(QString::fromLocal8Bit(argv[2]));
    if (std::strcmp(argv[1], "find") == 0) {
        TfrmArchivio_Indirizzi window(folder);
        TfrmTrovaIndirizzi dialog(window);
        dialog.show();
        std::printf("lines %d\n", dialog.model()->rowCount());
    } else if (std::strcmp(argv[1], "export") == 0) {
        TfrmExpIndirizzi window(folder);
        window.show();
        std::printf("rows %d\n", window.grdRecords->model()->rowCount());
    } else {
        return 2;
    }
    std::printf("peak %s\n", peakKilobytes().constData());
    return 0;
}
