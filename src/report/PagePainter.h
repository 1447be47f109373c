#pragma once

class QPainter;

namespace tavolux::report {

struct PreparedPage;

// Where a page is painted: guides are painted in the preview only.
enum class PaintFor { Print, Preview };

// Paints a prepared page. The painter's coordinate system must be in template
// units (1/96 inch) with the origin at the paper's top-left corner. The one
// painting path of the engine: the preview, the printer and PDF files use it.
void paintPage(const PreparedPage &page, QPainter &painter, PaintFor target = PaintFor::Print);

} // namespace tavolux::report
