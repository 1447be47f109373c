#pragma once

#include "storage/RecordFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace tavolux {

namespace inparts {

// The one rule for splitting work on many items (reading records, sorting
// lines, lowering them): two parts from MinItems on, where the machine has
// two cores or more; one otherwise.
inline constexpr qint64 MinItems = 4096;
int partsFor(qint64 items);

// Where part `part` of `total` items split into `parts` begins (0-based);
// part `parts` begins at `total`. The first parts take one more where it
// does not divide.
qint64 partStart(qint64 total, int parts, int part);

} // namespace inparts

// Records read in parts into one buffer: each part's bytes, one part after
// another with nothing between them.
struct PartedBuffer
{
    QByteArray bytes;
    std::vector<qint64> starts;  // where each kept part's bytes begin in `bytes`
    std::vector<qint64> records; // how many records each kept part read
    // The records read without a gap from the first: those of the kept parts.
    // A part that came short is the last one kept.
    qint64 read = 0;
    bool ok = true; // false: a read failed, memory ran out or a visitor threw
    QString error;
};

namespace inparts {

// What the reading asks of each chunk of records that a part has read:
// `room` gives the most bytes the `count` records at `records` may add,
// `put` writes them at `out` and gives how many it wrote. `offset` is where
// `out` lies within the part's own bytes; it stays true when the buffer
// moves, unlike `out`.
struct ChunkFill
{
    std::function<qint64(const char *records, qint64 count)> room;
    std::function<qint64(int part, qint64 first, const char *records, qint64 count, char *out, qint64 offset)> put;
};

PartedBuffer readChunks(RecordFile &file, qint64 total, int parts, const ChunkFill &fill);

} // namespace inparts

// Reads records 1..total of an opened file in `parts` runs at once (0: as
// inparts::partsFor says), each run into its own stretch of one buffer, then
// closes the gaps between the stretches. Each stretch is sized from the
// records its part has seen and grows (the buffer then moves) when they call
// for more, so the buffer holds about what the records give, not room for the
// longest ones. `room(record)` is the most bytes a record may add, from its
// length bytes alone; `put(part, position, record, out, offset)` writes its
// bytes at `out` and returns how many. Nothing thrown from them leaves here:
// it stops every part and comes back as a failure, with what was read whole
// up to then.
template <typename Room, typename Put>
PartedBuffer readIntoBuffer(RecordFile &file, qint64 total, Room &&room, Put &&put, int parts = 0)
{
    const qint64 size = file.recordSize();
    inparts::ChunkFill fill;
    fill.room = [&room, size](const char *records, qint64 count) {
        qint64 bytes = 0;
        for (qint64 i = 0; i < count; ++i)
            bytes += room(records + i * size);
        return bytes;
    };
    fill.put = [&put, size](int part, qint64 first, const char *records, qint64 count, char *out, qint64 offset) {
        qint64 wrote = 0;
        for (qint64 i = 0; i < count; ++i)
            wrote += put(part, first + i, records + i * size, out + wrote, offset + wrote);
        return wrote;
    };
    return inparts::readChunks(file, total, parts > 0 ? parts : inparts::partsFor(total), fill);
}

} // namespace tavolux
