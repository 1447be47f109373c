#include "printing/EnvelopeTemplate.h"

#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeLayout.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

namespace tavolux {

namespace {
constexpr double kLeft = 449.76407;              // 119 mm
constexpr double kFirstTop = 215.4330708661417;  // 57 mm
constexpr double kWidth = 340.15748031;          // 90 mm
constexpr double kHeight = 16.62992126;          // 4.4 mm
} // namespace

QString EnvelopeTemplate::lineName(int line)
{
    return QStringLiteral("txtRigo%1").arg(line, 2, 10, QLatin1Char('0'));
}

QString EnvelopeTemplate::senderLineName(int line)
{
    return QStringLiteral("txtMittente%1").arg(line, 2, 10, QLatin1Char('0'));
}

std::unique_ptr<report::Report> EnvelopeTemplate::create(const QString &title)
{
    auto document = std::make_unique<report::Report>(title);
    document->setPreviewButtons(report::Report::PreviewPrint | report::Report::PreviewZoom
                                | report::Report::PreviewFullScreen | report::Report::PreviewClose);
    report::ReportPage &page = document->page();
    page.PaperWidth = 210;
    page.PaperHeight = 297;
    page.Orientation = report::Orientation::Portrait;
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 0;
    for (int line = 1; line <= kLines; ++line) {
        const double top = kFirstTop + (line - 1) * report::mmToUnits(5);
        report::TextBox *box = page.addText(lineName(line), QRectF(kLeft, top, kWidth, kHeight));
        if (!box) // names are unique: never refused
            continue;
        box->Font = report::TextFont{QStringLiteral("Arial"), 10};
        box->FontColor = Qt::black;
        box->WordWrap = false;
        box->AllowExpressions = false;
    }
    return document;
}

std::unique_ptr<report::Report> EnvelopeTemplate::create(const EnvelopeFormat &format, const QString &title)
{
    std::unique_ptr<report::Report> document = create(title);
    report::ReportPage &page = document->page();
    page.PaperWidth = format.sizeMm.width();
    page.PaperHeight = format.sizeMm.height();
    for (int line = 1; line <= kSenderLines; ++line) {
        const QRectF box(0, 0, report::mmToUnits(envelopeLayout::kSenderWidthMm),
                         report::mmToUnits(envelopeLayout::kSenderHeightMm));
        report::TextBox *sender = page.addText(senderLineName(line), box);
        if (!sender)
            continue;
        sender->Font = report::TextFont{QStringLiteral("Arial"), envelopeLayout::kSenderPointSize};
        sender->FontColor = Qt::black;
        sender->WordWrap = false;
        sender->AllowExpressions = false;
    }
    if (!format.isPage()) {
        if (report::Shape *outline = page.addShape(outlineName(), QRectF())) {
            outline->Fill = QColor();
            outline->Outline = QColor(0x1F, 0x3F, 0x80); // the dialogs' blue, apart from the grey desk
            outline->Guide = true;
        }
    }
    return document;
}

} // namespace tavolux
