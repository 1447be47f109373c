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
                         const std::function<bool(qint64)> &progress)
{
    return appendCards(
            folder, cards.size(), [&cards](qint64 i, char *record) { cards.at(i).card.writeRecord(record); }, progress);
}

AppendResult appendCards(const ProgramFolder &folder, qint64 count, const std::function<void(qint64, char *)> &write,
                         const std::function<bool(qint64)> &progress)
{
    AppendResult result;
    AddressArchive archive(folder);
    if (!archive.open()) {
        result.error = archive.errorString();
        result.reason = reasonOf(archive.systemError());
        return result;
    }
    const qint64 first = archive.appendAll(count, write, progress);
    if (first > 0) {
        result.status = AppendResult::Status::Done;
        result.firstPosition = first;
    } else if (first == 0) {
        result.status = AppendResult::Status::Cancelled;
    } else {
        result.error = archive.errorString();
        result.reason = reasonOf(archive.systemError());
    }
    return result;
}

} // namespace tavolux
