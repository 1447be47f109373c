#include "platform/FileSave.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavolux {

namespace {

using Failure = FileSaveResult::Failure;

bool reserveRoom = true;

Failure failureOf(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Failure::NoRoom;
    case EFBIG:
        return Failure::TooLarge;
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOENT:
    case EISDIR:
        return Failure::Protected;
    default:
        return Failure::Incomplete;
    }
}

FileSaveResult result(Failure failure)
{
    FileSaveResult out;
    out.failure = failure;
    return out;
}

// The usual way: a new file beside the old one, renamed over it when whole.
// Unbuffered, so that a failed write is seen where it happens. Sets *opened
// to whether the new file could be made at all.
FileSaveResult saveBeside(const QString &path, const FileContent &content, bool *opened)
{
    QSaveFile file(path);
    *opened = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!*opened)
        return result(Failure::Protected);
    int writeError = 0;
    bool sinkFailed = false;
    qint64 written = 0;
    const bool made = content.write([&](const char *data, qsizetype size) {
        errno = 0;
        if (file.write(data, size) == size) {
            written += size;
            return true;
        }
        writeError = file.error() == QFileDevice::ResourceError ? ENOSPC : errno;
        sinkFailed = true;
        return false;
    });
    if (sinkFailed || !made || (content.size >= 0 && written != content.size)) {
        file.cancelWriting(); // the new file goes with `file`
        return result(sinkFailed ? failureOf(writeError) : Failure::Source);
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        return result(file.error() == QFileDevice::RenameError ? Failure::NotReplaced : failureOf(error));
    }
    return {};
}

#ifdef Q_OS_UNIX

bool writeAt(int fd, const char *data, qint64 size, qint64 offset, int *error)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

// Writes the content's bytes from `from` up to `to` where they belong in the
// file; the run of `write` is stopped past `to` unless `to` is the end.
Failure writeRange(int fd, const FileContent &content, qint64 size, qint64 from, qint64 to)
{
    if (from >= to && to < size)
        return Failure::None;
    qint64 at = 0;
    int error = 0;
    bool failed = false;
    bool stopped = false;
    const bool made = content.write([&](const char *data, qsizetype n) {
        const qint64 begin = at;
        at += n;
        const qint64 first = std::max(begin, from);
        const qint64 last = std::min(at, to);
        if (first < last && !writeAt(fd, data + (first - begin), last - first, first, &error)) {
            failed = true;
            return false;
        }
        if (to < size && at >= to) {
            stopped = true;
            return false;
        }
        return true;
    });
    if (failed)
        return failureOf(error);
    if (stopped)
        return Failure::None;
    return made && at == size ? Failure::None : Failure::Source;
}

// In place, for a folder that takes no new file. Nothing is written until
// the whole content is known to fit: the room is reserved where the file
// system can, the bytes beyond the old end are written first (so that a full
// disk or a size limit stops the save before any old byte changed, and the
// file is cut back to its old length), and only then are the old bytes
// overwritten and the file cut to its new length.
FileSaveResult saveInPlace(const QString &path, const FileContent &content)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const Failure failure = failureOf(errno);
        return result(failure == Failure::Incomplete ? Failure::Protected : failure);
    }
    struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return result(Failure::Protected);
    const qint64 oldSize = st.st_size;

    qint64 size = content.size;
    if (size < 0) {
        size = 0;
        if (!content.write([&size](const char *, qsizetype n) {
                size += n;
                return true;
            }))
            return result(Failure::Source);
    }
    // Past the limit not even old bytes may be overwritten.
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && rlim_t(size) > limit.rlim_cur)
        return result(Failure::TooLarge);
#ifdef FALLOC_FL_KEEP_SIZE
    if (size > 0 && reserveRoom) {
        int reserved;
        do {
            reserved = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size));
        } while (reserved != 0 && errno == EINTR);
        if (reserved != 0) {
            const Failure failure = failureOf(errno);
            // Elsewhere (no reservation on this file system) the order of
            // the writes below still keeps the old file.
            if (failure == Failure::NoRoom || failure == Failure::TooLarge) {
                // Drops what was reserved past the end before the room ran out.
                (void)::ftruncate(fd, off_t(oldSize));
                return result(failure);
            }
        }
    }
#endif
    if (size > oldSize) {
        const Failure failure = writeRange(fd, content, size, oldSize, size);
        if (failure != Failure::None) {
            (void)::ftruncate(fd, off_t(oldSize));
            return result(failure);
        }
    }
    Failure failure = writeRange(fd, content, size, 0, std::min(oldSize, size));
    if (failure == Failure::None && size < oldSize && ::ftruncate(fd, off_t(size)) != 0)
        failure = failureOf(errno);
    closer.fd = -1;
    if (::close(fd) != 0 && failure == Failure::None)
        failure = failureOf(errno);
    return result(failure);
}

#endif

} // namespace

QString FileSaveResult::reason() const
{
    switch (failure) {
    case Failure::None:
        return QString();
    case Failure::Protected:
        return QStringLiteral("Non è possibile creare il file né sostituire quello esistente: il file o la sua cartella sono protetti.");
    case Failure::NoRoom:
        return QStringLiteral("Il disco è pieno.");
    case Failure::TooLarge:
        return QStringLiteral("Il file supera la dimensione massima che il sistema consente.");
    case Failure::Incomplete:
        return QStringLiteral("Non è stato possibile scrivere il file per intero.");
    case Failure::NotReplaced:
        return QStringLiteral("Non è possibile sostituire il file esistente.");
    case Failure::Source:
        return QStringLiteral("Non è stato possibile leggere per intero i dati da scrivere.");
    }
    return QString();
}

FileSaveResult saveFile(const QString &path, const FileContent &content)
{
    bool opened = false;
    const FileSaveResult beside = saveBeside(path, content, &opened);
    if (opened)
        return beside;
#ifdef Q_OS_UNIX
    return saveInPlace(path, content);
#else
    return beside;
#endif
}

FileSaveResult saveFile(const QString &path, const QByteArray &bytes)
{
    return saveFile(path, FileContent{[&bytes](const ByteSink &sink) { return sink(bytes.constData(), bytes.size()); },
                                      bytes.size()});
}

void setRoomReservation(bool enabled)
{
    reserveRoom = enabled;
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace tavolux
