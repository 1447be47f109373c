#pragma once

#include "printing/LabelCalibration.h"

#include <QRectF>
#include <QString>

#include <memory>

namespace tavolux {

namespace report {
class Report;
}

// The test sheet of the calibration: the 24 label outlines at their places on
// the sheet, a cross at the centre of each, the label's number inside it and
// a millimetre scale along the top and left edges, all moved by the shift.
class CalibrationSheet
{
public:
    static QString name() { return QStringLiteral("Foglio di prova"); }
    // "Etichetta 7": the text at the top left of each outline.
    static QString labelText(int slot);
    // In mm from the paper's corner, before the shift.
    static QRectF outlineMm(int slot);

    static std::unique_ptr<report::Report> create(const LabelShift &shift);
};

} // namespace tavolux
