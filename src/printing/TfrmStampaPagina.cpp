#include "printing/TfrmStampaPagina.h"

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
    m_onFormat = LabelMailing::forChosenFormat(folder, LabelFormatSettings::Use::LabelPages,
                                               QStringLiteral("Pagina Etichette"), false);
    m_options = LabelSheetOptions(folder);
    m_options.addControls(*repDocumento, false);
}

TfrmStampaPagina::~TfrmStampaPagina() = default;

void TfrmStampaPagina::run()
{
    if (m_onFormat) {
        // The page's 24 labels in order, onto as many of the chosen sheets as they take.
        m_onFormat->setCards(24, [this](qint64 card, int line) { return m_lineOf(int(card) + 1, line); });
        m_onFormat->print(this);
        return;
    }
    printLabelPage(*repDocumento, m_lineOf, this, &m_options);
}

} // namespace tavolux
