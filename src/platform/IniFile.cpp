#include "platform/IniFile.h"

#include "platform/Cp1252.h"
#include "platform/FileSave.h"
#include "platform/TextUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavolux {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// The file as lines of bytes, without their line ends and without the mark.
struct Lines
{
    bool utf8 = false;
    QList<QByteArray> lines;
    QList<QByteArray> ends; // each line's own end: CR LF, LF, CR or none

    QString text(qsizetype i) const { return utf8 ? QString::fromUtf8(lines.at(i)) : cp1252::decode(lines.at(i)); }
    QByteArray bytes(const QString &text) const { return utf8 ? text.toUtf8() : cp1252::encode(text); }
};

Lines splitLines(const QByteArray &content)
{
    Lines out;
    qsizetype at = 0;
    if (content.startsWith(kBom)) {
        out.utf8 = true;
        at = kBom.size();
    }
    qsizetype begin = at;
    for (; at < content.size(); ++at) {
        const char c = content.at(at);
        if (c != '\r' && c != '\n')
            continue;
        out.lines << content.mid(begin, at - begin);
        const qsizetype endStart = at;
        if (c == '\r' && at + 1 < content.size() && content.at(at + 1) == '\n')
            ++at;
        out.ends << content.mid(endStart, at + 1 - endStart);
        begin = at + 1;
    }
    if (begin < content.size()) {
        out.lines << content.mid(begin);
        out.ends << QByteArray();
    }
    return out;
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

// As GetPrivateProfileString: matching quotes around the value are dropped.
QString unquoted(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

IniFile::IniFile(const QString &path)
    : m_path(path)
{
}

QString IniFile::damagedReason()
{
    return QStringLiteral("Il file esistente non si può leggere per intero e non viene sostituito.");
}

IniFile::Load IniFile::load(const QString &path, QByteArray *content)
{
    content->clear();
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        return Load::Missing;
    if (!info.isFile() || info.size() > MaxSize)
        return Load::Damaged;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Load::Damaged;
    *content = file.read(MaxSize + 1);
    return content->size() > MaxSize || file.error() != QFileDevice::NoError ? Load::Damaged : Load::Ok;
#else
    // Non-blocking, so that a FIFO does not wait for a writer; the checks are
    // made on what was opened.
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Load::Missing : Load::Damaged;
    struct stat st;
    Load result = Load::Damaged;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxSize) {
        QByteArray bytes;
        char chunk[1 << 16];
        bool failed = false;
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            failed = n < 0;
            if (n <= 0)
                break;
            bytes.append(chunk, qsizetype(n));
            // A file that grew past the limit while it was read.
            if (bytes.size() > MaxSize) {
                failed = true;
                break;
            }
        }
        if (!failed) {
            *content = bytes;
            result = Load::Ok;
        }
    }
    ::close(fd);
    return result;
#endif
}

QString IniFile::readString(const QString &section, const QString &key, bool *damaged) const
{
    QByteArray content;
    const Load loaded = load(m_path, &content);
    if (damaged)
        *damaged = loaded == Load::Damaged;
    return loaded == Load::Ok ? valueIn(content, section, key) : QString();
}

QString IniFile::valueIn(const QByteArray &content, const QString &section, const QString &key)
{
    const Lines file = splitLines(content);
    bool inSection = false;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const QString line = file.text(i);
        QString name;
        if (sectionName(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (inSection && keyOf(line, &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(v);
    }
    return {};
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value, Style style,
                          QString *reason)
{
    QByteArray content;
    // A file that cannot be read whole is not replaced: its other lines would be lost.
    if (load(m_path, &content) == Load::Damaged) {
        if (reason)
            *reason = damagedReason();
        return false;
    }
    Lines file = splitLines(content);
    const QByteArray entry = file.bytes(key + QLatin1Char('=') + value);
    int sectionLine = -1;
    int insertAt = -1;
    bool done = false;
    for (int i = 0; i < file.lines.size() && !done; ++i) {
        const QString line = file.text(i);
        QString name;
        if (sectionName(line, &name)) {
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
        if (keyOf(line, &k, nullptr) && k.compare(key, Qt::CaseInsensitive) == 0) {
            file.lines[i] = entry;
            done = true;
        } else if (!trimText(line).isEmpty()) {
            insertAt = i + 1;
        }
    }
    const bool keep = style == Style::KeepBytes;
    const QByteArray newEnd = keep && !file.ends.isEmpty() && !file.ends.first().isEmpty() ? file.ends.first()
                                                                                          : QByteArray("\r\n");
    auto insertLine = [&file, &newEnd](qsizetype at, const QByteArray &line) {
        // The line before an added one needs an end of its own.
        if (at > 0 && file.ends.at(at - 1).isEmpty())
            file.ends[at - 1] = newEnd;
        file.lines.insert(at, line);
        file.ends.insert(at, newEnd);
    };
    if (!done) {
        if (sectionLine < 0) {
            if (!keep && !file.lines.isEmpty() && !trimText(file.text(file.lines.size() - 1)).isEmpty())
                insertLine(file.lines.size(), QByteArray());
            insertLine(file.lines.size(), file.bytes(QLatin1Char('[') + section + QLatin1Char(']')));
            insertLine(file.lines.size(), entry);
        } else {
            insertLine(insertAt, entry);
        }
    }
    QByteArray bytes = file.utf8 ? kBom : QByteArray();
    for (qsizetype i = 0; i < file.lines.size(); ++i)
        bytes += file.lines.at(i) + (keep ? file.ends.at(i) : QByteArray("\r\n"));

    const FileSaveResult saved = saveFile(m_path, bytes);
    if (!saved.ok() && reason)
        *reason = saved.reason();
    return saved.ok();
}

} // namespace tavolux
