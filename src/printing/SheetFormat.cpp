#include "printing/SheetFormat.h"

#include "printing/LabelPageTemplate.h"

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

} // namespace tavolux
