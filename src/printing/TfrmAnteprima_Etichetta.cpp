#include "printing/TfrmAnteprima_Etichetta.h"

#include "printing/LabelFormatChoice.h"
#include "printing/LabelMailing.h"
#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"

namespace tavolux {

TfrmAnteprima_Etichetta::TfrmAnteprima_Etichetta(LinesSource lines, QWidget *parent)
    : LabelPrintDialog(QStringLiteral(" Anteprima di stampa"), previewInformation(),
                       {QStringLiteral("info"), QStringLiteral("anteprima")}, QStringLiteral("Mostra anteprima"), parent),
      repDocumento(LabelPageTemplate::create(QStringLiteral("Anteprima Etichetta"))),
      m_lines(std::move(lines))
{
    setObjectName(QStringLiteral("TfrmAnteprima_Etichetta"));
}

TfrmAnteprima_Etichetta::TfrmAnteprima_Etichetta(const ProgramFolder &folder, LinesSource lines, QWidget *parent)
    : TfrmAnteprima_Etichetta(std::move(lines), parent)
{
    m_formats = std::make_unique<LabelFormatChoice>(folder, LabelFormatSettings::Use::OneAddress);
    m_onFormat = m_formats->chosenSheets(QStringLiteral("Anteprima Etichetta"), true);
    m_options = LabelSheetOptions(folder);
    m_options.addControls(*repDocumento, true);
    m_formats->offerIn(*repDocumento);
}

TfrmAnteprima_Etichetta::~TfrmAnteprima_Etichetta() = default;

void TfrmAnteprima_Etichetta::run()
{
    // Every label carries the card's line n in its line n.
    const QStringList lines = m_lines();
    do {
        if (m_onFormat) {
            // Every label of the chosen sheet, from the first one on.
            m_onFormat->setSheetOf([lines](int line) { return lines.value(line - 1); });
            m_onFormat->preview(this);
        } else {
            previewLabelPage(*repDocumento, [&lines](int, int line) { return lines.value(line - 1); }, this, &m_options);
        }
        // Another format chosen meanwhile: shown again on it.
    } while (m_formats && m_formats->reopen(m_onFormat, QStringLiteral("Anteprima Etichetta"), true));
}

} // namespace tavolux
