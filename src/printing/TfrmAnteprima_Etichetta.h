#pragma once

#include "printing/LabelPrintDialog.h"
#include "printing/LabelSheetOptions.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace tavolux {

class LabelFormatChoice;
class LabelMailing;

namespace report {
class Report;
}

// The preview of a sheet of 24 labels that all carry the six lines of one
// address card, read when "Mostra anteprima" is pressed.
class TfrmAnteprima_Etichetta : public LabelPrintDialog
{
    Q_OBJECT
public:
    // The six address lines as the address window shows them.
    using LinesSource = std::function<QStringList()>;

    explicit TfrmAnteprima_Etichetta(LinesSource lines, QWidget *parent = nullptr);
    // With the program folder, the sheet follows the printer's calibration
    // and offers "Calibrazione..." in the preview and the print dialog.
    TfrmAnteprima_Etichetta(const ProgramFolder &folder, LinesSource lines, QWidget *parent = nullptr);

    LabelSheetOptions &options() { return m_options; }
    ~TfrmAnteprima_Etichetta() override;

    std::unique_ptr<report::Report> repDocumento;

protected:
    void run() override;

private:
    LinesSource m_lines;
    LabelSheetOptions m_options;
    // The print on the sheet format chosen in the settings, where that is not the built-in one.
    std::unique_ptr<LabelMailing> m_onFormat;
    // "Formato etichette..." in the preview and the print dialog.
    std::unique_ptr<LabelFormatChoice> m_formats;
};

} // namespace tavolux
