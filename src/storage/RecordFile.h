#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
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

    // Writes `total` records after the last whole record, in order, in batches
    // of about BatchBytes, each under its own exclusive lock of the file's end
    // (from its last whole record on): other processes' saves and reads go on
    // between batches, and their appends land between two batches. `fill`
    // writes all bytes of record i (0-based) into a buffer of one record;
    // `progress` is told, between batches, how many are written and stops the
    // pass by returning false. Gives the first new position, 0 when stopped,
    // -1 on failure.
    // A stopped or failed pass takes out its own records again: the records
    // other processes appended between its batches move down, in order, to
    // where its first record was; where there are none the file is exactly as
    // it was, a trailing partial record included.
    static constexpr qint64 BatchBytes = qint64(2) << 20;
    struct AppendHooks
    {
        // Under the batch's lock, before it is written: where it goes, the
        // index of its first record, and its records' bytes. False fails the pass.
        std::function<bool(qint64 position, qint64 index, qint64 count, const char *records)> batch;
        // Under the lock of a taking out that keeps other processes' records,
        // before any byte changes: where the pass began, the Count then, and
        // the records kept (see finishUndo). False leaves the file as it is.
        std::function<bool(qint64 from, qint64 count, const QByteArray &kept)> undo;
    };
    qint64 appendAll(qint64 total, const std::function<void(qint64 index, char *record)> &fill,
                     const std::function<bool(qint64 done)> &progress = {}, const AppendHooks &hooks = {});
    // After the last appendAll: the records of other processes that its taking
    // out moved down, and its own records it could not take out (a failure
    // while taking out, or a refused `undo`).
    qint64 movedRecords() const { return m_moved; }
    qint64 leftRecords() const { return m_left; }

    // Finishes a taking out that a process began and did not end: the records
    // `kept` were to go at position `from` and the file to end after them.
    // Under an exclusive lock from `from` on: while record count (the last
    // before it began) is still as `untouched` knows it, the records from
    // `from` on become `kept` followed by those appended since (from count + 1
    // on); otherwise the file was cut already and `kept` is written at `from`.
    bool finishUndo(qint64 from, qint64 count, const QByteArray &kept,
                    const std::function<bool(const char *record)> &untouched);

    QString errorString() const { return m_error; }
    // The system's error number of the last failure (EBUSY: the lock wait gave up), 0 when none.
    int systemError() const { return m_systemError; }
    int recordSize() const { return m_recordSize; }

private:
    bool fail(const QString &what);
    // A lock another process held longer than the wait: the failure says EBUSY.
    bool failBusy();
    bool writeAt(qint64 offset, const QByteArray &record);
    bool writeBytesAt(qint64 offset, const char *data, qint64 size);
    bool readBytesAt(qint64 offset, char *data, qint64 size);

    struct Run
    {
        qint64 position;
        qint64 count;
    };
    bool takeOut(const QList<Run> &runs, const QByteArray &tail, const AppendHooks &hooks);

    int m_recordSize;
    QFile m_file;
    QString m_error;
    int m_systemError = 0;
    qint64 m_moved = 0;
    qint64 m_left = 0;
};

} // namespace tavolux
