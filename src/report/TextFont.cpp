#include "report/TextFont.h"

#include "report/Units.h"

#include <QFontMetricsF>
#include <QHash>

#include <algorithm>

namespace tavolux::report {

namespace {

// Text is measured and drawn at a large whole pixel size and scaled, so
// hinting and the rounding of font sizes to whole pixels play no part. Qt
// keeps the metrics of a glyph only while it fits 255 pixels: at this size
// every glyph of the fonts used is measured once, not at every line.
constexpr int kMeasurePixels = 200;

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

// One drawing font's metrics, and the widths of the texts measured with it
// in its pixels.
struct FontMetricsCache
{
    explicit FontMetricsCache(const QFont &font)
        : metrics(font), ascent(metrics.ascent()), lineSpacing(metrics.lineSpacing())
    {
    }

    QFontMetricsF metrics;
    double ascent;
    double lineSpacing;
    QHash<QString, double> widths;

    // A character's ink from its origin: left, top and bottom edges, and how
    // far its right edge lies past its advance. In pixels.
    struct Ink
    {
        double left, top, bottom, overhang, advance;
    };
    QHash<char16_t, Ink> inks;

    const Ink &ink(QChar ch)
    {
        const char16_t code = ch.unicode();
        auto it = inks.constFind(code);
        if (it == inks.constEnd()) {
            const QRectF box = metrics.boundingRect(ch);
            const double advance = metrics.horizontalAdvance(ch);
            it = inks.insert(code, {box.left(), box.top(), box.bottom(), box.right() - advance, advance});
        }
        return *it;
    }
};

namespace {

// Characters whose ink the font's own bounds give: Latin, no marks. Beyond
// that, shaping may place glyphs other than the characters' own.
bool boundable(QChar ch)
{
    return ch.unicode() <= 0x017F && !ch.isMark() && !ch.isSurrogate();
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

// What tells drawing fonts apart: they all have the same pixel size.
static QString drawingKey(const TextFont &font)
{
    QString key = font.family;
    key += QLatin1Char('\n');
    key += QLatin1Char(char('0' + (font.bold ? 1 : 0) + (font.italic ? 2 : 0) + (font.underline ? 4 : 0)
                            + (font.strikeOut ? 8 : 0)));
    return key;
}

QFont TextFont::drawingFont() const
{
    // Kept for the thread's life and never destroyed: fonts must not outlive
    // the application on the way out.
    thread_local auto *cache = new QHash<QString, QFont>;
    QHash<QString, QFont> &fonts = *cache;
    const QString key = drawingKey(*this);
    auto it = fonts.constFind(key);
    if (it == fonts.constEnd()) {
        QFont font = baseFont();
        font.setPixelSize(kMeasurePixels);
        it = fonts.insert(key, font);
    }
    return *it;
}

double TextFont::unitsPerPixel() const
{
    return sizeInUnits() / kMeasurePixels;
}

FontMeasure::FontMeasure(const TextFont &font)
{
    thread_local auto *caches = new QHash<QString, std::shared_ptr<FontMetricsCache>>;
    std::shared_ptr<FontMetricsCache> &cache = (*caches)[drawingKey(font)];
    if (!cache)
        cache = std::make_shared<FontMetricsCache>(font.drawingFont());
    m_metrics = cache;
    m_scale = font.unitsPerPixel();
    m_ascent = m_metrics->ascent * m_scale;
    m_lineSpacing = m_metrics->lineSpacing * m_scale;
}

double FontMeasure::width(const QString &text) const
{
    // Labels repeat few texts; a full memory starts over rather than grow.
    constexpr qsizetype kMaxRemembered = 8192;
    QHash<QString, double> &widths = m_metrics->widths;
    auto it = widths.constFind(text);
    if (it != widths.constEnd())
        return *it * m_scale;
    if (widths.size() >= kMaxRemembered)
        widths.clear();
    const double pixels = m_metrics->metrics.horizontalAdvance(text);
    widths.insert(text, pixels);
    return pixels * m_scale;
}

QRectF FontMeasure::inkBounds(const QString &text) const
{
    if (text.isEmpty())
        return QRectF();
    // Each character's ink starts at its origin plus its left edge, and no
    // origin lies left of the text's start; it ends at most its overhang past
    // its advance, and no advance ends past the text's width (no kerning).
    double left = 0, top = 0, bottom = 0, overhang = 0;
    for (const QChar ch : text) {
        if (!boundable(ch))
            return QRectF();
        const FontMetricsCache::Ink &ink = m_metrics->ink(ch);
        left = std::min(left, ink.left);
        top = std::min(top, ink.top);
        bottom = std::max(bottom, ink.bottom);
        overhang = std::max(overhang, ink.overhang);
    }
    const double right = width(text) + overhang * m_scale;
    return QRectF(left * m_scale, top * m_scale, right - left * m_scale, (bottom - top) * m_scale);
}

double FontMeasure::inkRight(const QString &text) const
{
    // Without kerning each character starts where the ones before it end.
    double origin = 0, right = 0;
    for (const QChar ch : text) {
        if (!boundable(ch))
            return inkBounds(text).right();
        const FontMetricsCache::Ink &ink = m_metrics->ink(ch);
        origin += ink.advance;
        right = std::max(right, origin + ink.overhang);
    }
    // A text the shaper set otherwise (a ligature): the bound of the whole.
    if (qAbs(origin * m_scale - width(text)) > 1e-6)
        return inkBounds(text).right();
    return right * m_scale;
}

namespace {
// The same tolerance as the layout's other comparisons.
constexpr double kEps = 1e-6;
} // namespace

bool fitsWidth(const FontMeasure &measure, const QString &text, double width)
{
    return measure.width(text) <= width + kEps;
}

bool printsWhole(const FontMeasure &measure, const QString &text, double width)
{
    if (text.isEmpty())
        return true;
    if (!fitsWidth(measure, text, width) && !(measure.width(text.left(text.size() - 1)) < width - kEps))
        return false; // the last character starts at the edge or past it: dropped
    return measure.inkRight(text) <= width + kEps;
}

} // namespace tavolux::report
