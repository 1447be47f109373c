#pragma once

// A small tmpfs mounted on a fresh folder, for writes that meet a full disk
// for real (ENOSPC). Needs root; mounted() is false elsewhere, and the test skips.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes)
    {
        if (::geteuid() != 0 || !m_dir.isValid())
            return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        m_mounted = ::mount("tavolux-test", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    // Mounts the disk again read-only: every write then fails with EROFS.
    bool setReadOnly()
    {
        return m_mounted
               && ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                          nullptr) == 0;
    }
    static const char *skipReason() { return "needs root to mount a small tmpfs"; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    qint64 room() const
    {
        struct statvfs st;
        if (::statvfs(QFile::encodeName(m_dir.path()).constData(), &st) != 0)
            return -1;
        return qint64(st.f_bavail) * qint64(st.f_bsize);
    }

    // Fills the disk with a file of its own until only `bytes` are left
    // (0: until a write fails). False when the disk could not be filled.
    bool leaveRoom(qint64 bytes)
    {
        const int fd = ::open(QFile::encodeName(filePath(QStringLiteral(".riempitivo"))).constData(),
                              O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray chunk(4096, 'f');
        bool ok = true;
        while (room() > bytes) {
            const qint64 size = qMin<qint64>(chunk.size(), room() - bytes);
            if (::write(fd, chunk.constData(), size_t(size)) != ssize_t(size)) {
                ok = bytes == 0 && errno == ENOSPC;
                break;
            }
        }
        ::close(fd);
        return ok && (bytes == 0 || room() == bytes);
    }

    // The entries of the disk's folder `sub`, without the filler.
    QStringList entries(const QString &sub = QString()) const
    {
        QStringList list = QDir(sub.isEmpty() ? path() : filePath(sub))
                               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        list.removeAll(QStringLiteral(".riempitivo"));
        return list;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
