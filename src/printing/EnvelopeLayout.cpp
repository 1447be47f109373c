#include "printing/EnvelopeLayout.h"

#include "platform/TextUtil.h"
#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeTemplate.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

namespace tavolux {

using report::mmToUnits;

bool fillEnvelope(report::Report &document, const EnvelopeFormat &format, const EnvelopePlacement &placement,
                  const QStringList &sender, const QStringList &lines)
{
    report::ReportPage &page = document.page();
    page.PaperWidth = format.sizeMm.width();
    page.PaperHeight = format.sizeMm.height();
    page.Orientation = placement.orientation;
    page.TopMargin = placement.topMm;
    page.LeftMargin = placement.leftMm;
    const QSizeF paper = page.paperSize();
    const QPointF first = format.addressMm(paper);
    for (int line = 1; line <= EnvelopeTemplate::kLines; ++line) {
        report::TextBox *box = document.text(EnvelopeTemplate::lineName(line));
        if (!box)
            return false;
        // The A4 page keeps its boxes where they are designed.
        if (!format.isPage()) {
            box->Left = mmToUnits(first.x());
            box->Top = mmToUnits(first.y()) + (line - 1) * mmToUnits(5);
        }
        box->setText(trimText(lines.value(line - 1)));
    }
    // Boxes count from the margins' corner; the sender keeps its place on the paper.
    for (int line = 1; line <= EnvelopeTemplate::kSenderLines; ++line) {
        const QString text = trimText(sender.value(line - 1));
        report::ReportObject *object = document.FindObject(EnvelopeTemplate::senderLineName(line));
        if (!object || object->kind() != report::ReportObject::Kind::Text) {
            if (text.isEmpty())
                continue;
            return false;
        }
        auto *box = static_cast<report::TextBox *>(object);
        box->Left = mmToUnits(envelopeLayout::kSenderMm - placement.leftMm);
        box->Top = mmToUnits(envelopeLayout::kSenderMm - placement.topMm)
                   + (line - 1) * mmToUnits(envelopeLayout::kSenderPitchMm);
        box->setText(text);
    }
    if (report::ReportObject *outline = document.FindObject(EnvelopeTemplate::outlineName())) {
        outline->Left = mmToUnits(-placement.leftMm);
        outline->Top = mmToUnits(-placement.topMm);
        outline->Width = mmToUnits(paper.width());
        outline->Height = mmToUnits(paper.height());
    }
    return true;
}

report::PreparedPage layOutEnvelope(const EnvelopeFormat &format, const EnvelopePlacement &placement,
                                    const QStringList &sender, const QStringList &lines)
{
    const std::unique_ptr<report::Report> document = EnvelopeTemplate::create(format);
    fillEnvelope(*document, format, placement, sender, lines);
    document->PrepareReport();
    return document->preparedPages().value(0);
}

} // namespace tavolux
