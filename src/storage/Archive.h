#pragma once

#include "platform/ProgramFolder.h"
#include "storage/InParts.h"
#include "storage/RecordFile.h"

#include <functional>
#include <utility>

namespace tavolux {

// An archive of fixed-length records of type Record in the program folder.
// One object is one opening: open, one operation or one pass, close (the
// destructor closes, also after a failure).
template <typename Record, const char *FileName>
class Archive
{
public:
    explicit Archive(const ProgramFolder &folder)
        : m_path(folder.file(QLatin1String(FileName))), m_file(Record::RecordSize) {}

    static QString fileName() { return QLatin1String(FileName); }
    QString path() const { return m_path; }

    bool open() { return m_file.open(m_path); }
    void close() { m_file.close(); }
    qint64 count() { return m_file.count(); }

    bool read(qint64 p, Record &out)
    {
        QByteArray bytes;
        if (!m_file.read(p, bytes))
            return false;
        out = Record::fromRecord(bytes.constData());
        return true;
    }

    // Visits the raw records 1..Count; decode only what is needed.
    bool readAllRaw(const std::function<bool(qint64, const char *)> &visit) { return m_file.readAll(visit); }
    // Records 1..total read in parts at once into one buffer (see readIntoBuffer).
    template <typename Room, typename Put>
    PartedBuffer readIntoBuffer(qint64 total, Room &&room, Put &&put, int parts = 0)
    {
        return tavolux::readIntoBuffer(m_file, total, std::forward<Room>(room), std::forward<Put>(put), parts);
    }

    bool readAll(const std::function<bool(qint64, const Record &)> &visit)
    {
        return m_file.readAll([&](qint64 p, const char *raw) { return visit(p, Record::fromRecord(raw)); });
    }

    bool write(qint64 p, const Record &record) { return m_file.write(p, record.toRecord()); }
    qint64 append(const Record &record) { return m_file.append(record.toRecord()); }

    // Appends all records in batches, each under its own lock (see RecordFile::appendAll).
    qint64 appendAll(qint64 total, const std::function<void(qint64, char *)> &fill,
                     const std::function<bool(qint64)> &progress = {}, const RecordFile::AppendHooks &hooks = {})
    {
        return m_file.appendAll(total, fill, progress, hooks);
    }
    qint64 movedRecords() const { return m_file.movedRecords(); }
    qint64 leftRecords() const { return m_file.leftRecords(); }
    bool finishUndo(qint64 from, qint64 count, const QByteArray &kept,
                    const std::function<bool(const char *record)> &untouched)
    {
        return m_file.finishUndo(from, count, kept, untouched);
    }

    QString errorString() const { return m_file.errorString(); }
    int systemError() const { return m_file.systemError(); }

private:
    QString m_path;
    RecordFile m_file;
};

} // namespace tavolux
