#include "printing/CalibrationSheet.h"

#include "printing/LabelPageTemplate.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

namespace tavolux {

namespace {

using report::mmToUnits;

constexpr double kLine = 0.2;        // mm, the width of every stroke
constexpr double kCrossArm = 4;      // mm from the centre
constexpr double kScaleFont = 6;     // pt

QRectF mm(double left, double top, double width, double height)
{
    return QRectF(mmToUnits(left), mmToUnits(top), mmToUnits(width), mmToUnits(height));
}

void stroke(report::ReportPage &page, const QString &name, const QRectF &units)
{
    if (report::Shape *shape = page.addShape(name, units))
        shape->Fill = Qt::black;
}

} // namespace

QString CalibrationSheet::labelText(int slot)
{
    return QStringLiteral("Etichetta %1").arg(slot);
}

QRectF CalibrationSheet::outlineMm(int slot)
{
    return QRectF(10 + 64 * LabelPageTemplate::columnOf(slot), 10 + 35 * LabelPageTemplate::rowOf(slot), 62, 32);
}

std::unique_ptr<report::Report> CalibrationSheet::create(const LabelShift &shift)
{
    auto document = std::make_unique<report::Report>(name());
    report::ReportPage &page = document->page();
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 0;
    page.ShiftX = shift.x;
    page.ShiftY = shift.y;

    for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot) {
        const QRectF label = outlineMm(slot);
        const QString id = QStringLiteral("%1").arg(slot, 2, 10, QLatin1Char('0'));
        // The outline as four strokes inside the label's edges.
        stroke(page, QStringLiteral("bordoA_") + id, mm(label.left(), label.top(), label.width(), kLine));
        stroke(page, QStringLiteral("bordoB_") + id, mm(label.left(), label.bottom() - kLine, label.width(), kLine));
        stroke(page, QStringLiteral("bordoS_") + id, mm(label.left(), label.top(), kLine, label.height()));
        stroke(page, QStringLiteral("bordoD_") + id, mm(label.right() - kLine, label.top(), kLine, label.height()));
        const QPointF centre = label.center();
        stroke(page, QStringLiteral("croceO_") + id,
               mm(centre.x() - kCrossArm, centre.y() - kLine / 2, 2 * kCrossArm, kLine));
        stroke(page, QStringLiteral("croceV_") + id,
               mm(centre.x() - kLine / 2, centre.y() - kCrossArm, kLine, 2 * kCrossArm));
        if (report::TextBox *text = page.addText(QStringLiteral("txtEtichetta_") + id,
                                                 mm(label.left() + 2, label.top() + 2, 40, 4))) {
            text->Font = LabelPageTemplate::labelFont();
            text->setText(labelText(slot));
        }
    }
    // The scales: a tick every millimetre, longer every 5 and 10, and the
    // number of millimetres every 10.
    auto tickLength = [](int at) { return at % 10 == 0 ? 4.0 : at % 5 == 0 ? 2.5 : 1.5; };
    for (int x = 1; x < 210; ++x) {
        stroke(page, QStringLiteral("scalaO_%1").arg(x), mm(x - kLine / 2, 0, kLine, tickLength(x)));
        if (x % 10 == 0 && x < 200)
            if (report::TextBox *text = page.addText(QStringLiteral("numeroO_%1").arg(x), mm(x + 0.5, 4, 8, 3))) {
                text->Font = report::TextFont{QStringLiteral("Arial"), kScaleFont};
                text->setText(QString::number(x));
            }
    }
    for (int y = 1; y < 297; ++y) {
        stroke(page, QStringLiteral("scalaV_%1").arg(y), mm(0, y - kLine / 2, tickLength(y), kLine));
        if (y % 10 == 0 && y < 290)
            if (report::TextBox *text = page.addText(QStringLiteral("numeroV_%1").arg(y), mm(4.5, y + 0.3, 8, 3))) {
                text->Font = report::TextFont{QStringLiteral("Arial"), kScaleFont};
                text->setText(QString::number(y));
            }
    }
    return document;
}

} // namespace tavolux
