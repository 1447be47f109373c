#include "storage/InParts.h"

#include "platform/LargePages.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <thread>

namespace tavolux {

namespace inparts {

int partsFor(qint64 items)
{
    return items >= MinItems && std::thread::hardware_concurrency() > 1 ? 2 : 1;
}

qint64 partStart(qint64 total, int parts, int part)
{
    if (parts <= 1)
        return part <= 0 ? 0 : total;
    return total / parts * part + qMin<qint64>(part, total % parts);
}

namespace {

// One part's stretch of the buffer.
struct Stretch
{
    qint64 begin = 0;    // where it lies in the buffer
    qint64 capacity = 0; // bytes it may hold
    qint64 used = 0;     // bytes written
    qint64 records = 0;  // records read whole
    qint64 share = 0;    // records the part is to read
};

} // namespace

PartedBuffer readChunks(RecordFile &file, qint64 total, int parts, const ChunkFill &fill)
{
    PartedBuffer result;
    parts = qMax(1, parts);
    std::vector<Stretch> stretches(static_cast<size_t>(parts));
    for (int k = 0; k < parts; ++k)
        stretches[size_t(k)].share = partStart(total, parts, k + 1) - partStart(total, parts, k);
    QByteArray buffer;
    char *base = nullptr;
    // Held shared while a part writes its stretch, alone while the buffer grows.
    std::shared_mutex moving;

    // What `bytes` for `seen` records say `share` records need, and a
    // sixteenth more.
    auto estimate = [](qint64 bytes, qint64 seen, qint64 share) {
        const qint64 whole = seen > 0 && share > seen ? qint64(double(bytes) * double(share) / double(seen)) : bytes;
        return whole + whole / 16;
    };
    // Room for `need` more bytes in the stretch of `part`, which has read
    // `chunk` more records: as much as its records so far say its whole share
    // needs, and at least an eighth more than it had, so that growing stays
    // rare. The first time, the other parts are sized from the same records.
    // The buffer is made anew, asked for large pages before any page of it is
    // touched (a buffer that grew in place would be copied into unadvised
    // pages), and the parts' bytes so far are copied to their places.
    auto makeRoom = [&](int part, qint64 need, qint64 chunk) {
        Stretch &grown = stretches[size_t(part)];
        if (grown.capacity - grown.used >= need)
            return;
        std::vector<qint64> capacities;
        for (const Stretch &stretch : stretches)
            capacities.push_back(buffer.isNull() ? estimate(need, chunk, stretch.share) : stretch.capacity);
        const qint64 wanted = grown.used + need;
        capacities[size_t(part)] = std::max({estimate(wanted, grown.records + chunk, grown.share), wanted,
                                             grown.capacity + grown.capacity / 8});
        qint64 size = 0;
        for (const qint64 capacity : capacities)
            size += capacity;
        QByteArray fresh(qsizetype(size), Qt::Uninitialized);
        adviseLargePages(fresh.constData(), size);
        char *to = fresh.data();
        qint64 at = 0;
        for (size_t k = 0; k < stretches.size(); ++k) {
            Stretch &stretch = stretches[k];
            if (stretch.used > 0)
                std::memcpy(to + at, base + stretch.begin, size_t(stretch.used));
            stretch.begin = at;
            stretch.capacity = capacities[k];
            at += capacities[k];
        }
        buffer = std::move(fresh);
        base = buffer.data();
    };

    try {
        const bool read = file.readAllInParts(total, parts, [&](int part, qint64 first, const char *records, qint64 count) {
            const qint64 need = fill.room(records, count);
            std::shared_lock<std::shared_mutex> writing(moving);
            Stretch &at = stretches[size_t(part)];
            if (at.capacity - at.used < need) {
                writing.unlock();
                {
                    const std::unique_lock<std::shared_mutex> growing(moving);
                    makeRoom(part, need, count);
                }
                writing.lock();
            }
            at.used += fill.put(part, first, records, count, base + at.begin + at.used, at.used);
            at.records += count;
            return true;
        });
        if (!read) {
            result.ok = false;
            result.error = file.errorString();
        }
    } catch (const std::bad_alloc &) {
        result.ok = false;
        result.error = QStringLiteral("out of memory");
    } catch (const std::exception &e) {
        result.ok = false;
        result.error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        result.ok = false;
        result.error = QStringLiteral("failed");
    }

    // The parts read without a gap from the first, one after another.
    qint64 end = 0;
    for (const Stretch &part : stretches) {
        if (part.used > 0 && part.begin != end)
            std::memmove(base + end, base + part.begin, size_t(part.used));
        result.starts.push_back(end);
        result.records.push_back(part.records);
        result.read += part.records;
        end += part.used;
        if (part.records < part.share)
            break;
    }
    buffer.resize(qsizetype(end));
    buffer.squeeze();
    result.bytes = std::move(buffer);
    return result;
}

} // namespace inparts

} // namespace tavolux
