#include "report/PageSequence.h"

namespace tavolux::report {

PageSequence::PageSequence(QList<PreparedPage> pages)
    : m_pages(std::move(pages)), m_count(int(m_pages.size()))
{
    if (!m_pages.isEmpty()) {
        m_paper = m_pages.first().paper;
        m_orientation = m_pages.first().orientation;
    }
}

PageSequence::PageSequence(int count, const QSizeF &paper, Orientation orientation, Layout layout)
    : m_layout(std::move(layout)), m_count(std::max(0, count)), m_paper(paper), m_orientation(orientation)
{
}

PreparedPage PageSequence::at(int index) const
{
    if (m_layout)
        return m_layout(index);
    return m_pages.at(index);
}

QList<PreparedPage> PageSequence::toList() const
{
    if (!m_layout)
        return m_pages;
    QList<PreparedPage> all;
    all.reserve(m_count);
    for (int i = 0; i < m_count; ++i)
        all.append(m_layout(i));
    return all;
}

} // namespace tavolux::report
