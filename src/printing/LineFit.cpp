#include "printing/LineFit.h"

#include "platform/TextUtil.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/LabelPageTemplate.h"
#include "report/Layout.h"
#include "report/Report.h"
#include "report/TextBox.h"

namespace tavolux {

namespace {

// The first box of a template as it is designed, with its font and width.
bool fits(const report::Report &document, const QString &boxName, const QString &text)
{
    const auto *box = static_cast<const report::TextBox *>(document.FindObject(boxName));
    const report::FontMeasure measure(box->Font);
    return report::printsWhole(measure, trimText(text), box->Width - report::kTextGap);
}

} // namespace

bool fitsLabelLine(const QString &text)
{
    static const std::unique_ptr<report::Report> labels = LabelPageTemplate::create(QString());
    return fits(*labels, LabelPageTemplate::lineName(1, 1), text);
}

bool fitsEnvelopeLine(const QString &text)
{
    static const std::unique_ptr<report::Report> envelope = EnvelopeTemplate::create();
    return fits(*envelope, EnvelopeTemplate::lineName(1), text);
}

} // namespace tavolux
