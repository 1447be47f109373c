#pragma once

#include "report/PageSequence.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace tavolux::report {

class Report;

// What the print dialog is asked to print.
struct PrintRequest
{
    QString title;
    PageSequence pages;
    // The controls of the dialog's options tab, or empty when there are none,
    // and the tab's name.
    std::function<QWidget *(QWidget *parent)> optionsTab;
    QString optionsTitle;
};

// Test seams of the engine; production uses the real preview window, print
// dialog and the printers installed on the machine. An empty handler restores
// the real one.
namespace hooks {

// Stands in for the modal preview window.
using PreviewHandler = std::function<void(Report &report)>;
void setPreviewHandler(PreviewHandler handler);
// Runs the installed preview handler; false when there is none.
bool runPreviewHandler(Report &report);

// Stands in for the system print dialog: sets the printer up (printer name or
// PDF file, copies, range) and answers true for OK, false for Cancel.
using PrintDialogHandler = std::function<bool(QPrinter &printer, const PrintRequest &request)>;
void setPrintDialogHandler(PrintDialogHandler handler);
PrintDialogHandler printDialogHandler();

// Stands in for the list of printers installed on the machine.
using PrinterListHandler = std::function<QStringList()>;
void setPrinterListHandler(PrinterListHandler handler);
PrinterListHandler printerListHandler();

} // namespace hooks

} // namespace tavolux::report
