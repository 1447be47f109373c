// Opens the mailing window over the address archive of a folder, with every
// card chosen, prints all its sheets into a PDF file through the print steps,
// and prints what it took: "<rss before the window, kB> <peak, kB> <sheets>".
//   mailing_probe <folder> <pdf>
#include "mailing/TfrmStampaSchede.h"
#include "reportui/ReportHooks.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPushButton>

#include <cstdio>

using namespace tavolux;

namespace {

long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

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
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    const long baseline = statusKb("VmRSS:");
    int sheets = 0;
    {
        TfrmStampaSchede window{ProgramFolder(QString::fromLocal8Bit(argv[1]))};
        window.show();
        QCoreApplication::processEvents();
        sheets = window.sheets();
        window.btnStampa->click();
    }
    const long peak = statusKb("VmHWM:");
    std::printf("%ld %ld %d\n", baseline, peak, sheets);
    return messages.count() == 1 && QFile::exists(pdf) ? 0 : 1;
}
