#pragma once

#include "platform/ProgramFolder.h"

#include <memory>
#include <optional>

namespace tavolux {

namespace report {
class Report;
}

// What a label sheet prints beyond its lines: the printer's calibration, read
// from the settings at every layout, and the first label still free on a
// partly used sheet. Without a program folder there is no calibration.
class LabelSheetOptions
{
public:
    LabelSheetOptions() = default;
    explicit LabelSheetOptions(const ProgramFolder &folder) : m_folder(folder) {}

    int firstLabel() const { return m_firstLabel; }
    void setFirstLabel(int label);

    // Sets the template's shift from the settings and hides the labels before
    // the first one, background and lines.
    void apply(report::Report &document) const;

    // Offers "Calibrazione..." (where there is a folder) and, with
    // startControl, "Inizia dall'etichetta:" in the template's preview
    // toolbar and print options tab. The options must outlive the template.
    void addControls(report::Report &document, bool startControl);

private:
    std::optional<ProgramFolder> m_folder;
    int m_firstLabel = 1;
};

} // namespace tavolux
