// Prints label pages through the print steps (fill, prepare, paint into the
// printer) into a PDF, a number of times, for profiling the label engine:
//   perf record -g label_probe 100 5
#include "ArchiveGenerator.h"
#include "Harness.h"

#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"
#include "reportui/ReportPrinter.h"

#include <QApplication>
#include <QPrinter>

#include <cstdio>

using namespace tavolux;

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 100;
    const int times = argc > 2 ? std::atoi(argv[2]) : 1;
    const QString path = bench::scratchFolder() + QStringLiteral("/etichette-probe.pdf");
    for (int t = 0; t < times; ++t) {
        double cpu = 0;
        const double wall = bench::seconds([&] {
            cpu = bench::cpuSeconds([&] {
                auto job = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
                QList<report::PreparedPage> prepared;
                for (int page = 0; page < pages; ++page) {
                    fillLabelPage(*job, [page](int slot, int line) {
                        const TSchedaIndirizzo card = bench::sampleCard(quint32(page * 24 + slot - 1));
                        return line <= 4 ? card[TSchedaIndirizzo::Rigo01 + line - 1] : QStringLiteral("Italia");
                    });
                    job->PrepareReport();
                    prepared << job->preparedPages();
                }
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path);
                report::preparePrinter(printer, job->name(), prepared);
                report::printPages(prepared, printer, nullptr);
            });
        });
        std::printf("%d pages: %.2f ms a page, cpu %.2f ms a page\n", pages, wall * 1e3 / pages, cpu * 1e3 / pages);
    }
    return 0;
}
