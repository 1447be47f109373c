#include "mailing/MailingPages.h"

#include "mailing/MailingCards.h"
#include "printing/MailingLayout.h"
#include "storage/LabelPageArchive.h"
#include "storage/TCampo250.h"

namespace tavolux::mailing {

LabelPagesAppended appendLabelPages(const ProgramFolder &folder, const MailingCards &cards,
                                    const std::vector<int> &order, int copies)
{
    const MailingLayout layout(qint64(order.size()), copies, 1, TPaginaEtichette::Slots);
    LabelPagesAppended result;
    result.pages = layout.sheets();
    LabelPageArchive archive(folder);
    if (!archive.open())
        return result;
    result.first = archive.appendAll(result.pages, [&](qint64 page, char *record) {
        for (int slot = 1; slot <= TPaginaEtichette::Slots; ++slot) {
            const qint64 at = layout.cardAt(int(page), slot);
            const int card = at >= 0 ? order[size_t(at)] : -1;
            TCampo250::encode(card >= 0 ? cards.name(card) : QString(),
                              record + TPaginaEtichette::nameField(slot) * TCampo250::Size);
            for (int line = 1; line <= TPaginaEtichette::Lines; ++line)
                TCampo250::encode(card >= 0 ? cards.line(card, line) : QString(),
                                  record + TPaginaEtichette::lineField(slot, line) * TCampo250::Size);
        }
    });
    if (result.first < 1)
        result.first = -1;
    return result;
}

} // namespace tavolux::mailing
