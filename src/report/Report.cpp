#include "report/Report.h"

#include "report/Band.h"
#include "report/Layout.h"
#include "report/PreviewWindow.h"
#include "report/ReportHooks.h"
#include "report/ReportPrinter.h"
#include "report/TextBox.h"
#include "ui/Messages.h"

#include <QDate>
#include <QVBoxLayout>

namespace tavolux::report {

Report::Report(const QString &name)
    : m_name(name)
{
}

Report::~Report() = default;

ReportObject *Report::FindObject(const QString &name) const
{
    return m_page.find(name);
}

TextBox *Report::text(const QString &name)
{
    ReportObject *object = FindObject(name);
    if (!object || object->kind() != ReportObject::Kind::Text) {
        m_error = QStringLiteral("Il modello \"%1\" non contiene il testo %2.").arg(m_name, name);
        return nullptr;
    }
    m_error.clear();
    return static_cast<TextBox *>(object);
}

Band *Report::band(const QString &name)
{
    ReportObject *object = FindObject(name);
    if (!object || object->kind() != ReportObject::Kind::Band) {
        m_error = QStringLiteral("Il modello \"%1\" non contiene la banda %2.").arg(m_name, name);
        return nullptr;
    }
    m_error.clear();
    return static_cast<Band *>(object);
}

void Report::PrepareReport()
{
    m_prepared = layoutPage(m_page, QDate::currentDate());
    m_isPrepared = true;
}

void Report::ShowReport(QWidget *parent)
{
    if (!m_isPrepared)
        PrepareReport();
    if (hooks::runPreviewHandler(*this))
        return;
    PreviewWindow preview(*this, parent);
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

bool Report::Print(QWidget *parent)
{
    if (!m_isPrepared)
        PrepareReport();
    m_error.clear();
    PrintOptions options;
    if (!m_printControls.isEmpty()) {
        options.tab = [this](QWidget *parent) {
            auto *tab = new QWidget(parent);
            auto *column = new QVBoxLayout(tab);
            for (const Control &control : m_printControls)
                column->addWidget(control(tab, [] {}));
            column->addStretch();
            return tab;
        };
        options.relayout = [this] {
            PrepareReport();
            return m_prepared;
        };
    }
    return printReport(m_name, m_prepared, parent, &m_error, options);
}

bool printFromPreview(Report &report, QWidget *parent)
{
    const bool printed = report.Print(parent);
    if (report.failed())
        ui::showFailure(parent, report.errorString());
    return printed;
}

} // namespace tavolux::report
