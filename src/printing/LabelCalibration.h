#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace tavolux {

namespace report {
class Report;
}

// How far the user's printer needs the label sheets moved, in mm: right and
// down when positive. Kept in Impostazioni.ini, section "Calibrazione
// Etichette", as millimetres with a decimal comma; missing or unreadable
// values are no shift.
struct LabelShift
{
    double x = 0;
    double y = 0;

    bool operator==(const LabelShift &other) const { return x == other.x && y == other.y; }
};

class LabelCalibration
{
public:
    static constexpr double kLimitMm = 10;

    static QString section() { return QStringLiteral("Calibrazione Etichette"); }
    static QString horizontalKey() { return QStringLiteral("Orizzontale"); }
    static QString verticalKey() { return QStringLiteral("Verticale"); }

    explicit LabelCalibration(const ProgramFolder &folder);
    // The calibration of one sheet format: a section of its own
    // (LabelFormatSettings::calibrationSection), the built-in one's above.
    LabelCalibration(const ProgramFolder &folder, const QString &section);

    LabelShift read() const;
    // Writes both values, rounded to tenths of a millimetre and kept within
    // the limit; false when the file cannot be written.
    bool write(const LabelShift &shift, QString *reason = nullptr);

    // "1,5", "-0,7", "0": a shift as the file and the dialog show it.
    static QString format(double mm);
    // The value of a text in tenths of a millimetre, within the limit; 0 when
    // the text is no number.
    static double parse(const QString &text);

private:
    QString m_path;
    QString m_section = section();
};

// Moves every object of a template page by the shift.
void applyLabelShift(report::Report &document, const LabelShift &shift);

} // namespace tavolux
