#pragma once

#include "report/PreparedPage.h"

#include <QList>
#include <QSizeF>

#include <functional>

namespace tavolux::report {

// The pages of a document, as the preview shows them and the printer prints
// them: either held, laid out all at once, or laid out one at a time when
// asked for, so that a long document is never held whole. All pages of one
// document share its paper and orientation.
class PageSequence
{
public:
    using Layout = std::function<PreparedPage(int index)>;

    PageSequence() = default;
    // Held pages (implicit: a list of pages is a sequence).
    PageSequence(QList<PreparedPage> pages);
    // `count` pages of `paper` (units), each made by `layout` when asked for.
    PageSequence(int count, const QSizeF &paper, Orientation orientation, Layout layout);

    int size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    QSizeF paper() const { return m_paper; }
    report::Orientation orientation() const { return m_orientation; }
    // Page `index` (0-based, within size()).
    PreparedPage at(int index) const;
    // Whether pages are laid out when asked for rather than held.
    bool onDemand() const { return bool(m_layout); }

    // Every page, laid out now (for tests and small documents).
    QList<PreparedPage> toList() const;

private:
    QList<PreparedPage> m_pages;
    Layout m_layout;
    int m_count = 0;
    QSizeF m_paper;
    report::Orientation m_orientation = Orientation::Portrait;
};

} // namespace tavolux::report
