#include "report/TextFont.h"

#include "report/Units.h"

#include <QFontMetricsF>
#include <QHash>

namespace tavolux::report {

namespace {

// Text is measured and drawn at a large whole pixel size and scaled, so
// hinting and the rounding of font sizes to whole pixels play no part.
constexpr int kMeasurePixels = 1000;

QString freeSubstitute(const QString &family)
{
    static const QHash<QString, QString> substitutes{
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("verdana"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("tahoma"), QStringLiteral("DejaVu Sans")},
    };
    return substitutes.value(family.toLower());
}

} // namespace

double TextFont::sizeInUnits() const
{
    return pointSize * kUnitsPerPoint;
}

QFont TextFont::baseFont() const
{
    QFont font;
    QStringList families{family};
    const QString substitute = freeSubstitute(family);
    if (!substitute.isEmpty())
        families << substitute;
    font.setFamilies(families);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

QFont TextFont::drawingFont() const
{
    QFont font = baseFont();
    font.setPixelSize(kMeasurePixels);
    return font;
}

double TextFont::unitsPerPixel() const
{
    return sizeInUnits() / kMeasurePixels;
}

FontMeasure::FontMeasure(const TextFont &font)
    : m_font(font.drawingFont())
{
    m_scale = font.unitsPerPixel();
    const QFontMetricsF metrics(m_font);
    m_ascent = metrics.ascent() * m_scale;
    m_lineSpacing = metrics.lineSpacing() * m_scale;
}

double FontMeasure::width(const QString &text) const
{
    return QFontMetricsF(m_font).horizontalAdvance(text) * m_scale;
}

bool fitsWidth(const FontMeasure &measure, const QString &text, double width)
{
    // The same tolerance as the layout's other comparisons.
    constexpr double kEps = 1e-6;
    return measure.width(text) <= width + kEps;
}

} // namespace tavolux::report
