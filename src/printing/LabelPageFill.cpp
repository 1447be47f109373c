#include "printing/LabelPageFill.h"

#include "platform/TextUtil.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"
#include "report/TextBox.h"

namespace tavolux {

void fillLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf)
{
    document.page().Orientation = report::Orientation::Portrait;
    for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot)
        for (int line = 1; line <= LabelPageTemplate::kLines; ++line)
            document.text(LabelPageTemplate::lineName(slot, line))->setText(trimText(lineOf(slot, line)));
}

} // namespace tavolux
