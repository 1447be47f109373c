#include "platform/ScratchFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavolux {

namespace {

#ifdef Q_OS_UNIX
// The folder itself, opened without following a link; -1 where it is not a
// folder, or not one of `owner`'s (where given).
int openFolder(const QString &path, std::optional<uid_t> owner = std::nullopt)
{
    int fd;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || (owner && st.st_uid != *owner)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sameFolder(int fd, const QString &path)
{
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
           && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
#endif

// The system's temporary folder; empty when TMPDIR names none (Qt then
// gives an empty path, which would mean the root or the current folder).
QString systemTempFolder()
{
    const QString path = QDir::tempPath();
    return !path.isEmpty() && QFileInfo(path).isDir() ? path : QString();
}

} // namespace

ScratchFolder::ScratchFolder(const QString &prefix)
{
    const QString temp = systemTempFolder();
    if (temp.isEmpty())
        return;
    const QString pattern = temp + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX");
    // A folder that another export's clean-up took between its making and
    // its locking is gone when the lock is had: then a new one is made.
    for (int attempt = 0; attempt < 5; ++attempt) {
        QTemporaryDir made(pattern);
        if (!made.isValid())
            return;
#ifdef Q_OS_UNIX
        const int fd = openFolder(made.path());
        if (fd < 0)
            return;
        // Where the file system has no locks, no clean-up can take it either.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (!sameFolder(fd, made.path())) {
            ::close(fd);
            made.setAutoRemove(false);
            continue;
        }
        m_lock = fd;
        struct stat st;
        if (::fstat(fd, &st) == 0)
            removeAbandoned(prefix, st.st_uid);
#endif
        made.setAutoRemove(false);
        m_path = made.path();
        return;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
#ifdef Q_OS_UNIX
    // Only once it is gone, so that no clean-up meets it half removed.
    if (m_lock >= 0)
        ::close(m_lock);
#endif
}

#ifdef Q_OS_UNIX
void ScratchFolder::removeAbandoned(const QString &prefix, uid_t owner)
{
    const QString folder = systemTempFolder();
    if (folder.isEmpty())
        return;
    const QDir temp(folder);
    const QStringList names = temp.entryList({prefix + QStringLiteral("-??????")},
                                             QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString path = temp.filePath(name);
        const int fd = openFolder(path, owner);
        if (fd < 0)
            continue;
        // A live folder's owner holds the lock; a killed one's lock went with it.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFolder(fd, path))
            QDir(path).removeRecursively();
        ::close(fd);
    }
}
#endif

} // namespace tavolux
