#pragma once

#include "report/PageSequence.h"
#include "report/PreparedPage.h"
#include "report/ReportPage.h"

#include <QFlags>
#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace tavolux::report {

class Band;
class Shape;
class TextBox;

// A report template: a name (the preview's caption and the print job's title),
// one page of objects, and the preview's toolbar buttons. Callers fill it and
// PrepareReport() lays it out; previewing and printing the prepared pages are
// the user interface's steps (reportui/ReportSteps.h).
class Report
{
public:
    enum PreviewButton {
        PreviewPrint = 0x1,
        PreviewZoom = 0x2,
        PreviewFullScreen = 0x4,
        PreviewClose = 0x8,
        PreviewPages = 0x10, // first / previous / next / last page
    };
    Q_DECLARE_FLAGS(PreviewButtons, PreviewButton)

    explicit Report(const QString &name);
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    QString name() const { return m_name; }
    ReportPage &page() { return m_page; }
    const ReportPage &page() const { return m_page; }

    PreviewButtons previewButtons() const { return m_previewButtons; }
    void setPreviewButtons(PreviewButtons buttons) { m_previewButtons = buttons; }

    // A control that the template's owner adds to the preview's toolbar. It
    // changes the template and then calls "changed", which lays the template
    // out again and shows that.
    using Control = std::function<QWidget *(QWidget *parent, const std::function<void()> &changed)>;
    void addPreviewControl(Control control) { m_previewControls.append(std::move(control)); }
    const QList<Control> &previewControls() const { return m_previewControls; }

    // A control of the print dialog's options tab. It shows the template as
    // it stands and keeps what the user chooses apart; it sets "accept" to
    // what applies the choice, which runs only once the dialog is accepted.
    using PrintControl = std::function<QWidget *(QWidget *parent, std::function<void()> &accept)>;
    void addPrintControl(PrintControl control) { m_printControls.append(std::move(control)); }
    const QList<PrintControl> &printControls() const { return m_printControls; }
    // The name of the print dialog's tab that holds the print controls.
    QString printControlsTitle() const { return m_printControlsTitle; }
    void setPrintControlsTitle(const QString &title) { m_printControlsTitle = title; }

    // The object of that name, or nullptr.
    ReportObject *FindObject(const QString &name) const;
    // Typed look-ups for names the program knows exist: a missing name or an
    // object of another kind gives nullptr, and errorString() says why.
    TextBox *text(const QString &name);
    Band *band(const QString &name);

    // Discards the pages prepared before and lays the template out as it stands.
    void PrepareReport();
    const QList<PreparedPage> &preparedPages() const { return m_prepared; }

    // A document whose pages its owner lays out, one at a time as they are
    // shown or printed: PrepareReport() then asks `maker` for the pages
    // instead of laying out the template page (which the maker may use).
    void setPageMaker(std::function<PageSequence()> maker) { m_pageMaker = std::move(maker); }
    // The prepared pages as the preview shows them and the printer prints them.
    PageSequence pages() const;

    // Prepares the pages unless PrepareReport() already did.
    void ensurePrepared();

    // The last failure of a look-up or of printing; empty when it succeeded.
    QString errorString() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }
    void setErrorString(const QString &error) { m_error = error; }

private:
    QString m_name;
    ReportPage m_page;
    PreviewButtons m_previewButtons = PreviewButtons(PreviewPrint | PreviewZoom | PreviewFullScreen | PreviewClose
                                                     | PreviewPages);
    QList<Control> m_previewControls;
    QList<PrintControl> m_printControls;
    QString m_printControlsTitle = QStringLiteral("Opzioni");
    QList<PreparedPage> m_prepared;
    std::function<PageSequence()> m_pageMaker;
    PageSequence m_made;
    bool m_isPrepared = false;
    QString m_error;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Report::PreviewButtons)

} // namespace tavolux::report
