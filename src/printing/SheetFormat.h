#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace tavolux {

struct LabelProduct;

// A sheet of labels as data: its paper, where the labels' positions count
// from, and each label's rectangle and the boxes of its lines, in template
// units from that corner; the font and background every label prints with.
// Labels are numbered from 1 in reading order. The built-in format is the
// label page's A4 sheet of 24 labels.
struct SheetFormat
{
    struct Label
    {
        QRectF rect;
        QList<QRectF> lines;    // line 1 first
        QString backgroundName; // the template's name of its background
    };

    QString name;
    QSizeF paperMm{210, 297};
    double leftMm = 0; // the corner positions count from
    double topMm = 0;
    QList<Label> labels;
    QString fontFamily = QStringLiteral("Arial");
    double pointSize = 7;
    QColor background = QColor(0xFF, 0xFF, 0xE0);
    // The label product's id (LabelProduct::id()), its labels' corner
    // radius in mm, and the lines of six a label has no room for.
    QString id = QStringLiteral("standard");
    double radiusMm = 0;
    int droppedLines = 0;

    int labelsPerSheet() const { return int(labels.size()); }
    int linesPerLabel() const { return labels.isEmpty() ? 0 : int(labels.first().lines.size()); }
    bool isStandard() const { return id == QLatin1String("standard"); }
    // A page wider than it is high prints in landscape.
    bool landscape() const { return paperMm.width() > paperMm.height(); }

    // A4, 3 columns by 8 rows of 62 x 32 mm inside 10 mm margins, six lines
    // each, as the label page prints them.
    static const SheetFormat &standard();

    // The sheet of a label product: the built-in product is standard(); any
    // other has its labels where the product puts them, positions counted
    // from the paper's corner, and in each label the lines laid out as in a
    // label of standard() below its top row: 2 mm from the label's left and
    // top edges, 5 mm apart, 3.5 mm high, as wide as the label less 3.8 mm.
    // Of the six lines, those whose box would reach below the label are left
    // out (droppedLines). A roll's page is its one label.
    static SheetFormat of(const LabelProduct &product);

    static constexpr int kLines = 6;
    static constexpr double kTextLeftMm = 2;
    static constexpr double kTextTopMm = 2;
    static constexpr double kLinePitchMm = 5;
    static constexpr double kTextHeightMm = 3.5;
    static constexpr double kTextRightMm = 1.8;
};

} // namespace tavolux
