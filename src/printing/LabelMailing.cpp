#include "printing/LabelMailing.h"

#include "platform/TextUtil.h"
#include "printing/LabelPageTemplate.h"
#include "report/Layout.h"
#include "report/PageSequence.h"
#include "report/Report.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "reportui/ReportSteps.h"

#include <QDate>

namespace tavolux {

SheetFormat LabelMailing::chosenFormat(const ProgramFolder &folder, LabelFormatSettings::Use use)
{
    return SheetFormat::of(LabelFormatSettings(folder).chosen(use));
}

std::unique_ptr<LabelMailing> LabelMailing::forChosenFormat(const ProgramFolder &folder, LabelFormatSettings::Use use,
                                                           const QString &title, bool startControl)
{
    const SheetFormat format = chosenFormat(folder, use);
    if (format.isStandard())
        return nullptr;
    return std::make_unique<LabelMailing>(format, title, &folder, startControl);
}

LabelMailing::LabelMailing(const SheetFormat &format, const QString &title, const ProgramFolder *folder,
                           bool startControl)
    : m_format(format), m_document(LabelPageTemplate::create(format, title))
{
    m_document->setPreviewButtons(m_document->previewButtons() | report::Report::PreviewPages);
    for (int label = 1; label <= m_format.labelsPerSheet(); ++label) {
        m_backgrounds.push_back(m_document->FindObject(m_format.labels.at(label - 1).backgroundName));
        for (int line = 1; line <= m_format.linesPerLabel(); ++line)
            m_boxes.push_back(m_document->text(LabelPageTemplate::lineName(label, line)));
    }
    if (folder)
        m_options = LabelSheetOptions(*folder);
    m_options.setSheet(m_format);
    m_options.addControls(*m_document, startControl);
    m_document->setPageMaker([this] { return sheets(); });
}

LabelMailing::~LabelMailing() = default;

void LabelMailing::setCards(qint64 count, LineSource lines)
{
    m_count = count;
    m_fillSheet = false;
    m_lines = std::move(lines);
}

void LabelMailing::setSheetOf(std::function<QString(int line)> lines)
{
    m_fillSheet = true;
    m_lines = [lines = std::move(lines)](qint64, int line) { return lines(line); };
}

MailingLayout LabelMailing::layout() const
{
    if (m_fillSheet)
        return MailingLayout(m_format.labelsPerSheet() - m_options.firstLabel() + 1, 1, m_options.firstLabel(),
                             m_format.labelsPerSheet());
    return MailingLayout(m_count, m_copies, m_options.firstLabel(), m_format.labelsPerSheet());
}

report::PageSequence LabelMailing::sheets()
{
    // The calibration is read once for the whole job.
    m_options.apply(*m_document);
    const MailingLayout laidOut = layout();
    const QSizeF paper(report::mmToUnits(m_format.paperMm.width()), report::mmToUnits(m_format.paperMm.height()));
    return report::PageSequence(laidOut.sheets(), paper,
                                m_format.landscape() ? report::Orientation::Landscape : report::Orientation::Portrait,
                                [this, laidOut](int sheet) { return layOutSheet(laidOut, sheet); });
}

report::PreparedPage LabelMailing::layOutSheet(const MailingLayout &layout, int sheet)
{
    const int lines = m_format.linesPerLabel();
    for (int label = 1; label <= m_format.labelsPerSheet(); ++label) {
        const qint64 card = layout.cardAt(sheet, label);
        // The labels before the first one are used already: nothing prints there.
        const bool used = sheet == 0 && label < layout.firstLabel();
        if (report::ReportObject *background = m_backgrounds[size_t(label - 1)])
            background->Visible = !used;
        for (int line = 1; line <= lines; ++line) {
            report::TextBox *box = m_boxes[size_t((label - 1) * lines + line - 1)];
            if (!box)
                continue;
            box->Visible = !used;
            box->setText(card >= 0 && m_lines ? trimText(m_lines(card, line)) : QString());
        }
    }
    QList<report::PreparedPage> laidOut = report::layoutPage(m_document->page(), QDate::currentDate());
    return laidOut.isEmpty() ? report::PreparedPage() : laidOut.takeFirst();
}

void LabelMailing::preview(QWidget *parent)
{
    m_document->PrepareReport();
    report::ShowReport(*m_document, parent);
}

bool LabelMailing::print(QWidget *parent)
{
    m_document->PrepareReport();
    // As the preview's print button prints: a failure says so in the error box.
    return report::printFromPreview(*m_document, parent);
}

} // namespace tavolux
