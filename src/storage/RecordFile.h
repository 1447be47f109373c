#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>

namespace tavolux {

// A file of fixed-length records with no header. One opening per action:
// open, one operation or one pass, close (also on failure: the destructor closes).
class RecordFile
{
public:
    explicit RecordFile(int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Open-or-create: open for shared reading and writing; where the file is
    // missing create it empty. An existing file is never replaced.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    // Whole records; a trailing piece shorter than one record is not counted. -1 on failure.
    qint64 count();
    // Longest wait for a range another process holds locked; the operation
    // then fails.
    static constexpr int LockWaitMs = 5000;
    // Test seam: the wait used instead of LockWaitMs (0: LockWaitMs again).
    static void setLockWait(int milliseconds);

    // Record p (1-based) into out, under a shared lock of its range, so that
    // it is never read while a write is under way; false when it cannot be read whole.
    bool read(qint64 p, QByteArray &out);
    // Reads records 1..Count in turn, each chunk under a shared lock of its
    // range; the visitor may stop the pass by returning false.
    bool readAll(const std::function<bool(qint64 position, const char *record)> &visit);
    // Reads records 1..total split into `parts` runs of consecutive records,
    // all at once: part 0 on the calling thread, each other on a thread of its
    // own, with its own chunks and shared locks. Part k holds records
    // inparts::partStart(total, parts, k) + 1 to partStart(total, parts, k + 1),
    // those the file has, handed to `visit` a chunk at a time and in turn:
    // `count` records from position `first`. The visitor is called from all
    // threads at once; returning false stops its part. An exception from it
    // stops every part, and is thrown again here once all have stopped.
    // (storage/InParts.h reads records into one buffer this way.)
    bool readAllInParts(qint64 total, int parts,
                        const std::function<bool(int part, qint64 first, const char *records, qint64 count)> &visit);
    // Overwrites record p (1 <= p <= Count) under a lock on its range.
    bool write(qint64 p, const QByteArray &record);
    // Writes after the last whole record, under an exclusive lock around
    // counting and writing; returns the new position or -1.
    qint64 append(const QByteArray &record);

    // Writes `total` records after the last whole record in one pass, under one
    // exclusive lock held from counting to the last write. `fill` writes all
    // bytes of record i (0-based) into a buffer of one record; `progress` is told how many
    // are written and stops the pass by returning false. A stopped or failed pass
    // leaves the file exactly as it was. Gives the first new position, 0 when
    // stopped, -1 on failure.
    qint64 appendAll(qint64 total, const std::function<void(qint64 index, char *record)> &fill,
                     const std::function<bool(qint64 done)> &progress = {});

    QString errorString() const { return m_error; }
    // The system's error number of the last failure (EBUSY: the lock wait gave up), 0 when none.
    int systemError() const { return m_systemError; }
    int recordSize() const { return m_recordSize; }

private:
    bool fail(const QString &what);
    // A lock another process held longer than the wait: the failure says EBUSY.
    bool failBusy();
    bool writeAt(qint64 offset, const QByteArray &record);

    int m_recordSize;
    QFile m_file;
    QString m_error;
    int m_systemError = 0;
};

} // namespace tavolux
