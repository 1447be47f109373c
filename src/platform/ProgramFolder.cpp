#include "platform/ProgramFolder.h"

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

} // namespace tavolux
