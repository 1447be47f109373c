#include "reportui/ReportSteps.h"

#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "reportui/ReportHooks.h"
#include "reportui/ReportPrinter.h"
#include "ui/Messages.h"

#include <QVBoxLayout>
#include <QWidget>

#include <memory>

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
        // their choices are applied, and the pages laid out again, only once
        // the dialog is accepted.
        auto accepts = std::make_shared<QList<std::function<void()>>>();
        options.tab = [&report, accepts](QWidget *owner) {
            accepts->clear();
            auto *tab = new QWidget(owner);
            auto *column = new QVBoxLayout(tab);
            for (const Report::PrintControl &control : report.printControls()) {
                std::function<void()> accept;
                column->addWidget(control(tab, accept));
                if (accept)
                    accepts->append(accept);
            }
            column->addStretch();
            return tab;
        };
        options.title = report.printControlsTitle();
        options.accepted = [&report, accepts] {
            for (const std::function<void()> &accept : *accepts)
                accept();
            report.PrepareReport();
            return report.pages();
        };
    }
    QString error;
    const bool printed = printReport(report.name(), report.pages(), parent, &error, options);
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
