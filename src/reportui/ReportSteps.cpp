#include "reportui/ReportSteps.h"

#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "reportui/ReportHooks.h"
#include "reportui/ReportPrinter.h"
#include "ui/Messages.h"

namespace tavolux::report {

void ShowReport(Report &report, QWidget *parent)
{
    report.ensurePrepared();
    if (hooks::runPreviewHandler(report))
        return;
    PreviewWindow preview(report, parent);
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

bool Print(Report &report, QWidget *parent)
{
    report.ensurePrepared();
    QString error;
    const bool printed = printReport(report.name(), report.preparedPages(), parent, &error);
    report.setErrorString(error);
    return printed;
}

bool printFromPreview(Report &report, QWidget *parent)
{
    const bool printed = Print(report, parent);
    if (report.failed())
        ui::showFailure(parent, report.errorString());
    return printed;
}

} // namespace tavolux::report
