#pragma once

#include <QSet>
#include <QString>

// The cups-pdf queue that scripts/print-queue.sh sets up for the tests and
// announces through TAVOLUX_PRINT_QUEUE and TAVOLUX_PRINT_OUTPUT.
class TestPrintQueue
{
public:
    TestPrintQueue();

    bool configured() const { return !m_name.isEmpty(); }
    static QString skipReason();
    QString name() const { return m_name; }
    QString outputDir() const { return m_output; }

    // The PDF files of jobs titled "title" in the output folder now.
    QSet<QString> files(const QString &title) const;
    // Waits until the queue has finished its jobs and a new PDF of a job titled
    // "title" is there; returns its path, or empty with the reason in *why.
    QString waitForPdf(const QString &title, const QSet<QString> &before, QString *why, int timeoutMs = 90000) const;

    // cups-pdf's file name for a job title: blanks and other special
    // characters become "_", then "-job_<id>.pdf".
    static QString filePrefix(const QString &title);

    // An attribute of the job that printed a PDF of the queue, as CUPS keeps
    // it ("media": "EnvDL"), read with ipptool; empty with the reason in
    // *why when it cannot be read.
    static QString jobAttribute(const QString &pdfPath, const QString &name, QString *why);

private:
    QString m_name;
    QString m_output;
};
