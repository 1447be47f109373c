// Imports a CSV file into a fresh archive through the import window, as the
// user does it (choose the file, Importa), and prints what it took:
// "<baseline rss kB> <peak kB> <file bytes> <seconds> <cards>".
#include "ProcessMemory.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "storage/AddressArchive.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <cstdio>


int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString csv = QString::fromLocal8Bit(argv[1]);
    const tavolux::ProgramFolder folder(QString::fromLocal8Bit(argv[2]));
    QFile::remove(folder.file(tavolux::AddressArchive::fileName()));
    tavolux::ui::MessageRecorder messages;
    tavolux::ui::setFileChooserHandler([&](QWidget *, const QString &, const QString &) { return csv; });
    tavolux::TfrmArchivio_Indirizzi window(folder);
    window.show();
    tavolux::TfrmImportaSchede dialog(window);
    dialog.show();
    QCoreApplication::processEvents();
    // The peak is the import's own.
    const long baseline = tavolux::bench::resetPeak();
    QElapsedTimer timer;
    timer.start();
    dialog.btnScegli->click();
    dialog.btnImporta->click();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const long peak = tavolux::bench::statusKb("VmHWM:");
    tavolux::AddressArchive archive(folder);
    const qint64 cards = archive.open() ? archive.count() : -1;
    archive.close();
    QFile::remove(folder.file(tavolux::AddressArchive::fileName()));
    std::printf("%ld %ld %lld %.3f %lld\n", baseline, peak, static_cast<long long>(QFileInfo(csv).size()), seconds,
                static_cast<long long>(cards));
    return 0;
}
