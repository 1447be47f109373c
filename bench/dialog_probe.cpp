// Opens the find, import, export or mailing dialog through its window over the
// generated archive of a number of cards (made when missing, under
// TAVOLUX_BENCH_DATA), a number of times, and prints each opening's time to
// the list's first paint and its closing time. For profiling:
//   perf record -g dialog_probe 1000000 find 3
#include "DialogOpening.h"
#include "Harness.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "ui/PictureButton.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const int cards = std::atoi(argv[1]);
    tavolux::bench::ensureArchive(cards);
    const tavolux::ProgramFolder folder(tavolux::bench::archiveFolder(cards));
    const char *kind = argv[2];
    const int times = argc > 3 ? std::atoi(argv[3]) : 1;
    tavolux::TfrmArchivio_Indirizzi addresses(folder);
    tavolux::TfrmArchivio_Etichette labels(folder);
    const bool import = std::strcmp(kind, "import") == 0;
    const bool mailing = std::strcmp(kind, "mailing") == 0;
    const QString list = std::strcmp(kind, "export") == 0 ? QStringLiteral("grdRecords")
                         : mailing                        ? QStringLiteral("lstSchede")
                                                          : QStringLiteral("lstRecords");
    QWidget &window = import || mailing ? static_cast<QWidget &>(labels) : addresses;
    window.show();
    QCoreApplication::processEvents();
    tavolux::bench::DialogOpening opening(tavolux::bench::viewportOf(list));
    for (int i = 0; i < times; ++i) {
        const auto t = opening.run([&] {
            if (import)
                labels.impIndirizzo_E(1)->click();
            else if (mailing)
                labels.cmdSchede->click();
            else if (list == QLatin1String("grdRecords"))
                addresses.cmdEsporta->click();
            else
                addresses.cmdTrova->click();
        });
        std::printf("%s open %.1f ms close %.1f ms\n", kind, t.open * 1e3, t.close * 1e3);
    }
    return 0;
}
