#include "reportui/ReportHooks.h"

namespace tavolux::report::hooks {

namespace {
PreviewHandler &preview()
{
    static PreviewHandler instance;
    return instance;
}
PrintDialogHandler &printDialog()
{
    static PrintDialogHandler instance;
    return instance;
}
PrinterListHandler &printerList()
{
    static PrinterListHandler instance;
    return instance;
}
} // namespace

void setPreviewHandler(PreviewHandler handler)
{
    preview() = std::move(handler);
}

bool runPreviewHandler(Report &report)
{
    if (!preview())
        return false;
    preview()(report);
    return true;
}

void setPrintDialogHandler(PrintDialogHandler handler)
{
    printDialog() = std::move(handler);
}

PrintDialogHandler printDialogHandler()
{
    return printDialog();
}

void setPrinterListHandler(PrinterListHandler handler)
{
    printerList() = std::move(handler);
}

PrinterListHandler printerListHandler()
{
    return printerList();
}

} // namespace tavolux::report::hooks
