#pragma once

#include "report/PreparedPage.h"
#include "report/Report.h"

#include <QList>
#include <QString>

namespace tavolux::report {

// Test helper: stands in for the modal preview window and records what it
// would show; it can press the preview's print button, which reports a
// failure as the window's does.
class PreviewRecorder
{
public:
    struct Preview
    {
        QString caption;
        Report::PreviewButtons buttons;
        QList<PreparedPage> pages;
        bool printed = false; // what the print button returned
    };

    PreviewRecorder();
    ~PreviewRecorder();
    PreviewRecorder(const PreviewRecorder &) = delete;
    PreviewRecorder &operator=(const PreviewRecorder &) = delete;

    // Each preview from now on presses its print button before closing.
    void pressPrint(bool press = true) { m_pressPrint = press; }

    const QList<Preview> &previews() const { return m_previews; }
    int count() const { return int(m_previews.size()); }

private:
    bool m_pressPrint = false;
    QList<Preview> m_previews;
};

} // namespace tavolux::report
