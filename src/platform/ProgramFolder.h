#pragma once

#include <QString>

namespace tavolux {

// The folder that holds the program; every file the program names lies in it or below it.
class ProgramFolder
{
public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString &path);

    QString path() const { return m_path; }
    // Path of a file (or folder) inside the program folder.
    QString file(const QString &name) const;

private:
    QString m_path;
};

} // namespace tavolux
