// Opens the mailing window over the address archive of a folder, with every
// card chosen, prints all its sheets into a PDF file through the print steps,
// and prints what it took: "<rss before the window, kB> <peak, kB> <sheets>".
//   mailing_probe <folder> <pdf>
#include "mailing/TfrmStampaSchede.h"
#include "reportui/ReportHooks.h"
#include "ui/Messages.h"

#include "ProcessMemory.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPushButton>

#include <cstdio>

using namespace tavolux;


int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString pdf = QString::fromLocal8Bit(argv[2]);
    // The print dialog's OK, with the output to the file.
    report::hooks::setPrinterListHandler([] { return QStringList{QStringLiteral("PDF")}; });
    report::hooks::setPrintDialogHandler([pdf](QPrinter &printer, const report::PrintRequest &) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    ui::MessageRecorder messages;
    messages.answerNext(ui::MessageAnswer::No); // not kept as label pages
    // The high-water mark from here on is the job's own.
    tavolux::bench::resetPeak();
    const long baseline = tavolux::bench::statusKb("VmRSS:");
    int sheets = 0;
    {
        TfrmStampaSchede window{ProgramFolder(QString::fromLocal8Bit(argv[1]))};
        window.show();
        QCoreApplication::processEvents();
        sheets = window.sheets();
        window.btnStampa->click();
    }
    const long peak = tavolux::bench::statusKb("VmHWM:");
    std::printf("%ld %ld %d\n", baseline, peak, sheets);
    return messages.count() == 1 && QFile::exists(pdf) ? 0 : 1;
}
