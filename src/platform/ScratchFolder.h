#pragma once

#include <QString>

#ifdef Q_OS_UNIX
#include <sys/types.h>
#endif

namespace tavolux {

// A private working folder in the system's temporary folder, named
// "<prefix>-XXXXXX", held locked while the object lives and removed with it.
// Making one also removes the folders of that prefix that nobody holds any
// more: those that a copy of the program left when it was killed.
class ScratchFolder
{
public:
    explicit ScratchFolder(const QString &prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    QString filePath(const QString &name) const { return m_path + QLatin1Char('/') + name; }

private:
#ifdef Q_OS_UNIX
    // Removes `owner`'s folders of `prefix` in the temporary folder that no
    // live ScratchFolder holds.
    static void removeAbandoned(const QString &prefix, uid_t owner);
#endif

    QString m_path;
    int m_lock = -1;
};

} // namespace tavolux
