#include "platform/ProgramFolder.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/types.h>
#endif

#include <QDir>

namespace tavolux {

ProgramFolder::ProgramFolder(const QString &path)
    : m_path(QDir::cleanPath(path))
{
}

QString ProgramFolder::file(const QString &name) const
{
    if (m_path.isEmpty())
        return name;
    return m_path + QLatin1Char('/') + name;
}

void ProgramFolder::shareWithGroupWhereSetUp() const
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(m_path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && (info.st_mode & S_ISGID)) {
        const mode_t mask = ::umask(0);
        ::umask(mask & ~mode_t(S_IRWXG));
    }
#endif
}

} // namespace tavolux
