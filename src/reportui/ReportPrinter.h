#pragma once

#include "report/PageSequence.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace tavolux::report {

// What a template adds to the print dialog: an options tab of controls, and
// what applies their choices once OK is pressed and gives the pages laid out
// again. Cancel applies nothing.
struct PrintOptions
{
    std::function<QWidget *(QWidget *parent)> tab;
    QString title;
    std::function<PageSequence()> accepted;
};

// The print step: with no printer installed, says so and offers to save the
// pages as a PDF file; otherwise the print dialog (printer, page range, copies,
// collation), then the pages on the chosen printer as a job titled "title".
// Returns whether anything was printed; Cancel prints nothing. A printer that
// fails gives false with its message in *error.
bool printReport(const QString &title, const PageSequence &pages, QWidget *parent, QString *error,
                 const PrintOptions &options = {});

// Paints the pages on a printer that is already set up, honouring its page
// range, and its copies and collation where the printer cannot make copies
// itself. Pages laid out on demand are laid out one at a time as they are
// painted. Returns false, with the message in *error, when the printer cannot
// be started or gives up.
bool printPages(const PageSequence &pages, QPrinter &printer, QString *error);

// Sets paper (the first page's: the printer's own paper of its sides where
// it has one), orientation and zero margins, with positions counted from
// the paper's corner.
void preparePrinter(QPrinter &printer, const QString &title, const PageSequence &pages);

// The printers installed on the machine.
QStringList availablePrinters();

// The question asked when no printer is installed.
QString noPrinterQuestion();

} // namespace tavolux::report
