#pragma once

#include "report/PreparedPage.h"

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tavolux::report {

// Test helper: stands in for the installed printers and the print dialog,
// records every request and answers as told: Cancel (the default), OK with
// the output going to a PDF file, or OK on a named printer (a real CUPS queue).
class PrintRecorder
{
public:
    struct Request
    {
        QString title;
        QList<PreparedPage> pages;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        QSizeF paperMm;
        bool hadOptionsTab = false;
    };

    // Installs a machine with one printer whose dialog answers Cancel.
    PrintRecorder();
    ~PrintRecorder();
    PrintRecorder(const PrintRecorder &) = delete;
    PrintRecorder &operator=(const PrintRecorder &) = delete;

    void answerCancel();
    void answerPrintToFile(const QString &pdfPath);
    void answerPrintTo(const QString &printerName, int copies = 1, bool collate = true);
    // Builds the options tab, when the request has one, and runs "script" on
    // it before answering, as a user who changes the options would.
    void setOptionsScript(std::function<void(QWidget *tab)> script) { m_optionsScript = std::move(script); }
    // The printers the machine has; an empty list: none installed.
    void setPrinters(const QStringList &names) { m_printers = names; }

    const QList<Request> &requests() const { return m_requests; }
    int count() const { return int(m_requests.size()); }

private:
    enum class Answer { Cancel, File, Printer };
    Answer m_answer = Answer::Cancel;
    QString m_target;
    int m_copies = 1;
    bool m_collate = true;
    QStringList m_printers{QStringLiteral("Stampante di prova")};
    QList<Request> m_requests;
    std::function<void(QWidget *tab)> m_optionsScript;
};

} // namespace tavolux::report
