#include "printing/LabelPageTemplate.h"

#include "printing/SheetFormat.h"

#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

#include <array>

namespace tavolux {

namespace {

using report::mmToUnits;

// The sheet's measures as the template stores them, in units.
constexpr double kColumnPitch = 241.88992;        // 64 mm
constexpr double kRowPitch = 132.28355;           // 35 mm
constexpr double kLabelWidth = 234.3304011;       // 62 mm
constexpr double kLabelHeight = 120.94488189;     // 32 mm
constexpr double kTextLeft = 7.55906;             // 2 mm inside the label
constexpr double kTextTop = 7.55906;              // 2 mm, rows 2 to 8
constexpr double kTextTopFirstRow = 6.80314961;   // 1.8 mm, the top row
constexpr double kTextWidth = 219.96850394;       // 58.2 mm
constexpr double kTextHeight = 13.22834646;       // 3.5 mm
const double kLinePitch = mmToUnits(5);

} // namespace

QRectF LabelPageTemplate::labelRect(int slot)
{
    return QRectF(columnOf(slot) * kColumnPitch, rowOf(slot) * kRowPitch, kLabelWidth, kLabelHeight);
}

QRectF LabelPageTemplate::lineRect(int slot, int line)
{
    const QRectF label = labelRect(slot);
    const double top = rowOf(slot) == 0 ? kTextTopFirstRow : kTextTop;
    return QRectF(label.left() + kTextLeft, label.top() + top + (line - 1) * kLinePitch, kTextWidth, kTextHeight);
}

QString LabelPageTemplate::lineName(int slot, int line)
{
    auto make = [](int s, int l) {
        return QStringLiteral("txtRigo%1_E%2").arg(l, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    };
    // Asked for every line of every page printed: made once.
    static const std::array<QString, kSlots * kLines> names = [&make] {
        std::array<QString, kSlots * kLines> all;
        for (int s = 1; s <= kSlots; ++s)
            for (int l = 1; l <= kLines; ++l)
                all[size_t((s - 1) * kLines + l - 1)] = make(s, l);
        return all;
    }();
    if (slot < 1 || slot > kSlots || line < 1 || line > kLines)
        return make(slot, line);
    return names[size_t((slot - 1) * kLines + line - 1)];
}

QString LabelPageTemplate::shapeName(int slot)
{
    const int row = rowOf(slot);
    const int column = columnOf(slot);
    static const int topRow[kColumns] = {2, 1, 3};
    if (row == 0)
        return QStringLiteral("Shape%1").arg(topRow[column]);
    return QStringLiteral("Shape%1").arg(3 + column * 7 + row);
}

std::unique_ptr<report::Report> LabelPageTemplate::create(const QString &name)
{
    return create(SheetFormat::standard(), name);
}

std::unique_ptr<report::Report> LabelPageTemplate::create(const SheetFormat &format, const QString &name)
{
    auto document = std::make_unique<report::Report>(name);
    document->setPreviewButtons(report::Report::PreviewPrint | report::Report::PreviewZoom
                                | report::Report::PreviewFullScreen | report::Report::PreviewClose);
    report::ReportPage &page = document->page();
    page.PaperWidth = format.paperMm.width();
    page.PaperHeight = format.paperMm.height();
    page.Orientation = format.landscape() ? report::Orientation::Landscape : report::Orientation::Portrait;
    page.LeftMargin = page.RightMargin = format.leftMm;
    page.TopMargin = page.BottomMargin = format.topMm;

    // The backgrounds first, so every label's text lies on top of it.
    for (const SheetFormat::Label &label : format.labels) {
        report::Shape *background = page.addShape(label.backgroundName, label.rect);
        if (!background) // names are unique: never refused
            continue;
        background->Fill = format.background;
        background->Outline = format.background;
    }
    for (int slot = 1; slot <= format.labelsPerSheet(); ++slot) {
        const QList<QRectF> &lines = format.labels.at(slot - 1).lines;
        for (int line = 1; line <= lines.size(); ++line) {
            report::TextBox *box = page.addText(lineName(slot, line), lines.at(line - 1));
            if (!box)
                continue;
            box->Font = report::TextFont{format.fontFamily, format.pointSize};
            box->FontColor = Qt::black;
            box->WordWrap = false;
            box->AllowExpressions = false;
        }
    }
    return document;
}

} // namespace tavolux
