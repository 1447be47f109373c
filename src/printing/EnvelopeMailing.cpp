#include "printing/EnvelopeMailing.h"

#include "printing/EnvelopeChoices.h"
#include "printing/EnvelopeTemplate.h"
#include "report/Layout.h"
#include "report/PageSequence.h"
#include "report/Report.h"
#include "report/Units.h"
#include "reportui/ReportSteps.h"

#include <QDate>

#include <climits>

namespace tavolux {

EnvelopeMailing::EnvelopeMailing(const QString &title)
    : m_title(title), m_format(envelopeFormats::page()), m_document(EnvelopeTemplate::create(m_format, title))
{
    m_document->setPreviewButtons(m_document->previewButtons() | report::Report::PreviewPages);
    m_document->setPageMaker([this] { return envelopes(); });
}

EnvelopeMailing::~EnvelopeMailing() = default;

bool EnvelopeMailing::setChoices(const EnvelopeChoices &choices)
{
    const std::optional<EnvelopePlacement> placement = choices.placement();
    if (!placement)
        return false;
    const EnvelopeFormat format = choices.effectiveFormat();
    if (format.key != m_format.key || format.sizeMm != m_format.sizeMm) {
        auto document = EnvelopeTemplate::create(format, m_title);
        document->setPreviewButtons(document->previewButtons() | report::Report::PreviewPages);
        document->setPageMaker([this] { return envelopes(); });
        m_document = std::move(document);
    }
    m_format = format;
    m_placement = *placement;
    m_sender = choices.senderToPrint();
    return true;
}

void EnvelopeMailing::setCards(qint64 count, LineSource lines)
{
    m_count = count;
    m_lines = std::move(lines);
}

report::PageSequence EnvelopeMailing::envelopes()
{
    // The paper and the sender are the same on every envelope: set once.
    fillEnvelope(*m_document, m_format, m_placement, m_sender, {});
    const QSizeF paperMm = m_document->page().paperSize();
    const QSizeF paper(report::mmToUnits(paperMm.width()), report::mmToUnits(paperMm.height()));
    const int count = int(std::min<qint64>(INT_MAX, m_count));
    return report::PageSequence(count, paper, m_placement.orientation, [this](int card) {
        QStringList lines;
        for (int line = 1; line <= EnvelopeTemplate::kLines; ++line)
            lines << (m_lines ? m_lines(card, line) : QString());
        fillEnvelope(*m_document, m_format, m_placement, m_sender, lines);
        QList<report::PreparedPage> laidOut = report::layoutPage(m_document->page(), QDate::currentDate());
        return laidOut.isEmpty() ? report::PreparedPage() : laidOut.takeFirst();
    });
}

void EnvelopeMailing::preview(QWidget *parent)
{
    m_document->PrepareReport();
    report::ShowReport(*m_document, parent);
}

bool EnvelopeMailing::print(QWidget *parent)
{
    m_document->PrepareReport();
    // As the preview's print button prints: a failure says so in the error box.
    return report::printFromPreview(*m_document, parent);
}

} // namespace tavolux
