#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

#include <memory>

namespace tavolux::report {

// A font as a template names it: family, size in points and style.
struct TextFont
{
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    // Size in template units (1/96 inch).
    double sizeInUnits() const;

    // The font to draw with, its family followed by the closest free font
    // (Liberation Sans for Arial, Liberation Mono for Courier New, DejaVu Sans
    // for Verdana and Tahoma). Its size is set by the caller.
    QFont baseFont() const;

    // The font text is drawn and measured with: baseFont() at a large whole
    // pixel size, so that no device rounds it. Scaled by unitsPerPixel() it
    // measures sizeInUnits() exactly.
    QFont drawingFont() const;
    double unitsPerPixel() const;
};

struct FontMetricsCache;

// Text measures of a font in template units, independent of any screen.
// Cheap to make: the font's metrics and the widths already measured are
// shared by every measure of the same drawing font.
class FontMeasure
{
public:
    explicit FontMeasure(const TextFont &font);

    double ascent() const { return m_ascent; }
    double lineSpacing() const { return m_lineSpacing; }
    double width(const QString &text) const;

    // A rectangle that holds all the ink of the text drawn from (0, 0) on
    // its baseline, in units, from the bounds of its characters. Null when
    // the text has characters whose ink this cannot bound (marks, characters
    // outside Latin), which shaping may move or join.
    QRectF inkBounds(const QString &text) const;

    // How far right of the text's start its ink reaches, glyph by glyph: for
    // each character its origin plus the right edge of its own ink. Where
    // inkBounds() cannot bound the text, its right edge.
    double inkRight(const QString &text) const;

private:
    std::shared_ptr<FontMetricsCache> m_metrics;
    double m_scale = 1;
    double m_ascent = 0;
    double m_lineSpacing = 0;
};

// Whether a line of text set from a box's left edge fits a box "width" units
// wide. Layout cuts a line at the box's right edge exactly when this is false.
bool fitsWidth(const FontMeasure &measure, const QString &text, double width);

// Whether a line set from a box's left edge prints whole in a box "width"
// units wide, as layout and painting treat it: every character starts left
// of the right edge (layout drops the others) and no ink reaches past the
// edge (the clip would cut it). A glyph whose ink overhangs its advance may
// be cut although the text fits; one drawn well inside its advance may pass
// the edge by its advance and still print whole.
bool printsWhole(const FontMeasure &measure, const QString &text, double width);

} // namespace tavolux::report
