#pragma once

#include "report/TextFont.h"
#include "report/ReportPage.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace tavolux::report {

// One thing to draw on a prepared page. All positions are in units of 1/96
// inch from the paper's top-left corner.
struct PlacedItem
{
    enum class Kind { Rect, Text };

    Kind kind = Kind::Rect;
    QString source;   // name of the template object it comes from
    QRectF rect;      // Rect: the rectangle. Text: x of the text's start, top
                      // of its line, its width and the line's height.
    QRectF clip;      // drawing is cut at this rectangle

    // Rect
    QColor fill;      // invalid: no fill
    QColor outline;   // invalid: no outline
    bool guide = false; // painted in the preview only

    // Text: one line of one text box, already cut to what the clip shows.
    QString text;
    TextFont font;
    QColor color;
    double baseline = 0; // from the top of the line
    bool clipped = true; // false: all its ink lies inside the clip, which then cuts nothing
};

// A laid-out page: paper size in units and the items in drawing order.
struct PreparedPage
{
    QSizeF paper;
    report::Orientation orientation = Orientation::Portrait;
    QList<PlacedItem> items;

    // The text items only, or those of one template object.
    QList<PlacedItem> texts(const QString &source = QString()) const;
    QList<PlacedItem> rects(const QString &source = QString()) const;
};

} // namespace tavolux::report
