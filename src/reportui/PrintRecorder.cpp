#include "reportui/PrintRecorder.h"

#include "reportui/ReportHooks.h"

#include <QPrinter>
#include <QWidget>

namespace tavolux::report {

PrintRecorder::PrintRecorder()
{
    hooks::setPrinterListHandler([this] { return m_printers; });
    hooks::setPrintDialogHandler([this](QPrinter &printer, const PrintRequest &request) {
        const QPageLayout layout = printer.pageLayout();
        m_requests.append({request.title, request.pages.toList(), layout.orientation(),
                           layout.pageSize().size(QPageSize::Millimeter), bool(request.optionsTab)});
        if (request.optionsTab && m_optionsScript) {
            QWidget holder;
            m_optionsScript(request.optionsTab(&holder));
        }
        switch (m_answer) {
        case Answer::Cancel:
            return false;
        case Answer::File:
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_target);
            return true;
        case Answer::Printer:
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(m_target);
            printer.setCopyCount(m_copies);
            printer.setCollateCopies(m_collate);
            return true;
        }
        return false;
    });
}

PrintRecorder::~PrintRecorder()
{
    hooks::setPrintDialogHandler({});
    hooks::setPrinterListHandler({});
}

void PrintRecorder::answerCancel()
{
    m_answer = Answer::Cancel;
}

void PrintRecorder::answerPrintToFile(const QString &pdfPath)
{
    m_answer = Answer::File;
    m_target = pdfPath;
}

void PrintRecorder::answerPrintTo(const QString &printerName, int copies, bool collate)
{
    m_answer = Answer::Printer;
    m_target = printerName;
    m_copies = copies;
    m_collate = collate;
}

} // namespace tavolux::report
