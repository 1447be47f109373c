#pragma once

#include "cardimport/CardBuilder.h"
#include "platform/ProgramFolder.h"

#include <QList>
#include <QString>

#include <functional>

namespace tavolux {

// Appends imported cards to the address archive: one opening, one pass under
// one lock, in file order.
struct AppendResult
{
    enum class Status { Done, Cancelled, Failed };
    // Why it failed, as the system said.
    enum class Reason { None, DiskFull, Quota, ReadOnly, NoPermission, FileTooLarge, Busy, Other };
    Status status = Status::Failed;
    Reason reason = Reason::None;
    qint64 firstPosition = 0; // the first new card, when done
    QString error;
};

// `progress` is told how many cards are written; returning false cancels,
// and the archive is left exactly as it was.
AppendResult appendCards(const ProgramFolder &folder, const QList<ImportedCard> &cards,
                         const std::function<bool(qint64 done)> &progress = {});
// The same for `count` cards that `write` encodes, card i into all bytes of `record`.
AppendResult appendCards(const ProgramFolder &folder, qint64 count,
                         const std::function<void(qint64 i, char *record)> &write,
                         const std::function<bool(qint64 done)> &progress = {});

} // namespace tavolux
