#include "PdfText.h"

#include <QFile>
#include <QProcess>
#include <QSet>

#include <cmath>
#include <QRegularExpression>
#include <QStringList>

namespace {
constexpr double kMmPerPoint = 25.4 / 72.0;

QString unescape(const QString &html)
{
    QString text = html;
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}
} // namespace

QList<PdfWord> PdfText::find(const QString &text) const
{
    QList<PdfWord> found;
    for (const PdfWord &word : words)
        if (word.text == text)
            found.append(word);
    return found;
}

double PdfText::baselineMm(const PdfWord &word, double pointSize, bool turned) const
{
    const double bottom = turned ? word.mm.right() : word.mm.bottom();
    return bottom + descent / 1000.0 * pointSize * kMmPerPoint;
}

QPointF PdfText::lineStartMm(const PdfWord &word, double pointSize, double ascentMm, bool landscape) const
{
    const QSizeF sheet = pagesMm.value(word.page);
    const bool turned = landscape && sheet.width() < sheet.height();
    const double left = turned ? sheet.height() - word.mm.bottom() : word.mm.left();
    return QPointF(left, baselineMm(word, pointSize, turned) - ascentMm);
}

QString PdfText::pageText(int page) const
{
    QStringList parts;
    for (const PdfWord &word : words)
        if (word.page == page)
            parts << word.text;
    return parts.join(QLatin1Char(' '));
}

QStringList pdfBoxLines(const QString &path, QString *error)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("pdftotext failed on %1: %2").arg(path, process.errorString());
        return {};
    }
    QStringList lines;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString bare = line.trimmed();
        if (bare.startsWith(QLatin1String("<page ")) || bare.startsWith(QLatin1String("<word ")))
            lines << bare;
    }
    return lines;
}

PdfText readPdfText(const QString &path)
{
    PdfText result;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.error = QStringLiteral("pdftotext failed on %1: %2 %3")
                           .arg(path, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
        return result;
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">|"
                       "<word xMin=\"([0-9.\\-]+)\" yMin=\"([0-9.\\-]+)\" xMax=\"([0-9.\\-]+)\" yMax=\"([0-9.\\-]+)\">([^<]*)</word>"));
    auto it = token.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            result.pagesMm.append(QSizeF(m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint));
            continue;
        }
        PdfWord word;
        word.page = int(result.pagesMm.size()) - 1;
        const double x0 = m.captured(3).toDouble(), y0 = m.captured(4).toDouble();
        const double x1 = m.captured(5).toDouble(), y1 = m.captured(6).toDouble();
        word.mm = QRectF(QPointF(x0, y0) * kMmPerPoint, QPointF(x1, y1) * kMmPerPoint);
        word.text = unescape(m.captured(7));
        result.words.append(word);
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot read %1").arg(path);
        return result;
    }
    static const QRegularExpression descent(QStringLiteral("/Descent\\s+(-?[0-9.]+)"));
    QSet<double> descents;
    auto found = descent.globalMatch(QString::fromLatin1(file.readAll()));
    while (found.hasNext())
        descents.insert(found.next().captured(1).toDouble());
    result.descent = descents.size() == 1 ? *descents.begin() : std::nan("");
    return result;
}

QString pdfTitle(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(30000))
        return {};
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression title(QStringLiteral("^Title:\\s*(.*)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = title.match(out);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

QList<PdfRun> PdfRuns::containing(const QString &text) const
{
    QList<PdfRun> found;
    for (const PdfRun &run : runs)
        if (run.text.contains(text))
            found.append(run);
    return found;
}

PdfRuns readPdfRuns(const QString &path)
{
    PdfRuns result;
    QProcess process;
    process.start(QStringLiteral("mutool"),
                  {QStringLiteral("draw"), QStringLiteral("-F"), QStringLiteral("stext"), QStringLiteral("-o"),
                   QStringLiteral("-"), path});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        result.error = QStringLiteral("mutool failed on %1: %2 %3")
                           .arg(path, process.errorString(), QString::fromLocal8Bit(process.readAllStandardError()));
        return result;
    }
    const QString xml = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral("<page\\b|<line\\b|<font name=\"([^\"]*)\" size=\"([0-9.eE+\\-]+)\"|"
                       "<char quad=\"([^\"]*)\" x=\"([0-9.eE+\\-]+)\"[^>]*? c=\"([^\"]*)\""));
    PdfRun *run = nullptr;
    auto it = token.globalMatch(xml);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString whole = m.captured(0);
        if (whole.startsWith(QLatin1String("<page"))) {
            ++result.pages;
            run = nullptr;
        } else if (whole.startsWith(QLatin1String("<line"))) {
            run = nullptr;
        } else if (!m.captured(1).isEmpty() || !m.captured(2).isEmpty()) {
            result.runs.append(PdfRun{result.pages - 1, m.captured(1), m.captured(2).toDouble(), QString(), {}});
            run = &result.runs.last();
        } else if (run) {
            const QString c = unescape(m.captured(5));
            const QStringList quad = m.captured(3).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            PdfChar ch;
            ch.c = c.isEmpty() ? QChar() : c.at(0);
            ch.xMm = m.captured(4).toDouble() * kMmPerPoint;
            if (quad.size() == 8) {
                // Upper left to upper right: the advance along the line.
                const double dx = quad.at(2).toDouble() - quad.at(0).toDouble();
                const double dy = quad.at(3).toDouble() - quad.at(1).toDouble();
                ch.advanceMm = std::sqrt(dx * dx + dy * dy) * kMmPerPoint;
            }
            run->text += c;
            run->chars.append(ch);
        }
    }
    return result;
}
