#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace tavolux {

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

    int labelsPerSheet() const { return int(labels.size()); }
    int linesPerLabel() const { return labels.isEmpty() ? 0 : int(labels.first().lines.size()); }

    // A4, 3 columns by 8 rows of 62 x 32 mm inside 10 mm margins, six lines
    // each, as the label page prints them.
    static const SheetFormat &standard();
};

} // namespace tavolux
