#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tavolux {

namespace report {
class Report;
}
class LabelSheetOptions;

// Sets the label-page template portrait and each of its 144 line boxes to
// lineOf(slot, line), trimmed. False when a box is missing, with the
// document's errorString() saying which.
bool fillLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf);

// Fills the page, applies the sheet's options where given, prepares it and
// previews or prints it; a failure shows its own message in the program's
// error box.
void previewLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf,
                      QWidget *parent, const LabelSheetOptions *options = nullptr);
void printLabelPage(report::Report &document, const std::function<QString(int slot, int line)> &lineOf,
                    QWidget *parent, const LabelSheetOptions *options = nullptr);

} // namespace tavolux
