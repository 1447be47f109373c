#pragma once

#include "report/ReportObject.h"

#include <QColor>

namespace tavolux::report {

// A rectangle with a fill and an outline colour (either may be invalid: none).
class Shape : public ReportObject
{
public:
    explicit Shape(const QString &name)
        : ReportObject(Kind::Shape, name)
    {
    }

    QColor Fill = Qt::white;
    QColor Outline = Qt::black;
    // A guide is shown in the preview and never printed.
    bool Guide = false;
};

} // namespace tavolux::report
