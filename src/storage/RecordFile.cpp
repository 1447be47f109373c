#include "storage/RecordFile.h"

#include "storage/InParts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <optional>
#include <thread>
#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavolux {

namespace {

std::atomic<int> g_lockWaitMs{RecordFile::LockWaitMs};

// A short OS byte-range lock, shared (readers) or exclusive (writers),
// released when the guard goes out of scope. Another process's lock on the
// range is waited for at most RecordFile::LockWaitMs (or the test's wait).
class RangeLock
{
public:
    enum Kind { Shared, Exclusive };

    RangeLock(QFile &file, qint64 start, qint64 length, Kind kind)
        : m_fd(file.handle()), m_start(start), m_length(length)
    {
        QElapsedTimer waited;
        waited.start();
        int pause = 1;
        for (;;) {
            const Try result = tryLock(kind);
            if (result == Try::Locked) {
                m_locked = true;
                return;
            }
            if (result == Try::NoLocks)
                return; // a file system without locks (some network shares): go on
            if (waited.elapsed() >= g_lockWaitMs.load(std::memory_order_relaxed)) {
                m_timedOut = true;
                return;
            }
            QThread::msleep(pause);
            pause = qMin(pause * 2, 2); // short pauses: a waiter gets its turn among busy writers
        }
    }
    ~RangeLock()
    {
        if (!m_locked)
            return;
#ifdef Q_OS_WIN
        OVERLAPPED ov = overlapped();
        UnlockFileEx(HANDLE(_get_osfhandle(m_fd)), 0, DWORD(lengthToLock() & 0xffffffff),
                     DWORD(lengthToLock() >> 32), &ov);
#else
        struct flock fl = {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = off_t(m_start);
        fl.l_len = off_t(m_length);
        ::fcntl(m_fd, F_SETLK, &fl);
#endif
    }
    // False only when another process held the range for too long.
    bool ok() const { return !m_timedOut; }

private:
    enum class Try { Locked, Busy, NoLocks };

    Try tryLock(Kind kind)
    {
#ifdef Q_OS_WIN
        OVERLAPPED ov = overlapped();
        DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (kind == Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (LockFileEx(HANDLE(_get_osfhandle(m_fd)), flags, 0, DWORD(lengthToLock() & 0xffffffff),
                       DWORD(lengthToLock() >> 32), &ov))
            return Try::Locked;
        return GetLastError() == ERROR_LOCK_VIOLATION || GetLastError() == ERROR_IO_PENDING ? Try::Busy : Try::NoLocks;
#else
        struct flock fl = {};
        fl.l_type = kind == Exclusive ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = off_t(m_start);
        fl.l_len = off_t(m_length); // 0: to the end of the file and beyond
        int rc;
        do {
            rc = ::fcntl(m_fd, F_SETLK, &fl);
        } while (rc == -1 && errno == EINTR);
        if (rc == 0)
            return Try::Locked;
        return errno == EACCES || errno == EAGAIN ? Try::Busy : Try::NoLocks;
#endif
    }
#ifdef Q_OS_WIN
    quint64 lengthToLock() const { return m_length > 0 ? quint64(m_length) : ~quint64(0) >> 1; }
    OVERLAPPED overlapped() const
    {
        OVERLAPPED ov = {};
        ov.Offset = DWORD(m_start & 0xffffffff);
        ov.OffsetHigh = DWORD(quint64(m_start) >> 32);
        return ov;
    }
#endif

    int m_fd;
    qint64 m_start;
    qint64 m_length;
    bool m_locked = false;
    bool m_timedOut = false;
};

qint64 currentSize(QFile &file)
{
#ifdef Q_OS_WIN
    return file.size();
#else
    struct stat st;
    if (::fstat(file.handle(), &st) != 0)
        return -1;
    return qint64(st.st_size);
#endif
}

bool truncateTo(int fd, qint64 size)
{
#ifdef Q_OS_WIN
    return _chsize_s(fd, size) == 0;
#else
    int rc;
    do {
        rc = ::ftruncate(fd, off_t(size));
    } while (rc == -1 && errno == EINTR);
    return rc == 0;
#endif
}

#ifdef Q_OS_WIN
OVERLAPPED overlappedAt(qint64 offset)
{
    OVERLAPPED ov = {};
    ov.Offset = DWORD(quint64(offset) & 0xffffffff);
    ov.OffsetHigh = DWORD(quint64(offset) >> 32);
    return ov;
}
#endif

// Reads n bytes at offset without moving the file's position, so that threads
// can share one handle. Bytes read, or -1.
qint64 readAt(int fd, char *data, qint64 n, qint64 offset)
{
#ifdef Q_OS_WIN
    OVERLAPPED ov = overlappedAt(offset);
    DWORD got = 0;
    if (!ReadFile(HANDLE(_get_osfhandle(fd)), data, DWORD(qMin<qint64>(n, 1 << 30)), &got, &ov))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return qint64(got);
#else
    ssize_t rc;
    do {
        rc = ::pread(fd, data, size_t(n), off_t(offset));
    } while (rc == -1 && errno == EINTR);
    return qint64(rc);
#endif
}

// Writes n bytes at offset without moving the file's position. Bytes
// written, or -1.
qint64 writeAtOffset(int fd, const char *data, qint64 n, qint64 offset)
{
#ifdef Q_OS_WIN
    OVERLAPPED ov = overlappedAt(offset);
    DWORD put = 0;
    if (!WriteFile(HANDLE(_get_osfhandle(fd)), data, DWORD(qMin<qint64>(n, 1 << 30)), &put, &ov))
        return -1;
    return qint64(put);
#else
    ssize_t rc;
    do {
        rc = ::pwrite(fd, data, size_t(n), off_t(offset));
    } while (rc == -1 && errno == EINTR);
    return qint64(rc);
#endif
}

// An exclusive lock of the file from record `fromRecord` (0-based) on, or,
// where it is negative, from the end of its last whole record on. That end
// may move while the lock is awaited: once the lock is held the file is
// counted again, and where it has become shorter than the locked start the
// lock is taken again from its new end. False when the wait gave up or the
// file could not be measured.
bool lockTail(QFile &file, qint64 recordSize, qint64 fromRecord, std::optional<RangeLock> &lock, qint64 &count,
              qint64 &size)
{
    size = currentSize(file);
    if (size < 0)
        return false;
    qint64 start = fromRecord >= 0 ? fromRecord * recordSize : size / recordSize * recordSize;
    for (;;) {
        lock.emplace(file, start, 0, RangeLock::Exclusive);
        if (!lock->ok())
            return false;
        size = currentSize(file);
        if (size < 0)
            return false;
        count = size / recordSize;
        if (fromRecord >= 0 || count * recordSize >= start)
            return true;
        lock.reset();
        start = count * recordSize;
    }
}

// After this much time under the lock, the pass leaves the file unlocked for
// a moment, long enough for a process that waits for it to take its turn.
constexpr qint64 TurnAfterMs = 200;
constexpr int TurnMs = 6;

} // namespace

RecordFile::RecordFile(int recordSize)
    : m_recordSize(recordSize)
{
}

RecordFile::~RecordFile()
{
    close();
}

bool RecordFile::open(const QString &path)
{
    close();
    m_error.clear();
    m_file.setFileName(path);
    m_systemError = 0;
    const auto mode = QIODevice::ReadWrite | QIODevice::Unbuffered;
    if (m_file.open(mode | QIODevice::ExistingOnly))
        return true;
    int reason = errno;
    // Create only where nothing exists; a file that is there but cannot be
    // opened is a failure, never replaced. Another copy may create it at any
    // moment after the first try: a file that is there now is opened again.
    if (!QFileInfo::exists(path)) {
        if (m_file.open(mode | QIODevice::NewOnly))
            return true;
        reason = errno;
    }
    if (QFileInfo::exists(path)) {
        if (m_file.open(mode | QIODevice::ExistingOnly))
            return true;
        reason = errno;
    }
    m_systemError = reason;
    return fail(QStringLiteral("open"));
}

void RecordFile::setLockWait(int milliseconds)
{
    g_lockWaitMs = milliseconds > 0 ? milliseconds : LockWaitMs;
}

void RecordFile::close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool RecordFile::fail(const QString &what)
{
    if (m_systemError == 0)
        m_systemError = errno;
    m_error = what + QStringLiteral(": ") + m_file.errorString();
    close();
    return false;
}

bool RecordFile::failBusy()
{
    m_systemError = EBUSY;
    return fail(QStringLiteral("lock"));
}

qint64 RecordFile::count()
{
    if (!m_file.isOpen())
        return -1;
    const qint64 size = currentSize(m_file);
    if (size < 0) {
        fail(QStringLiteral("size"));
        return -1;
    }
    return size / m_recordSize;
}

bool RecordFile::read(qint64 p, QByteArray &out)
{
    if (!m_file.isOpen() || p < 1)
        return fail(QStringLiteral("read"));
    // Shared with other readers, never while a writer is in the middle of it.
    const RangeLock lock(m_file, (p - 1) * m_recordSize, m_recordSize, RangeLock::Shared);
    if (!lock.ok())
        return failBusy();
    if (!m_file.seek((p - 1) * m_recordSize))
        return fail(QStringLiteral("seek"));
    out.resize(m_recordSize);
    qint64 got = 0;
    while (got < m_recordSize) {
        const qint64 n = m_file.read(out.data() + got, m_recordSize - got);
        if (n <= 0)
            return fail(QStringLiteral("read"));
        got += n;
    }
    return true;
}

bool RecordFile::readAll(const std::function<bool(qint64, const char *)> &visit)
{
    const qint64 total = count();
    if (total < 0)
        return false;
    if (!m_file.seek(0))
        return fail(QStringLiteral("seek"));
    // Read in chunks of whole records: one sequential pass.
    const qint64 perChunk = qMax<qint64>(1, (1 << 20) / m_recordSize);
    QByteArray chunk;
    qint64 position = 0;
    while (position < total) {
        const qint64 records = qMin(perChunk, total - position);
        const qint64 bytes = records * m_recordSize;
        chunk.resize(bytes);
        {
            const RangeLock lock(m_file, position * m_recordSize, bytes, RangeLock::Shared);
            if (!lock.ok())
                return failBusy();
            qint64 got = 0;
            while (got < bytes) {
                const qint64 n = m_file.read(chunk.data() + got, bytes - got);
                if (n <= 0)
                    return fail(QStringLiteral("read"));
                got += n;
            }
        }
        for (qint64 i = 0; i < records; ++i) {
            ++position;
            if (!visit(position, chunk.constData() + i * m_recordSize))
                return true;
        }
    }
    return true;
}

bool RecordFile::readAllInParts(qint64 total, int parts,
                                const std::function<bool(int part, qint64 first, const char *records, qint64 count)> &visit)
{
    using inparts::partStart;
    const qint64 present = count();
    if (present < 0)
        return false;
    parts = qMax(1, parts);
    const int fd = m_file.handle();
    const qint64 recordSize = m_recordSize;
    // Set when a visitor throws: every part stops at its next chunk.
    std::atomic<bool> stopped{false};
    // Each part: its own chunk and locks; the first error it meets.
    auto readPart = [&, fd, recordSize](int part, const char **failed) {
        const qint64 end = qMin(partStart(total, parts, part + 1), present);
        const qint64 perChunk = qMax<qint64>(1, (1 << 20) / recordSize);
        QByteArray chunk;
        for (qint64 first = partStart(total, parts, part); first < end && !stopped.load(std::memory_order_relaxed);) {
            const qint64 records = qMin(perChunk, end - first);
            const qint64 bytes = records * recordSize;
            chunk.resize(bytes);
            {
                const RangeLock lock(m_file, first * recordSize, bytes, RangeLock::Shared);
                if (!lock.ok()) {
                    *failed = "lock";
                    return;
                }
                for (qint64 got = 0; got < bytes;) {
                    const qint64 n = readAt(fd, chunk.data() + got, bytes - got, first * recordSize + got);
                    if (n <= 0) {
                        *failed = "read";
                        return;
                    }
                    got += n;
                }
            }
            if (!visit(part, first + 1, chunk.constData(), records))
                return;
            first += records;
        }
    };
    std::vector<const char *> failures(size_t(parts), nullptr);
    std::vector<std::exception_ptr> thrown(static_cast<size_t>(parts));
    auto guardedPart = [&](int part) {
        try {
            readPart(part, &failures[size_t(part)]);
        } catch (...) {
            thrown[size_t(part)] = std::current_exception();
            stopped = true;
        }
    };
    {
        std::vector<std::thread> others;
        std::vector<int> here; // parts no thread could be started for
        for (int part = 1; part < parts; ++part) {
            try {
                others.emplace_back(guardedPart, part);
            } catch (...) {
                here.push_back(part);
            }
        }
        guardedPart(0);
        for (const int part : here)
            guardedPart(part);
        for (std::thread &t : others)
            t.join();
    }
    for (const std::exception_ptr &e : thrown) {
        if (e)
            std::rethrow_exception(e);
    }
    for (const char *what : failures) {
        if (what)
            return std::strcmp(what, "lock") == 0 ? failBusy() : fail(QString::fromLatin1(what));
    }
    return true;
}

// Writes one record at offset; on failure the file is still open, for the
// caller to undo what it can before it closes.
bool RecordFile::writeAt(qint64 offset, const QByteArray &record)
{
    if (record.size() != m_recordSize || !m_file.seek(offset))
        return false;
    qint64 done = 0;
    while (done < m_recordSize) {
        const qint64 n = m_file.write(record.constData() + done, m_recordSize - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return m_file.flush();
}

bool RecordFile::write(qint64 p, const QByteArray &record)
{
    if (!m_file.isOpen() || p < 1)
        return fail(QStringLiteral("write"));
    const qint64 offset = (p - 1) * m_recordSize;
    const RangeLock lock(m_file, offset, m_recordSize, RangeLock::Exclusive);
    if (!lock.ok())
        return failBusy();
    return writeAt(offset, record) || fail(QStringLiteral("write"));
}

qint64 RecordFile::append(const QByteArray &record)
{
    if (!m_file.isOpen()) {
        fail(QStringLiteral("append"));
        return -1;
    }
    m_systemError = 0;
    const RangeLock lock(m_file, 0, 0, RangeLock::Exclusive);
    if (!lock.ok()) {
        failBusy(); // another copy held the archive longer than a wait
        return -1;
    }
    const qint64 size = currentSize(m_file);
    const qint64 total = count();
    if (total < 0)
        return -1;
    if (!writeAt(total * m_recordSize, record)) {
        // A full disk: give back what the failed write added, still under
        // the lock, so that the file is as long as it was.
        if (size >= 0)
            truncateTo(m_file.handle(), size);
        fail(QStringLiteral("append"));
        return -1;
    }
    return total + 1;
}

bool RecordFile::writeBytesAt(qint64 offset, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const qint64 n = writeAtOffset(m_file.handle(), data + done, size - done, offset + done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool RecordFile::readBytesAt(qint64 offset, char *data, qint64 size)
{
    for (qint64 got = 0; got < size;) {
        const qint64 n = readAt(m_file.handle(), data + got, size - got, offset + got);
        if (n <= 0)
            return false;
        got += n;
    }
    return true;
}

qint64 RecordFile::appendAll(qint64 total, const std::function<void(qint64, char *)> &fill,
                             const std::function<bool(qint64)> &progress, const AppendHooks &hooks)
{
    m_moved = 0;
    m_left = 0;
    if (!m_file.isOpen() || total < 0) {
        fail(QStringLiteral("append"));
        return -1;
    }
    m_systemError = 0;
    if (total == 0) {
        const qint64 count = this->count();
        return count < 0 ? -1 : count + 1;
    }
    const qint64 perBatch = qMax<qint64>(1, BatchBytes / m_recordSize);
    QList<Run> runs;
    QByteArray tail; // the trailing partial record that the first batch went over
    QByteArray batch;
    qint64 done = 0;
    qint64 lockedMs = 0;
    // Takes the pass's records out again, then ends it.
    auto stop = [&](const QString &failure) -> qint64 {
        const int reason = m_systemError;
        const bool out = runs.isEmpty() || takeOut(runs, tail, hooks);
        if (!out)
            m_left = done;
        m_systemError = reason;
        if (failure.isEmpty() && out)
            return 0;
        fail(failure.isEmpty() ? QStringLiteral("undo") : failure);
        return failure.isEmpty() ? 0 : -1;
    };
    while (done < total) {
        const qint64 records = qMin(perBatch, total - done);
        const qint64 bytes = records * m_recordSize;
        batch.resize(bytes);
        for (qint64 i = 0; i < records; ++i)
            fill(done + i, batch.data() + i * m_recordSize);
        QString failure;
        qint64 position = 0;
        {
            std::optional<RangeLock> lock;
            qint64 count = 0, size = 0;
            QElapsedTimer held;
            held.start();
            if (!lockTail(m_file, m_recordSize, -1, lock, count, size)) {
                m_systemError = lock && !lock->ok() ? EBUSY : errno;
                failure = QStringLiteral("lock");
            } else {
                const qint64 start = count * m_recordSize;
                position = count + 1;
                QByteArray piece(size - start, Qt::Uninitialized);
                if (!piece.isEmpty() && !readBytesAt(start, piece.data(), piece.size())) {
                    m_systemError = errno;
                    failure = QStringLiteral("read");
                } else if (hooks.batch && !hooks.batch(position, done, records, batch.constData())) {
                    if (m_systemError == 0)
                        m_systemError = errno;
                    failure = QStringLiteral("batch");
                } else if (!writeBytesAt(start, batch.constData(), bytes)) {
                    // A full disk: this batch goes at once, under its lock,
                    // and the file is as long as it was.
                    m_systemError = errno;
                    truncateTo(m_file.handle(), start);
                    if (!piece.isEmpty())
                        writeBytesAt(start, piece.constData(), piece.size());
                    failure = QStringLiteral("append");
                } else if (runs.isEmpty()) {
                    tail = piece;
                }
            }
            lockedMs += held.elapsed();
        }
        if (!failure.isEmpty())
            return stop(failure);
        runs.append({position, records});
        done += records;
        if (lockedMs >= TurnAfterMs) {
            QThread::msleep(TurnMs);
            lockedMs = 0;
        }
        if (progress && !progress(done))
            return stop(QString());
    }
    return runs.first().position;
}

bool RecordFile::takeOut(const QList<Run> &runs, const QByteArray &tail, const AppendHooks &hooks)
{
    const qint64 from = runs.first().position;
    std::optional<RangeLock> lock;
    qint64 count = 0, size = 0;
    if (!lockTail(m_file, m_recordSize, from - 1, lock, count, size)) {
        m_systemError = lock && !lock->ok() ? EBUSY : errno;
        return false;
    }
    // The records between and after the runs are other processes': kept, in order.
    QByteArray kept;
    qint64 p = from;
    for (qsizetype r = 0; r <= runs.size(); ++r) {
        const qint64 gapEnd = r < runs.size() ? runs.at(r).position : count + 1;
        if (gapEnd > p) {
            const qsizetype at = kept.size();
            kept.resize(at + (gapEnd - p) * m_recordSize);
            if (!readBytesAt((p - 1) * m_recordSize, kept.data() + at, (gapEnd - p) * m_recordSize))
                return false;
        }
        if (r < runs.size())
            p = runs.at(r).position + runs.at(r).count;
    }
    const qint64 start = (from - 1) * m_recordSize;
    if (kept.isEmpty())
        return truncateTo(m_file.handle(), start) && writeBytesAt(start, tail.constData(), tail.size());
    if (hooks.undo && !hooks.undo(from, count, kept))
        return false;
    if (!writeBytesAt(start, kept.constData(), kept.size()) || !truncateTo(m_file.handle(), start + kept.size()))
        return false;
    m_moved = kept.size() / m_recordSize;
    return true;
}

bool RecordFile::finishUndo(qint64 from, qint64 count, const QByteArray &kept,
                            const std::function<bool(const char *)> &untouched)
{
    if (!m_file.isOpen() || from < 1 || count < from || kept.size() % m_recordSize != 0)
        return fail(QStringLiteral("undo"));
    m_systemError = 0;
    std::optional<RangeLock> lock;
    qint64 now = 0, size = 0;
    if (!lockTail(m_file, m_recordSize, from - 1, lock, now, size)) {
        m_systemError = lock && !lock->ok() ? EBUSY : errno;
        return fail(QStringLiteral("lock"));
    }
    // The last record before the taking out began lies past the kept ones:
    // as it was, the file has not been cut yet.
    QByteArray last(m_recordSize, Qt::Uninitialized);
    if (now < count || !readBytesAt((count - 1) * m_recordSize, last.data(), m_recordSize) || !untouched(last.constData()))
        return true;
    QByteArray rest = kept;
    const qint64 appended = (now - count) * m_recordSize;
    rest.resize(kept.size() + appended);
    const qint64 start = (from - 1) * m_recordSize;
    if ((appended > 0 && !readBytesAt(count * m_recordSize, rest.data() + kept.size(), appended))
        || !writeBytesAt(start, rest.constData(), rest.size()) || !truncateTo(m_file.handle(), start + rest.size()))
        return fail(QStringLiteral("undo"));
    return true;
}

} // namespace tavolux
