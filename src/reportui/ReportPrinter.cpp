#include "reportui/ReportPrinter.h"

#include "report/PagePainter.h"
#include "reportui/ReportHooks.h"
#include "report/Units.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <QPageLayout>

#include <cmath>
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
        tab->setWindowTitle(request.optionsTitle);
        dialog.setOptionTabs({tab});
    }
    return dialog.exec() == QDialog::Accepted;
}

bool chooseFileInstead(QPrinter &printer, const QString &title, QWidget *parent)
{
    if (!ui::ask(parent, noPrinterQuestion()))
        return false;
    QString path = ui::chooseSaveFile(parent, QStringLiteral("Salvare il documento in formato PDF:"),
                                      QStringLiteral("Documenti PDF (*.pdf)"), title + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

// The paper a job goes with, for paper of these sides in mm (short side
// first). The printer's own paper where it has paper of these sides, so that
// the job carries the name the printer knows it by ("EnvDL") and the driver
// takes it from its tray. Where it has none, paper that CUPS and the page
// device take at the same size, to the point (they take whole points no
// larger than a size in hundredths of a mm): the standard size where it is
// that, else a size of its own. With no printer to ask (a PDF file), the
// standard size of these sides.
QPageSize paperFor(const QPrinter &printer, const QSizeF &paper)
{
    const QPageSize standard(paper, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
        return standard;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
    const QList<QPageSize> sizes = info.isNull() ? QList<QPageSize>() : info.supportedPageSizes();
    if (sizes.isEmpty())
        return standard;
    constexpr double kSameMm = 0.5;
    const QPageSize *found = nullptr;
    for (const QPageSize &size : sizes) {
        const QSizeF mm = size.size(QPageSize::Millimeter);
        const bool same = qAbs(std::min(mm.width(), mm.height()) - paper.width()) < kSameMm
                          && qAbs(std::max(mm.width(), mm.height()) - paper.height()) < kSameMm;
        // Of two names for the same paper, the standard one.
        if (same && (!found || size.key() == standard.key()))
            found = &size;
    }
    if (found)
        return *found;
    constexpr double kMmPerPoint = 25.4 / 72;
    const auto wholePoints = [](double mm) { return int(std::floor(mm / kMmPerPoint + 1e-6)); };
    const QSize points(wholePoints(paper.width()), wholePoints(paper.height()));
    if (standard.id() != QPageSize::Custom && standard.sizePoints() == points)
        return standard;
    const auto hundredths = [](int points) { return std::ceil(points * kMmPerPoint * 100 - 1e-6) / 100; };
    return QPageSize(QSizeF(hundredths(points.width()), hundredths(points.height())), QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
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
    const QPageSize size = paperFor(printer, paper);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

} // namespace

QString noPrinterQuestion()
{
    return QStringLiteral("Nessuna stampante installata: il documento non può essere stampato.\r\n\r\n"
                          "Si vuole salvarlo in un file PDF?");
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
        return fail(printer.outputFormat() == QPrinter::PdfFormat
                        ? QStringLiteral("Attenzione: non è possibile scrivere il file \"%1\".\r\n\r\n"
                                         "Accertarsi che la cartella esista e di possedere i privilegi di scrittura.")
                              .arg(printer.outputFileName())
                        : QStringLiteral("Attenzione: non è possibile avviare la stampa sulla stampante \"%1\".\r\n\r\n"
                                         "Si consiglia di controllare le impostazioni della stampante.")
                              .arg(printer.printerName()));
    const double scale = printer.resolution() / kUnitsPerInch;
    // One page at a time: laid out (when on demand), painted, let go.
    for (qint64 n = 0; n < range * copies; ++n) {
        const int index = from - 1 + int(collate ? n % range : n / copies);
        if (n > 0 && !printer.newPage()) {
            painter.end();
            return fail(QStringLiteral("Attenzione: la stampante non accetta una nuova pagina.\r\n\r\n"
                                       "Si consiglia di controllare le impostazioni della stampante."));
        }
        painter.save();
        painter.scale(scale, scale);
        paintPage(pages.at(index), painter);
        painter.restore();
    }
    if (!painter.end())
        return fail(QStringLiteral("Attenzione: la stampa non è stata completata.\r\n\r\n"
                                   "Si consiglia di controllare le impostazioni della stampante."));
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
    } else if (!runPrintDialog(printer, PrintRequest{title, pages, options.tab, options.title}, parent)) {
        return false;
    } else if (options.tab && options.accepted) {
        pages = options.accepted(); // the options tab's choices applied
    }
    // The pages are laid out for this paper and orientation, whatever printer was chosen.
    setLayout(printer, pages);
    return printPages(pages, printer, error);
}

} // namespace tavolux::report
