#include "cardimport/CardAppender.h"

#include "storage/AddressArchive.h"

namespace tavolux {

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
    }
    return result;
}

} // namespace tavolux
