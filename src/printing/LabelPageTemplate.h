#pragma once

#include "report/TextFont.h"

#include <QRectF>
#include <QString>

#include <memory>

namespace tavolux {

namespace report {
class Report;
}
struct SheetFormat;

// The label-page template: an A4 sheet of 24 labels, 3 columns by 8 rows,
// inside 10 mm margins, each with six lines of text on a light-yellow
// background. Slots are numbered 1 to 24 row by row; lines 1 to 6.
class LabelPageTemplate
{
public:
    static constexpr int kSlots = 24;
    static constexpr int kLines = 6;
    static constexpr int kColumns = 3;

    static int rowOf(int slot) { return (slot - 1) / kColumns; }
    static int columnOf(int slot) { return (slot - 1) % kColumns; }

    // In units from the corner of the printable area.
    static QRectF labelRect(int slot);
    static QRectF lineRect(int slot, int line);

    // "txtRigo03_E05"
    static QString lineName(int slot, int line);
    // The background's name: Shape2, Shape1, Shape3 along the top row, then
    // Shape4.. down the left column, Shape11.. the middle, Shape18.. the right.
    static QString shapeName(int slot);

    // The font of a label's lines, Arial at 7 points.
    static report::TextFont labelFont() { return report::TextFont{QStringLiteral("Arial"), 7}; }

    // A new template named "name" (the preview's caption and the job title).
    static std::unique_ptr<report::Report> create(const QString &name);
    // The template of a sheet format: each label's background, then its
    // line boxes, label after label (lineName(label, line)).
    static std::unique_ptr<report::Report> create(const SheetFormat &format, const QString &name);
};

} // namespace tavolux
