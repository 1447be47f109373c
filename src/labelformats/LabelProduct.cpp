#include "labelformats/LabelProduct.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace tavolux {

namespace {

// Measures closer than this are the same: typed values in hundredths of a
// millimetre; the catalogue's makers round their figures (in inches, points)
// more coarsely, up to a few tenths.
constexpr double kTolerance = 0.005;
constexpr double kCatalogueTolerance = 1;

// "63,5": at most one decimal, a decimal comma.
QString mmText(double mm)
{
    QString text = QString::number(std::round(mm * 10) / 10, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

// Lower case, "×" as "x", a decimal comma as a dot.
QString folded(const QString &text)
{
    QString out = text.toLower();
    out.replace(QChar(0x00D7), QLatin1Char('x'));
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}

} // namespace

int LabelProduct::labelsPerSheet() const
{
    if (roll)
        return 1;
    qint64 count = 0;
    for (const Layout &layout : layouts)
        count += qint64(std::max(layout.columns, 0)) * std::max(layout.rows, 0);
    return int(std::min<qint64>(count, kMaxLabelsPerSheet * 10));
}

QList<QRectF> LabelProduct::labelRectsMm() const
{
    QList<QRectF> rects;
    if (roll) {
        rects << QRectF(QPointF(0, 0), labelMm);
        return rects;
    }
    const int count = labelsPerSheet();
    if (count > kMaxLabelsPerSheet)
        return rects;
    rects.reserve(count);
    for (const Layout &layout : layouts)
        for (int row = 0; row < layout.rows; ++row)
            for (int column = 0; column < layout.columns; ++column)
                rects << QRectF(layout.x0 + column * layout.dx, layout.y0 + row * layout.dy, labelMm.width(),
                                labelMm.height());
    return rects;
}

QString LabelProduct::sizeText() const
{
    return mmText(labelMm.width()) + QStringLiteral(" \u00D7 ") + mmText(labelMm.height()) + QStringLiteral(" mm");
}

QString LabelProduct::title() const
{
    if (brand.isEmpty())
        return part;
    return brand + QLatin1Char(' ') + part;
}

QString LabelProduct::id() const
{
    switch (source) {
    case Source::BuiltIn:
        return builtInId();
    case Source::Catalogue:
        return catalogueProductId(brand, part);
    case Source::Own:
        break;
    }
    return ownProductId(part);
}

bool LabelProduct::matches(const QString &search) const
{
    // "63.5 x 38" is one word, a size: "63.5x38".
    static const QRegularExpression sizeGap(QStringLiteral("(\\d)\\s*x\\s*(\\d)"));
    const QStringList words = folded(search).replace(sizeGap, QStringLiteral("\\1x\\2")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return true;
    const QString size = folded(sizeText());
    QString compact = size;
    compact.remove(QLatin1Char(' '));
    const QString text = folded(brand) + QLatin1Char('\n') + folded(part) + QLatin1Char('\n') + folded(description)
        + QLatin1Char('\n') + folded(paperName) + QLatin1Char('\n') + size + QLatin1Char('\n') + compact
        + QLatin1Char('\n') + folded(equivalentOf);
    for (const QString &word : words)
        if (!text.contains(word))
            return false;
    return true;
}

const LabelProduct &LabelProduct::builtIn()
{
    static const LabelProduct product = [] {
        LabelProduct p;
        p.source = Source::BuiltIn;
        p.part = QStringLiteral("A4, 24 etichette 62 x 32 mm");
        p.description = QStringLiteral("Foglio di Tavolux");
        p.paperId = QStringLiteral("A4");
        p.paperName = QStringLiteral("A4");
        p.pageMm = QSizeF(210, 297);
        p.labelMm = QSizeF(62, 32);
        p.layouts << Layout{3, 8, 10, 10, 64, 35};
        return p;
    }();
    return product;
}

QString catalogueProductId(const QString &brand, const QString &part)
{
    return QStringLiteral("catalogo:") + brand + QLatin1Char(':') + part;
}

QString ownProductId(const QString &name)
{
    return QStringLiteral("proprio:") + name;
}

QStringList checkLabelProduct(const LabelProduct &product)
{
    QStringList faults;
    const double tolerance = product.source == LabelProduct::Source::Catalogue ? kCatalogueTolerance : kTolerance;
    if (product.source == LabelProduct::Source::Own) {
        const QString name = product.part.trimmed();
        if (name.isEmpty())
            faults << QStringLiteral("Dare un nome al formato.");
        else if (name != product.part || name.size() > 60 || name.contains(QLatin1Char('['))
                 || name.contains(QLatin1Char(']')) || name.contains(QLatin1Char('"'))
                 || std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 32; }))
            faults << QStringLiteral("Il nome del formato non può contenere parentesi quadre, virgolette o spazi iniziali e finali (al massimo 60 caratteri).");
    }
    auto positive = [](double value) { return std::isfinite(value) && value > 0; };
    auto sound = [](double value) { return std::isfinite(value) && value >= 0; };
    if (!positive(product.pageMm.width()) || !positive(product.pageMm.height())
        || product.pageMm.width() > kMaxPageSideMm || product.pageMm.height() > kMaxPageSideMm)
        faults << QStringLiteral("La pagina deve misurare da 1 a %1 mm per lato.").arg(int(kMaxPageSideMm));
    if (!positive(product.labelMm.width()) || !positive(product.labelMm.height()))
        faults << QStringLiteral("Larghezza e altezza dell'etichetta devono essere maggiori di zero.");
    if (product.layouts.isEmpty())
        faults << QStringLiteral("Il foglio non ha etichette.");
    if (!faults.isEmpty())
        return faults;

    qint64 labels = 0;
    for (const LabelProduct::Layout &layout : product.layouts) {
        if (layout.columns < 1 || layout.rows < 1) {
            faults << QStringLiteral("Colonne e righe devono essere almeno 1.");
            continue;
        }
        labels += qint64(layout.columns) * layout.rows;
        if (!sound(layout.x0) || !sound(layout.y0))
            faults << QStringLiteral("I margini sinistro e superiore non possono essere negativi.");
        if (!std::isfinite(layout.dx) || !std::isfinite(layout.dy) || layout.dx < 0 || layout.dy < 0)
            faults << QStringLiteral("I passi orizzontale e verticale non possono essere negativi.");
        if (layout.columns > 1 && layout.dx + tolerance < product.labelMm.width())
            faults << QStringLiteral("Il passo orizzontale è minore della larghezza dell'etichetta: le etichette si sovrappongono.");
        if (layout.rows > 1 && layout.dy + tolerance < product.labelMm.height())
            faults << QStringLiteral("Il passo verticale è minore dell'altezza dell'etichetta: le etichette si sovrappongono.");
    }
    if (labels > kMaxLabelsPerSheet)
        faults << QStringLiteral("Un foglio può avere al massimo %1 etichette.").arg(kMaxLabelsPerSheet);
    if (!faults.isEmpty()) {
        faults.removeDuplicates();
        return faults;
    }

    const QList<QRectF> rects = product.labelRectsMm();
    const QRectF page(QPointF(0, 0), product.pageMm);
    const QRectF room = page.adjusted(-tolerance, -tolerance, tolerance, tolerance);
    for (const QRectF &rect : rects) {
        if (!room.contains(rect)) {
            if (rect.right() > room.right())
                faults << QStringLiteral("Le etichette escono dal bordo destro della pagina.");
            if (rect.bottom() > room.bottom())
                faults << QStringLiteral("Le etichette escono dal bordo inferiore della pagina.");
            break;
        }
    }
    // Labels of different layouts may overlap too.
    if (product.layouts.size() > 1) {
        for (qsizetype i = 0; i < rects.size() && faults.isEmpty(); ++i)
            for (qsizetype j = i + 1; j < rects.size(); ++j) {
                const QRectF common = rects[i].intersected(rects[j]);
                if (common.width() > tolerance && common.height() > tolerance) {
                    faults << QStringLiteral("Le etichette si sovrappongono.");
                    break;
                }
            }
    }
    return faults;
}

} // namespace tavolux
