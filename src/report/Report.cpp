#include "report/Report.h"

#include "report/Band.h"
#include "report/Layout.h"
#include "report/TextBox.h"

#include <QDate>

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
        m_error = QStringLiteral("Attenzione: il modello di stampa \"%1\" non contiene il testo %2.\r\n\r\nSi consiglia di reinstallare il software.").arg(m_name, name);
        return nullptr;
    }
    m_error.clear();
    return static_cast<TextBox *>(object);
}

Band *Report::band(const QString &name)
{
    ReportObject *object = FindObject(name);
    if (!object || object->kind() != ReportObject::Kind::Band) {
        m_error = QStringLiteral("Attenzione: il modello di stampa \"%1\" non contiene la banda %2.\r\n\r\nSi consiglia di reinstallare il software.").arg(m_name, name);
        return nullptr;
    }
    m_error.clear();
    return static_cast<Band *>(object);
}

void Report::PrepareReport()
{
    if (m_pageMaker) {
        m_made = PageSequence();
        m_made = m_pageMaker();
    } else {
        m_prepared = layoutPage(m_page, QDate::currentDate());
    }
    m_isPrepared = true;
}

PageSequence Report::pages() const
{
    return m_pageMaker ? m_made : PageSequence(m_prepared);
}

void Report::ensurePrepared()
{
    if (!m_isPrepared)
        PrepareReport();
}

} // namespace tavolux::report
