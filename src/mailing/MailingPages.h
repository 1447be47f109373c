#pragma once

#include "platform/ProgramFolder.h"

#include <vector>

namespace tavolux::mailing {

class MailingCards;

// The labels of a mailing kept as label pages: appended to the label-page
// archive, 24 to a page from label 1, in the mailing's order with each card's
// copies next to each other; each label the card's name and six lines. One
// opening and one pass, under the archive's lock; nothing else of it changes.
struct LabelPagesAppended
{
    qint64 first = -1; // the first new page; -1 when the archive could not be written
    qint64 pages = 0;
};

LabelPagesAppended appendLabelPages(const ProgramFolder &folder, const MailingCards &cards,
                                    const std::vector<int> &order, int copies);

} // namespace tavolux::mailing
