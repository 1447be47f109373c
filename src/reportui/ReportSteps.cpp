#include "reportui/ReportSteps.h"

#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "reportui/ReportHooks.h"
#include "reportui/ReportPrinter.h"
#include "ui/Messages.h"

#include <QVBoxLayout>
#include <QWidget>

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
    PrintOptions options;
    if (!report.printControls().isEmpty()) {
        // The template's own controls on an options tab of the print dialog;
        // the pages are laid out again after a change.
        options.tab = [&report](QWidget *owner) {
            auto *tab = new QWidget(owner);
            auto *column = new QVBoxLayout(tab);
            for (const Report::Control &control : report.printControls())
                column->addWidget(control(tab, [] {}));
            column->addStretch();
            return tab;
        };
        options.relayout = [&report] {
            report.PrepareReport();
            return report.preparedPages();
        };
    }
    QString error;
    const bool printed = printReport(report.name(), report.preparedPages(), parent, &error, options);
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
