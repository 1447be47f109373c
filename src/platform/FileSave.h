#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace tavolux {

// Takes the next bytes of a file; false stops the writing.
using ByteSink = std::function<bool(const char *data, qsizetype size)>;

// The bytes of a file to save. `write` hands them all to the sink, in order,
// and gives false when it could not make them or the sink refused them. It
// may be run more than once and gives the same bytes each time. `size` is
// their number where known; -1 has them counted by a run of `write` when
// the number is needed.
struct FileContent
{
    std::function<bool(const ByteSink &)> write;
    qint64 size = -1;
};

// How a save ended.
struct FileSaveResult
{
    enum class Failure {
        None,
        Protected,   // no new file in the folder, and the file itself may not be written
        NoRoom,      // the disk (or the user's quota) is full
        TooLarge,    // beyond the largest file the system lets this program write
        Incomplete,  // a write failed for another reason
        NotReplaced, // the new file was written whole but could not take the old one's place
        Source,      // the content could not be made, or was not the size it said
    };
    Failure failure = Failure::None;

    bool ok() const { return failure == Failure::None; }
    // Why, in Italian, for the user; empty when the save went well.
    QString reason() const;
};

// Saves `content` as the file at `path`. The new file is written beside the
// old one and takes its place only once it is whole. Where the folder takes
// no new file but the file itself may be written, the file is written in
// place, but only after the room for the whole content is made sure of
// (reserved where the file system can, and the part beyond the old end
// written first), so that a full disk or a file size limit leaves the old
// file byte for byte.
FileSaveResult saveFile(const QString &path, const FileContent &content);
FileSaveResult saveFile(const QString &path, const QByteArray &bytes);

// Test seam: false writes in place as on a file system that cannot reserve
// room (the order of the writes alone then keeps the old file); true by default.
void setRoomReservation(bool enabled);

// A write beyond the process's file size limit then fails (EFBIG), as on a
// full disk, instead of ending the program with SIGXFSZ.
void ignoreFileSizeSignal();

} // namespace tavolux
