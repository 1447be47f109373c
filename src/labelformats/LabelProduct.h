#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace tavolux {

// One label product as the program offers it: a sheet (or a roll) of
// rectangular labels of one size, laid out in one or more grids. Every
// measure is in millimetres from the page's top-left corner.
struct LabelProduct
{
    enum class Source {
        BuiltIn,   // the label page's own A4 sheet of 24
        Catalogue, // a product of the installed label catalogue
        Own,       // a format the user made ("Nuovo formato...")
    };

    // A grid of labels: `columns` x `rows`, the first label's corner at
    // (x0, y0), the next one `dx` to the right and `dy` further down.
    struct Layout
    {
        int columns = 1;
        int rows = 1;
        double x0 = 0;
        double y0 = 0;
        double dx = 0;
        double dy = 0;
        bool operator==(const Layout &o) const
        {
            return columns == o.columns && rows == o.rows && x0 == o.x0 && y0 == o.y0 && dx == o.dx && dy == o.dy;
        }
    };

    Source source = Source::Own;
    QString brand;       // "Avery"; empty for the user's own formats
    QString part;        // "L7160"; the name of a format of the user's own
    QString description; // "Address Labels"
    QString equivalentOf; // the catalogue's part this one copies, where it does
    QString paperId;     // "A4", "US-Letter", ...; "Other" for a page of its own size
    QString paperName;   // "A4", "US Letter", ...
    QSizeF pageMm;       // the page; a roll's page is one label
    QSizeF labelMm;
    double radiusMm = 0; // the labels' corner radius
    bool roll = false;   // a roll for a label printer: one label per page
    QList<Layout> layouts;

    // All labels of one sheet (one for a roll).
    int labelsPerSheet() const;
    // Each label's rectangle on the page, in mm: layout after layout, each
    // row by row from the top left. A roll's one label fills its page.
    QList<QRectF> labelRectsMm() const;

    // "63,5 × 38,1 mm": the label's size with a decimal comma, at most one
    // decimal, as the format lists show it.
    QString sizeText() const;
    // "Avery L7160", or the own format's name, or the built-in sheet's name.
    QString title() const;
    // The name kept in Impostazioni.ini for this format: "standard" for the
    // built-in one, "catalogo:<brand>:<part>" and "proprio:<name>".
    QString id() const;

    // Whether every word of a search matches this product's brand, part,
    // description, paper or size, without regard to case; "63,5 x 38" and
    // "63.5×38" are the same search. An empty search matches everything.
    bool matches(const QString &search) const;

    // The built-in format: A4, 3 columns by 8 rows of 62 x 32 mm from 10 mm
    // down and across, 64 and 35 mm apart.
    static const LabelProduct &builtIn();
    static QString builtInId() { return QStringLiteral("standard"); }
};

// Checks a format of the user's own as it is typed: an Italian message per
// fault (sizes not positive, no columns or rows, labels off the page,
// labels overlapping, too many labels); empty when the format is sound.
QStringList checkLabelProduct(const LabelProduct &product);

// The most labels one sheet may carry, and the largest page side in mm.
constexpr int kMaxLabelsPerSheet = 1000;
constexpr double kMaxPageSideMm = 2000;

// The name kept in Impostazioni.ini of a catalogue product or own format.
QString catalogueProductId(const QString &brand, const QString &part);
QString ownProductId(const QString &name);

} // namespace tavolux
