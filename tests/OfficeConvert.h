#pragma once

// LibreOffice as the user's spreadsheet program: converts a file headless
// (soffice --convert-to) and reads CSV back, so that tests see the cells as
// LibreOffice shows them. One profile folder serves every conversion of a
// converter, which keeps the later ones fast.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

class OfficeConverter
{
public:
    static QString soffice() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }
    static const char *skipReason()
    {
        return "soffice not installed (scripts/setup.sh installs libreoffice-calc-nogui)";
    }

    // Converts `input` to `format` (e.g. "csv:Text - txt - csv (StarCalc):44,34,76,1" or "fods"), read
    // with `inFilter` where given. Gives the converted file's path, or an empty string and the reason.
    QString convert(const QString &input, const QString &format, const QString &inFilter = QString(),
                    QString *error = nullptr)
    {
        const QString outDir = m_work.filePath(QStringLiteral("out%1").arg(++m_runs));
        QDir().mkpath(outDir);
        QStringList arguments{QStringLiteral("-env:UserInstallation=")
                                      + QUrl::fromLocalFile(m_work.filePath(QStringLiteral("profile"))).toString(),
                              QStringLiteral("--headless"), QStringLiteral("--norestore")};
        if (!inFilter.isEmpty())
            arguments << QStringLiteral("--infilter=") + inFilter;
        arguments << QStringLiteral("--convert-to") << format << QStringLiteral("--outdir") << outDir << input;
        QProcess office;
        office.start(soffice(), arguments);
        if (!office.waitForFinished(180000)) {
            office.kill();
            office.waitForFinished();
            if (error)
                *error = QStringLiteral("soffice did not finish");
            return QString();
        }
        const QString extension = format.section(QLatin1Char(':'), 0, 0);
        const QString output =
                QDir(outDir).filePath(QFileInfo(input).completeBaseName() + QLatin1Char('.') + extension);
        if (!QFileInfo::exists(output)) {
            if (error)
                *error = QString::fromLocal8Bit(office.readAllStandardOutput() + office.readAllStandardError());
            return QString();
        }
        return output;
    }

    static QString csvFormat() { return QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"); }

private:
    QTemporaryDir m_work;
    int m_runs = 0;
};

// Minimal CSV reader: comma separated, double-quoted fields with "" inside;
// a quoted field keeps its line breaks.
inline QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}
