#include "printing/EnvelopeFormat.h"

#include <algorithm>

namespace tavolux {

QPointF EnvelopeFormat::addressMm(const QSizeF &pageMm) const
{
    if (isPage())
        return QPointF(119, 57);
    return QPointF(pageMm.width() / 2, pageMm.height() * 0.55);
}

namespace envelopeFormats {

namespace {

EnvelopeFormat envelope(const char *key, const char *caption, double shortSide, double longSide)
{
    return EnvelopeFormat{EnvelopeFormat::Kind::Envelope, QLatin1String(key), QString::fromUtf8(caption),
                          QSizeF(shortSide, longSide)};
}

} // namespace

const QList<EnvelopeFormat> &all()
{
    static const QList<EnvelopeFormat> formats{
        EnvelopeFormat{EnvelopeFormat::Kind::Page, QStringLiteral("A4"), QStringLiteral("Foglio A4 (210 × 297 mm)"),
                       QSizeF(210, 297)},
        envelope("DL", "Busta DL (110 × 220 mm)", 110, 220),
        envelope("Commerciale", "Busta commerciale (110 × 230 mm)", 110, 230),
        envelope("C6", "Busta C6 (114 × 162 mm)", 114, 162),
        envelope("C5", "Busta C5 (162 × 229 mm)", 162, 229),
        envelope("C4", "Busta C4 (229 × 324 mm)", 229, 324),
        EnvelopeFormat{EnvelopeFormat::Kind::Own, QStringLiteral("Personalizzata"),
                       QStringLiteral("Busta personalizzata"), QSizeF(114, 229)},
    };
    return formats;
}

const EnvelopeFormat &page()
{
    return all().first();
}

const EnvelopeFormat *find(const QString &key)
{
    for (const EnvelopeFormat &format : all())
        if (format.key.compare(key, Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

EnvelopeFormat own(int shortSideMm, int longSideMm)
{
    EnvelopeFormat format = all().last();
    const int a = std::clamp(shortSideMm, kOwnMinMm, kOwnMaxMm);
    const int b = std::clamp(longSideMm, kOwnMinMm, kOwnMaxMm);
    format.sizeMm = QSizeF(std::min(a, b), std::max(a, b));
    return format;
}

} // namespace envelopeFormats

} // namespace tavolux
