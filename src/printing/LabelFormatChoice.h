#pragma once

#include "labelformats/LabelFormatSettings.h"
#include "platform/ProgramFolder.h"

#include <QString>

#include <memory>

class QWidget;

namespace tavolux {

class LabelMailing;

namespace report {
class Report;
}

// "Formato etichette..." in a label sheet's preview toolbar and in the tab
// "Etichette" of its print dialog: TfrmFormatoEtichette chooses the format
// of one use. Once another format is chosen, the preview (or the print
// dialog, with the preview it was opened from) closes, and its owner shows
// it again on the new format.
class LabelFormatChoice
{
public:
    LabelFormatChoice(const ProgramFolder &folder, LabelFormatSettings::Use use);

    // Offers the choice in the document's preview and print dialog; this
    // object must outlive them.
    void offerIn(report::Report &document);
    // Whether another format was chosen since the last call.
    bool takeChosen();
    // Where another format was chosen: `sheets` made again for it
    // (chosenSheets), and true.
    bool reopen(std::unique_ptr<LabelMailing> &sheets, const QString &title, bool startControl);
    // The print on the format now chosen, offering the choice as well;
    // nullptr for the built-in sheet (LabelMailing::forChosenFormat).
    std::unique_ptr<LabelMailing> chosenSheets(const QString &title, bool startControl);

private:
    // Opens the dialog over `control`'s window; true when another format was chosen.
    bool choose(QWidget *control);

    ProgramFolder m_folder;
    LabelFormatSettings::Use m_use;
    bool m_chosen = false;
};

} // namespace tavolux
