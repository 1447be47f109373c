#include "cardimport/CardAppender.h"

#include "storage/AddressArchive.h"

#include <cerrno>

namespace tavolux {

namespace {

AppendResult::Reason reasonOf(int systemError)
{
    switch (systemError) {
    case ENOSPC:
        return AppendResult::Reason::DiskFull;
#ifdef EDQUOT
    case EDQUOT:
        return AppendResult::Reason::Quota;
#endif
    case EROFS:
        return AppendResult::Reason::ReadOnly;
    case EACCES:
    case EPERM:
        return AppendResult::Reason::NoPermission;
    case EFBIG:
        return AppendResult::Reason::FileTooLarge;
    case EBUSY:
        return AppendResult::Reason::Busy;
    default:
        return AppendResult::Reason::Other;
    }
}

} // namespace

AppendResult appendCards(const ProgramFolder &folder, const QList<ImportedCard> &cards,
                         const std::function<bool(qint64)> &progress, const ImportJob *job)
{
    return appendCards(
            folder, cards.size(), [&cards](qint64 i, char *record) { cards.at(i).card.writeRecord(record); }, progress,
            job);
}

AppendResult appendCards(const ProgramFolder &folder, qint64 count, const std::function<void(qint64, char *)> &write,
                         const std::function<bool(qint64)> &progress, const ImportJob *job)
{
    AppendResult result;
    AddressArchive archive(folder);
    if (!archive.open()) {
        result.error = archive.errorString();
        result.reason = reasonOf(archive.systemError());
        return result;
    }
    ImportJournal journal(folder);
    RecordFile::AppendHooks hooks;
    qint64 from = 0;
    // The journal is begun under the first batch's lock, where no other
    // import can begin at the same time.
    hooks.batch = [&](qint64 position, qint64 index, qint64 n, const char *records) {
        if (index == 0)
            from = position;
        return !job || ((index > 0 || journal.begin(*job)) && journal.addBatch(position, n, records));
    };
    if (job)
        hooks.undo = [&](qint64 at, qint64 end, const QByteArray &kept) { return journal.beginUndo(at, end, kept); };
    const qint64 first = archive.appendAll(count, write, progress, hooks);
    result.moved = archive.movedRecords();
    result.left = archive.leftRecords();
    result.movedFrom = result.moved > 0 ? from : 0;
    if (first > 0) {
        result.status = AppendResult::Status::Done;
        result.firstPosition = first;
        journal.end();
        return result;
    }
    result.status = first == 0 ? AppendResult::Status::Cancelled : AppendResult::Status::Failed;
    if (first < 0) {
        result.error = archive.errorString();
        result.reason = reasonOf(archive.systemError());
    }
    // Taken out: the journal tells what it told before; where taking out
    // failed it stays, so that the cards left are found again.
    if (result.left == 0)
        journal.backToStart();
    return result;
}

} // namespace tavolux
