#pragma once

#include "cardimport/CardBuilder.h"
#include "cardimport/ImportJournal.h"
#include "platform/ProgramFolder.h"

#include <QList>
#include <QString>

#include <functional>

namespace tavolux {

// Appends imported cards to the address archive: one opening, one pass in
// file order, in batches each under its own lock (RecordFile::appendAll).
struct AppendResult
{
    enum class Status { Done, Cancelled, Failed };
    // Why it failed, as the system said.
    enum class Reason { None, DiskFull, Quota, ReadOnly, NoPermission, FileTooLarge, Busy, Other };
    Status status = Status::Failed;
    Reason reason = Reason::None;
    qint64 firstPosition = 0; // the first new card, when done
    // Not done: other copies' cards saved meanwhile, moved down to close the
    // gap from `movedFrom` on; and this import's cards that stayed in the
    // archive because taking them out failed.
    qint64 moved = 0;
    qint64 movedFrom = 0;
    qint64 left = 0;
    QString error;
};

// `progress` is told how many cards are written; returning false cancels,
// and the archive is left as it was but for other copies' cards saved
// meanwhile. With a job, the import keeps its journal (ImportJournal) while
// it writes, and only one such import writes into an archive at a time.
AppendResult appendCards(const ProgramFolder &folder, const QList<ImportedCard> &cards,
                         const std::function<bool(qint64 done)> &progress = {}, const ImportJob *job = nullptr);
// The same for `count` cards that `write` encodes, card i into all bytes of `record`.
AppendResult appendCards(const ProgramFolder &folder, qint64 count,
                         const std::function<void(qint64 i, char *record)> &write,
                         const std::function<bool(qint64 done)> &progress = {}, const ImportJob *job = nullptr);

} // namespace tavolux
