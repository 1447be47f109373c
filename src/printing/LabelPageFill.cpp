#include "printing/LabelPageFill.h"

#include "platform/TextUtil.h"
#include "printing/LabelPageTemplate.h"
#include "printing/LabelSheetOptions.h"
#include "report/Report.h"
#include "reportui/ReportSteps.h"
#include "report/TextBox.h"
#include "ui/Messages.h"

namespace tavolux {

bool fillLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf)
{
    document.page().Orientation = report::Orientation::Portrait;
    for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot) {
        for (int line = 1; line <= LabelPageTemplate::kLines; ++line) {
            report::TextBox *box = document.text(LabelPageTemplate::lineName(slot, line));
            if (!box)
                return false;
            box->setText(trimText(lineOf(slot, line)));
        }
    }
    return true;
}

void previewLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf,
                      QWidget *parent, const LabelSheetOptions *options)
{
    if (!fillLabelPage(document, lineOf)) {
        ui::showFailure(parent, document.errorString());
        return;
    }
    if (options)
        options->apply(document);
    document.PrepareReport();
    report::ShowReport(document, parent);
}

void printLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf,
                    QWidget *parent, const LabelSheetOptions *options)
{
    if (!fillLabelPage(document, lineOf)) {
        ui::showFailure(parent, document.errorString());
        return;
    }
    if (options)
        options->apply(document);
    document.PrepareReport();
    if (!report::Print(document, parent) && document.failed())
        ui::showFailure(parent, document.errorString());
}

} // namespace tavolux
