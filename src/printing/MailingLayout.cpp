#include "printing/MailingLayout.h"

#include <algorithm>
#include <climits>

namespace tavolux {

MailingLayout::MailingLayout(qint64 cards, int copies, int firstLabel, int perSheet)
    : m_cards(std::max<qint64>(0, cards)), m_copies(std::clamp(copies, 1, MaxCopies)),
      m_perSheet(std::max(1, perSheet))
{
    m_firstLabel = std::clamp(firstLabel, 1, m_perSheet);
}

int MailingLayout::sheets() const
{
    if (m_cards == 0)
        return 0;
    const qint64 used = m_firstLabel - 1 + labels();
    return int(std::min<qint64>(INT_MAX, (used + m_perSheet - 1) / m_perSheet));
}

qint64 MailingLayout::cardAt(int sheet, int label) const
{
    if (sheet < 0 || label < 1 || label > m_perSheet)
        return -1;
    const qint64 at = qint64(sheet) * m_perSheet + (label - 1) - (m_firstLabel - 1);
    if (at < 0 || at >= labels())
        return -1;
    return at / m_copies;
}

MailingLayout::Place MailingLayout::placeOf(qint64 card, int copy) const
{
    const qint64 at = m_firstLabel - 1 + card * m_copies + copy;
    return Place{int(at / m_perSheet), int(at % m_perSheet) + 1};
}

} // namespace tavolux
