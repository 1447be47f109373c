#pragma once

#include <QString>

#include <functional>

namespace tavolux {

namespace report {
class Report;
}

// Sets the label-page template portrait and each of its 144 line boxes to
// lineOf(slot, line), trimmed.
void fillLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf);

} // namespace tavolux
