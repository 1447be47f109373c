#include "printing/TfrmAnteprima_Etichette.h"

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
    m_options = LabelSheetOptions(folder);
    m_options.addControls(*repDocumento, false);
}

TfrmAnteprima_Etichette::~TfrmAnteprima_Etichette() = default;

void TfrmAnteprima_Etichette::run()
{
    previewLabelPage(*repDocumento, m_lineOf, this, &m_options);
}

} // namespace tavolux
