#pragma once

#include "labelformats/LabelProduct.h"

namespace tavolux {

// An own format of 4 x 13 labels of 40 x 20 mm on A4: its lines are 36.2 mm
// wide, and only three of the six fit in a label.
inline LabelProduct narrowLabels()
{
    LabelProduct own;
    own.part = QStringLiteral("Stretta 40");
    own.paperId = QStringLiteral("A4");
    own.pageMm = QSizeF(210, 297);
    own.labelMm = QSizeF(40, 20);
    own.layouts << LabelProduct::Layout{4, 13, 10, 10, 45, 21};
    return own;
}

} // namespace tavolux
