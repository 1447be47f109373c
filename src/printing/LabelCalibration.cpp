#include "printing/LabelCalibration.h"

#include "platform/IniFile.h"
#include "platform/TextUtil.h"
#include "printing/EnvelopeSettings.h"
#include "report/Report.h"

#include <algorithm>
#include <cmath>

namespace tavolux {

namespace {

double tenths(double mm)
{
    if (!std::isfinite(mm))
        return 0;
    const double bounded = std::clamp(mm, -LabelCalibration::kLimitMm, LabelCalibration::kLimitMm);
    return std::round(bounded * 10) / 10;
}

} // namespace

LabelCalibration::LabelCalibration(const ProgramFolder &folder)
    : m_path(folder.file(EnvelopeSettings::fileName()))
{
}

QString LabelCalibration::format(double mm)
{
    const double value = tenths(mm);
    QString text = QString::number(value, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

double LabelCalibration::parse(const QString &text)
{
    QString number = trimText(text);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? tenths(value) : 0;
}

LabelCalibration::LabelCalibration(const ProgramFolder &folder, const QString &section)
    : m_path(folder.file(EnvelopeSettings::fileName())), m_section(section.isEmpty() ? LabelCalibration::section() : section)
{
}

LabelShift LabelCalibration::read() const
{
    const IniFile file(m_path);
    return LabelShift{parse(file.readString(m_section, horizontalKey())),
                      parse(file.readString(m_section, verticalKey()))};
}

bool LabelCalibration::write(const LabelShift &shift, QString *reason)
{
    // The section is an addition to the envelope's file: the rest of it stays byte for byte.
    IniFile file(m_path);
    return file.writeString(m_section, horizontalKey(), format(shift.x), IniFile::Style::KeepBytes, reason)
        && file.writeString(m_section, verticalKey(), format(shift.y), IniFile::Style::KeepBytes, reason);
}

void applyLabelShift(report::Report &document, const LabelShift &shift)
{
    document.page().ShiftX = shift.x;
    document.page().ShiftY = shift.y;
}

} // namespace tavolux
