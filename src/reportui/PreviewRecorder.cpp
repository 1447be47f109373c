#include "reportui/PreviewRecorder.h"

#include "reportui/ReportHooks.h"
#include "reportui/ReportSteps.h"

namespace tavolux::report {

PreviewRecorder::PreviewRecorder()
{
    hooks::setPreviewHandler([this](Report &report) {
        Preview preview{report.name(), report.previewButtons(), report.pages().toList(), false};
        if (m_pressPrint && report.previewButtons().testFlag(Report::PreviewPrint))
            preview.printed = printFromPreview(report, nullptr);
        m_previews.append(preview);
    });
}

PreviewRecorder::~PreviewRecorder()
{
    hooks::setPreviewHandler({});
}

} // namespace tavolux::report
