#include "printing/CalibrationSheet.h"

#include "printing/LabelPageTemplate.h"
#include "printing/SheetFormat.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

namespace tavolux {

namespace {

using report::mmToUnits;

constexpr double kLine = CalibrationSheet::kStrokeMm;
constexpr double kArm = CalibrationSheet::kCrossArmMm;

QRectF mm(double left, double top, double width, double height)
{
    return QRectF(mmToUnits(left), mmToUnits(top), mmToUnits(width), mmToUnits(height));
}

// A black stroke exactly as wide as the rectangle: a fill without outline.
void stroke(report::ReportPage &page, const QString &name, const QRectF &units)
{
    if (report::Shape *shape = page.addShape(name, units)) {
        shape->Fill = Qt::black;
        shape->Outline = QColor();
    }
}

report::TextBox *text(report::ReportPage &page, const QString &name, const QRectF &units, double points,
                      const QString &value, bool wrap)
{
    report::TextBox *box = page.addText(name, units);
    if (!box)
        return nullptr;
    box->Font = report::TextFont{QStringLiteral("Arial"), points};
    box->WordWrap = wrap;
    box->setText(value);
    return box;
}

} // namespace

QString CalibrationSheet::labelText(int slot)
{
    return QStringLiteral("Etichetta %1").arg(slot);
}

QString CalibrationSheet::shiftText(const LabelShift &shift)
{
    return QStringLiteral("Stampato con Orizzontale %1 mm e Verticale %2 mm.")
        .arg(LabelCalibration::format(shift.x), LabelCalibration::format(shift.y));
}

QString CalibrationSheet::readingText()
{
    return QStringLiteral("Se la croce è spostata di x mm a destra, diminuire Orizzontale di x; "
                          "se è spostata a sinistra, aumentarlo di x. "
                          "Se è spostata di y mm in basso, diminuire Verticale di y; "
                          "se è spostata in alto, aumentarlo di y.");
}

QRectF CalibrationSheet::outlineMm(int slot)
{
    return QRectF(10 + 64 * LabelPageTemplate::columnOf(slot), 10 + 35 * LabelPageTemplate::rowOf(slot), 62, 32);
}

QList<QRectF> CalibrationSheet::outlinesMm(const SheetFormat &format)
{
    QList<QRectF> outlines;
    if (format.isStandard()) {
        for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot)
            outlines << outlineMm(slot);
        return outlines;
    }
    for (const SheetFormat::Label &label : format.labels)
        outlines << QRectF(format.leftMm + report::unitsToMm(label.rect.left()),
                           format.topMm + report::unitsToMm(label.rect.top()), report::unitsToMm(label.rect.width()),
                           report::unitsToMm(label.rect.height()));
    return outlines;
}

std::unique_ptr<report::Report> CalibrationSheet::create(const LabelShift &shift)
{
    return create(SheetFormat::standard(), shift);
}

std::unique_ptr<report::Report> CalibrationSheet::create(const SheetFormat &format, const LabelShift &shift)
{
    auto document = std::make_unique<report::Report>(name());
    report::ReportPage &page = document->page();
    page.PaperWidth = format.paperMm.width();
    page.PaperHeight = format.paperMm.height();
    page.Orientation = format.landscape() ? report::Orientation::Landscape : report::Orientation::Portrait;
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 0;
    page.ShiftX = shift.x;
    page.ShiftY = shift.y;

    const QList<QRectF> outlines = outlinesMm(format);
    for (int slot = 1; slot <= outlines.size(); ++slot) {
        const QRectF label = outlines.at(slot - 1);
        const QString id = QStringLiteral("%1").arg(slot, 2, 10, QLatin1Char('0'));
        // The outline as four strokes inside the label's edges.
        stroke(page, QStringLiteral("bordoA_") + id, mm(label.left(), label.top(), label.width(), kLine));
        stroke(page, QStringLiteral("bordoB_") + id, mm(label.left(), label.bottom() - kLine, label.width(), kLine));
        stroke(page, QStringLiteral("bordoS_") + id, mm(label.left(), label.top(), kLine, label.height()));
        stroke(page, QStringLiteral("bordoD_") + id, mm(label.right() - kLine, label.top(), kLine, label.height()));
        // A cross centred on each corner: top left, top right, bottom left, bottom right.
        const QPointF corners[] = {label.topLeft(), label.topRight(), label.bottomLeft(), label.bottomRight()};
        for (int c = 0; c < 4; ++c) {
            const QPointF at = corners[c];
            const QString suffix = QStringLiteral("%1_%2").arg(c + 1).arg(id);
            stroke(page, QStringLiteral("croceO") + suffix, mm(at.x() - kArm, at.y() - kLine / 2, 2 * kArm, kLine));
            stroke(page, QStringLiteral("croceV") + suffix, mm(at.x() - kLine / 2, at.y() - kArm, kLine, 2 * kArm));
        }
        const double left = label.left() + 2;
        const double width = label.width() - 4;
        if (width <= 0)
            continue;
        // Each text only where the label holds it.
        if (label.height() >= 2 + 3.5)
            text(page, QStringLiteral("txtEtichetta_") + id, mm(left, label.top() + 2, width, 3.5), 7, labelText(slot), false);
        if (label.height() >= 6 + 3)
            text(page, QStringLiteral("txtSpostamento_") + id, mm(left, label.top() + 6, width, 3), 6, shiftText(shift), false);
        if (label.height() >= 10 + 12)
            text(page, QStringLiteral("txtLettura_") + id, mm(left, label.top() + 10, width, 12), 6, readingText(), true);
    }
    return document;
}

} // namespace tavolux
