#pragma once

#include "printing/LabelPrintDialog.h"
#include "printing/LabelSheetOptions.h"

#include <functional>
#include <memory>

namespace tavolux {

class LabelFormatChoice;
class LabelMailing;

namespace report {
class Report;
}

// Prints the label page: "Stampa" fills the template from the page's 144
// lines, read at that moment, and goes through the print dialog.
class TfrmStampaPagina : public LabelPrintDialog
{
    Q_OBJECT
public:
    // lineOf(slot 1..24, line 1..6): the text of that line of the label page.
    using LineSource = std::function<QString(int slot, int line)>;

    explicit TfrmStampaPagina(LineSource lineOf, QWidget *parent = nullptr);
    // With the program folder, the sheet follows the printer's calibration
    // and offers "Calibrazione..." in the preview and the print dialog.
    TfrmStampaPagina(const ProgramFolder &folder, LineSource lineOf, QWidget *parent = nullptr);

    LabelSheetOptions &options() { return m_options; }
    ~TfrmStampaPagina() override;

    std::unique_ptr<report::Report> repDocumento;

protected:
    void run() override;

private:
    LineSource m_lineOf;
    LabelSheetOptions m_options;
    // The print on the sheet format chosen in the settings, where that is not the built-in one.
    std::unique_ptr<LabelMailing> m_onFormat;
    // "Formato etichette..." in the preview and the print dialog.
    std::unique_ptr<LabelFormatChoice> m_formats;
};

} // namespace tavolux
