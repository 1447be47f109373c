#pragma once

#include "printing/LabelCalibration.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

namespace tavolux {

struct SheetFormat;

namespace report {
class Report;
}

// The test sheet of the calibration, printed on a sheet of labels: each of
// the 24 labels has its outline just inside its edges, a small cross on each
// of its corners, read against the label's die-cut corner, its number, the
// shift the sheet was printed with and how to read the crosses. Everything
// is moved by the shift and lies at least 5 mm inside the paper's edges.
class CalibrationSheet
{
public:
    static QString name() { return QStringLiteral("Foglio di prova"); }
    // "Etichetta 7": the text at the top left of each outline.
    static QString labelText(int slot);
    // "Stampato con Orizzontale 1,5 mm e Verticale -0,7 mm."
    static QString shiftText(const LabelShift &shift);
    // How to read the crosses and change the values.
    static QString readingText();
    // In mm from the paper's corner, before the shift.
    static QRectF outlineMm(int slot);

    static constexpr double kStrokeMm = 0.2;   // every outline and cross
    static constexpr double kCrossArmMm = 1.5; // from the corner

    static std::unique_ptr<report::Report> create(const LabelShift &shift);
    // The test sheet of a sheet format: each of its labels outlined and
    // crossed the same way, on its paper; the texts where the label has room
    // for them. The built-in format gives the sheet above.
    static std::unique_ptr<report::Report> create(const SheetFormat &format, const LabelShift &shift);
    // Each label's outline of the format, in mm from the paper's corner.
    static QList<QRectF> outlinesMm(const SheetFormat &format);
};

} // namespace tavolux
