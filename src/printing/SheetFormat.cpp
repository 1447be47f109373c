#include "printing/SheetFormat.h"

#include "labelformats/LabelProduct.h"
#include "printing/LabelPageTemplate.h"
#include "report/Units.h"

#include <algorithm>

namespace tavolux {

const SheetFormat &SheetFormat::standard()
{
    static const SheetFormat format = [] {
        SheetFormat f;
        f.name = QStringLiteral("A4, 24 etichette 62 x 32 mm");
        f.leftMm = 10;
        f.topMm = 10;
        for (int slot = 1; slot <= LabelPageTemplate::kSlots; ++slot) {
            Label label{LabelPageTemplate::labelRect(slot), {}, LabelPageTemplate::shapeName(slot)};
            for (int line = 1; line <= LabelPageTemplate::kLines; ++line)
                label.lines << LabelPageTemplate::lineRect(slot, line);
            f.labels << label;
        }
        return f;
    }();
    return format;
}

SheetFormat SheetFormat::of(const LabelProduct &product)
{
    if (product.source == LabelProduct::Source::BuiltIn)
        return standard();
    using report::mmToUnits;
    SheetFormat f;
    f.id = product.id();
    f.name = product.title();
    f.paperMm = product.roll ? product.labelMm : product.pageMm;
    f.radiusMm = product.radiusMm;
    const double height = product.labelMm.height();
    int lines = 0;
    // A box that ends on the label's edge still fits: figures in inches and
    // points are not exact millimetres.
    while (lines < kLines && kTextTopMm + lines * kLinePitchMm + kTextHeightMm <= height + 1e-6)
        ++lines;
    f.droppedLines = kLines - lines;
    const double textWidth = std::max(0.0, product.labelMm.width() - kTextLeftMm - kTextRightMm);
    const QList<QRectF> rects = product.labelRectsMm();
    f.labels.reserve(rects.size());
    for (int n = 0; n < rects.size(); ++n) {
        const QRectF &mm = rects[n];
        Label label{QRectF(mmToUnits(mm.left()), mmToUnits(mm.top()), mmToUnits(mm.width()), mmToUnits(mm.height())),
                    {}, QStringLiteral("Shape%1").arg(n + 1)};
        for (int line = 0; line < lines; ++line)
            label.lines << QRectF(mmToUnits(mm.left() + kTextLeftMm), mmToUnits(mm.top() + kTextTopMm + line * kLinePitchMm),
                                  mmToUnits(textWidth), mmToUnits(kTextHeightMm));
        f.labels << label;
    }
    return f;
}

} // namespace tavolux
