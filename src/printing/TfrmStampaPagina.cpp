#include "printing/TfrmStampaPagina.h"

#include "printing/LabelFormatChoice.h"
#include "printing/LabelMailing.h"
#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "report/Report.h"

namespace tavolux {

TfrmStampaPagina::TfrmStampaPagina(LineSource lineOf, QWidget *parent)
    : LabelPrintDialog(QStringLiteral(" Stampa pagina etichette"),
                       {QStringLiteral("Questa operazione stampa su carta la pagina corrente con i dati inseriti dall'utente."),
                        QStringLiteral("Premere \"Stampa\" per avviare la stampa oppure \"Annulla\" per rinunciare.")},
                       {QStringLiteral("info"), QStringLiteral("etichette")}, QStringLiteral("Stampa"), parent),
      repDocumento(LabelPageTemplate::create(QStringLiteral("Pagina Etichette"))),
      m_lineOf(std::move(lineOf))
{
    setObjectName(QStringLiteral("TfrmStampaPagina"));
}

TfrmStampaPagina::TfrmStampaPagina(const ProgramFolder &folder, LineSource lineOf, QWidget *parent)
    : TfrmStampaPagina(std::move(lineOf), parent)
{
    m_formats = std::make_unique<LabelFormatChoice>(folder, LabelFormatSettings::Use::LabelPages);
    m_onFormat = m_formats->chosenSheets(QStringLiteral("Pagina Etichette"), false);
    m_options = LabelSheetOptions(folder);
    m_options.addControls(*repDocumento, false);
    m_formats->offerIn(*repDocumento);
}

TfrmStampaPagina::~TfrmStampaPagina() = default;

void TfrmStampaPagina::run()
{
    do {
        if (m_onFormat) {
            // The page's 24 labels in order, onto as many of the chosen sheets as they take.
            m_onFormat->setCards(24, [this](qint64 card, int line) { return m_lineOf(int(card) + 1, line); });
            m_onFormat->print(this);
        } else {
            printLabelPage(*repDocumento, m_lineOf, this, &m_options);
        }
        // Another format chosen meanwhile: shown again on it.
    } while (m_formats && m_formats->reopen(m_onFormat, QStringLiteral("Pagina Etichette"), false));
}

} // namespace tavolux
