#include "printing/TfrmAnteprima_Etichette.h"

#include "printing/LabelFormatChoice.h"
#include "printing/LabelMailing.h"
#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"

namespace tavolux {

TfrmAnteprima_Etichette::TfrmAnteprima_Etichette(LineSource lineOf, QWidget *parent)
    : LabelPrintDialog(QStringLiteral(" Anteprima di stampa"), previewInformation(),
                       {QStringLiteral("info"), QStringLiteral("anteprima")}, QStringLiteral("Mostra anteprima"), parent),
      repDocumento(LabelPageTemplate::create(QStringLiteral("Pagina Etichette"))),
      m_lineOf(std::move(lineOf))
{
    setObjectName(QStringLiteral("TfrmAnteprima_Etichette"));
}

TfrmAnteprima_Etichette::TfrmAnteprima_Etichette(const ProgramFolder &folder, LineSource lineOf, QWidget *parent)
    : TfrmAnteprima_Etichette(std::move(lineOf), parent)
{
    m_formats = std::make_unique<LabelFormatChoice>(folder, LabelFormatSettings::Use::LabelPages);
    m_onFormat = m_formats->chosenSheets(QStringLiteral("Pagina Etichette"), false);
    m_options = LabelSheetOptions(folder);
    m_options.addControls(*repDocumento, false);
    m_formats->offerIn(*repDocumento);
}

TfrmAnteprima_Etichette::~TfrmAnteprima_Etichette() = default;

void TfrmAnteprima_Etichette::run()
{
    do {
        if (m_onFormat) {
            // The page's 24 labels in order, onto as many of the chosen sheets as they take.
            m_onFormat->setCards(24, [this](qint64 card, int line) { return m_lineOf(int(card) + 1, line); });
            m_onFormat->preview(this);
        } else {
            previewLabelPage(*repDocumento, m_lineOf, this, &m_options);
        }
        // Another format chosen meanwhile: shown again on it.
    } while (m_formats && m_formats->reopen(m_onFormat, QStringLiteral("Pagina Etichette"), false));
}

} // namespace tavolux
