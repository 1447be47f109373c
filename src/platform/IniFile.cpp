#include "platform/IniFile.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace tavolux {

namespace {

QStringList splitLines(const QByteArray &content)
{
    QString text = cp1252::decode(content);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return splitLines(file.readAll());
}

bool sectionName(const QString &line, QString *name)
{
    const QString t = trimText(line);
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
        *name = trimText(t.mid(1, t.size() - 2));
        return true;
    }
    return false;
}

bool keyOf(const QString &line, QString *key, QString *value)
{
    const int eq = int(line.indexOf(QLatin1Char('=')));
    if (eq < 0)
        return false;
    *key = trimText(line.left(eq));
    if (value)
        *value = trimText(line.mid(eq + 1));
    return true;
}

} // namespace

IniFile::IniFile(const QString &path)
    : m_path(path)
{
}

QString IniFile::readString(const QString &section, const QString &key) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return valueIn(file.readAll(), section, key);
}

QString IniFile::valueIn(const QByteArray &content, const QString &section, const QString &key)
{
    bool inSection = false;
    for (const QString &line : splitLines(content)) {
        QString name;
        if (sectionName(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && keyOf(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    QStringList lines = readLines(m_path);
    const QString entry = key + QLatin1Char('=') + value;
    int sectionLine = -1;
    int insertAt = -1;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        QString name;
        if (sectionName(lines.at(i), &name)) {
            if (sectionLine >= 0)
                break; // end of our section
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        QString k;
        if (keyOf(lines.at(i), &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            done = true;
        } else if (!trimText(lines.at(i)).isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionLine < 0) {
            if (!lines.isEmpty() && !trimText(lines.last()).isEmpty())
                lines << QString();
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        } else {
            lines.insert(insertAt, entry);
        }
    }

    QSaveFile file(m_path);
    // Unbuffered, so a failed write is seen by QSaveFile itself and commit()
    // drops the new file; a buffered write failing only at commit would
    // still replace the old file with a short one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = cp1252::encode(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tavolux
