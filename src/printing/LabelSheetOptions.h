#pragma once

#include "platform/ProgramFolder.h"
#include "printing/SheetFormat.h"

#include "printing/LabelCalibration.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QObject;

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
    // Within 1 and the sheet's labels.
    void setFirstLabel(int label);

    // The sheet the options are for: its labels bound the first label, its
    // own calibration is read and saved, its test sheet printed. The
    // built-in sheet until set.
    void setSheet(const SheetFormat &format);
    const SheetFormat &sheet() const { return m_sheet; }
    // The calibration of the sheet; none without a program folder.
    LabelShift shift() const;

    // Sets the template's shift from the settings and hides the labels before
    // the first one, background and lines.
    void apply(report::Report &document) const;

    // Offers "Calibrazione..." (where there is a folder) and, with
    // startControl, "Inizia dall'etichetta:" in the template's preview
    // toolbar and in the print dialog's tab "Etichette". What is chosen in
    // the print dialog is applied only when it is accepted; a calibration
    // saved there is in the settings at once. Either way the preview that
    // opened the dialog shows it at once, its toolbar and its page. The
    // options must outlive the template.
    void addControls(report::Report &document, bool startControl);

private:
    // Tells the preview's controls that the options changed elsewhere; a
    // listener whose control is gone is dropped.
    void listen(QObject *control, std::function<void()> listener);
    void changed();

    std::optional<ProgramFolder> m_folder;
    SheetFormat m_sheet = SheetFormat::standard();
    int m_firstLabel = 1;
    struct Listener
    {
        QPointer<QObject> control;
        std::function<void()> call;
    };
    std::vector<Listener> m_listeners;
};

} // namespace tavolux
