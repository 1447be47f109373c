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

    // Where the folder is set up for a group of users (set-group-ID folder),
    // the files the program creates in it are made writable by the group:
    // the process's file mode mask keeps the group's bits open.
    void shareWithGroupWhereSetUp() const;

private:
    QString m_path;
};

} // namespace tavolux
