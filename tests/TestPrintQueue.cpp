#include "TestPrintQueue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

TestPrintQueue::TestPrintQueue()
    : m_name(qEnvironmentVariable("TAVOLUX_PRINT_QUEUE")), m_output(qEnvironmentVariable("TAVOLUX_PRINT_OUTPUT"))
{
    if (m_output.isEmpty())
        m_name.clear();
}

QString TestPrintQueue::skipReason()
{
    return QStringLiteral("no cups-pdf test queue configured: run `eval \"$(scripts/print-queue.sh start)\"` "
                          "first (scripts/setup.sh test does)");
}

QString TestPrintQueue::filePrefix(const QString &title)
{
    QString name;
    for (const QChar c : title)
        name += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('.')
                    ? c
                    : QLatin1Char('_');
    return name + QStringLiteral("-job_");
}

QString TestPrintQueue::jobAttribute(const QString &pdfPath, const QString &name, QString *why)
{
    static const QRegularExpression jobId(QStringLiteral("-job_(\\d+)\\.pdf$"));
    const QRegularExpressionMatch id = jobId.match(pdfPath);
    if (!id.hasMatch()) {
        *why = QStringLiteral("no job number in %1").arg(pdfPath);
        return {};
    }
    QProcess ipptool;
    ipptool.start(QStringLiteral("ipptool"), {QStringLiteral("-tv"), QStringLiteral("ipp://localhost/jobs/") + id.captured(1),
                                             QStringLiteral("get-job-attributes.test")});
    if (!ipptool.waitForFinished(30000) || ipptool.exitStatus() != QProcess::NormalExit) {
        *why = QStringLiteral("ipptool did not run: %1").arg(ipptool.errorString());
        return {};
    }
    const QString out = QString::fromLocal8Bit(ipptool.readAllStandardOutput());
    const QRegularExpression line(QStringLiteral("^\\s*%1 \\([^)]*\\) = (.*)$").arg(QRegularExpression::escape(name)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = line.match(out);
    if (!found.hasMatch()) {
        *why = QStringLiteral("job %1 has no attribute %2: %3").arg(id.captured(1), name, out.right(400));
        return {};
    }
    return found.captured(1).trimmed();
}

QSet<QString> TestPrintQueue::files(const QString &title) const
{
    QSet<QString> found;
    const QDir dir(m_output);
    for (const QString &entry : dir.entryList({filePrefix(title) + QStringLiteral("*.pdf")}, QDir::Files))
        found.insert(dir.filePath(entry));
    return found;
}

QString TestPrintQueue::waitForPdf(const QString &title, const QSet<QString> &before, QString *why, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QProcess lpstat;
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), m_name});
        lpstat.waitForFinished(10000);
        const bool idle = lpstat.readAllStandardOutput().trimmed().isEmpty();
        if (idle) {
            const QSet<QString> now = files(title);
            for (const QString &path : now)
                if (!before.contains(path))
                    return path;
        }
        QThread::msleep(200);
    }
    QProcess state;
    state.start(QStringLiteral("lpstat"), {QStringLiteral("-p"), m_name, QStringLiteral("-o"), m_name});
    state.waitForFinished(10000);
    *why = QStringLiteral("no PDF %1*.pdf in %2 after %3 s; lpstat: %4")
               .arg(filePrefix(title), m_output)
               .arg(timeoutMs / 1000)
               .arg(QString::fromLocal8Bit(state.readAllStandardOutput() + state.readAllStandardError()));
    return {};
}
