#include "reportui/ReportPrinter.h"

#include "report/PagePainter.h"
#include "reportui/ReportHooks.h"
#include "report/Units.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace tavolux::report {

namespace {

bool runPrintDialog(QPrinter &printer, const PrintRequest &request, QWidget *parent)
{
    if (const auto handler = hooks::printDialogHandler())
        return handler(printer, request);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, int(request.pages.size()));
    if (request.optionsTab) {
        QWidget *tab = request.optionsTab(&dialog);
        tab->setWindowTitle(QStringLiteral("Opzioni"));
        dialog.setOptionTabs({tab});
    }
    return dialog.exec() == QDialog::Accepted;
}

bool chooseFileInstead(QPrinter &printer, const QString &title, QWidget *parent)
{
    if (!ui::ask(parent, noPrinterQuestion()))
        return false;
    QString path = ui::chooseSaveFile(parent, QStringLiteral("Salva il documento in PDF"),
                                      QStringLiteral("Documenti PDF (*.pdf)"), title + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

void setLayout(QPrinter &printer, const PageSequence &pages)
{
    const bool landscape = !pages.isEmpty() && pages.orientation() == Orientation::Landscape;
    QSizeF paper(210, 297);
    if (!pages.isEmpty()) {
        const QSizeF units = pages.paper();
        paper = QSizeF(unitsToMm(std::min(units.width(), units.height())),
                       unitsToMm(std::max(units.width(), units.height())));
    }
    const QPageSize size(paper, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

} // namespace

QString noPrinterQuestion()
{
    return QStringLiteral("Nessuna stampante installata: il documento non può essere stampato.\r\n\r\n"
                          "Salvarlo in un file PDF?");
}

QStringList availablePrinters()
{
    if (const auto handler = hooks::printerListHandler())
        return handler();
    return QPrinterInfo::availablePrinterNames();
}

void preparePrinter(QPrinter &printer, const QString &title, const PageSequence &pages)
{
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Tavolux"));
    printer.setCopyCount(1);
    setLayout(printer, pages);
}

bool printPages(const PageSequence &pages, QPrinter &printer, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    int from = 1;
    int to = int(pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(from, printer.fromPage());
        to = std::min(to, printer.toPage() > 0 ? printer.toPage() : to);
    }
    // Where the printer cannot make the copies, the pages are repeated.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    const qint64 range = std::max(0, to - from + 1);

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(QStringLiteral("Impossibile avviare la stampa sulla stampante \"%1\".")
                        .arg(printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                           : printer.printerName()));
    const double scale = printer.resolution() / kUnitsPerInch;
    // One page at a time: laid out (when on demand), painted, let go.
    for (qint64 n = 0; n < range * copies; ++n) {
        const int index = from - 1 + int(collate ? n % range : n / copies);
        if (n > 0 && !printer.newPage()) {
            painter.end();
            return fail(QStringLiteral("La stampante non accetta una nuova pagina."));
        }
        painter.save();
        painter.scale(scale, scale);
        paintPage(pages.at(index), painter);
        painter.restore();
    }
    if (!painter.end())
        return fail(QStringLiteral("La stampa non è stata completata."));
    return true;
}

bool printReport(const QString &title, const PageSequence &designed, QWidget *parent, QString *error,
                 const PrintOptions &options)
{
    PageSequence pages = designed;
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, title, pages);
    if (availablePrinters().isEmpty()) {
        if (!chooseFileInstead(printer, title, parent))
            return false;
    } else if (!runPrintDialog(printer, PrintRequest{title, pages, options.tab}, parent)) {
        return false;
    } else if (options.tab && options.relayout) {
        pages = options.relayout(); // as the options tab left the template
    }
    // The pages are laid out for this paper and orientation, whatever printer was chosen.
    setLayout(printer, pages);
    return printPages(pages, printer, error);
}

} // namespace tavolux::report
