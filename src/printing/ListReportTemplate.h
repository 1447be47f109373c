#pragma once

#include <QStringList>

#include <memory>

namespace tavolux {

namespace report {
class Report;
}

// The list printout of the card list, "Riepilogo dati": landscape A4, a title
// band, the list in one splittable data band, and a dated footer.
class ListReportTemplate
{
public:
    static std::unique_ptr<report::Report> create();

    // Title, lines and heights as the printout sets them before it prints:
    // 12.822 units a line, the data band 10 units higher than its text. The
    // lines are laid out at that pitch, so they fill their box exactly.
    // False when the document lacks one of the objects, with its
    // errorString() saying which.
    static bool fill(report::Report &document, const QStringList &lines);

    static constexpr double kLineHeight = 12.822;
};

} // namespace tavolux
