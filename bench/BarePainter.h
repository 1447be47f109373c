#pragma once

#include "report/PreparedPage.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include <string>

namespace tavolux::bench {

// The machine's limit for printing laid-out pages: a bare QPainter drawing
// the same rectangles (outlined) and texts (in the same fonts at whole pixel
// sizes) into the same kind of PDF device, as fast as it can.
class BarePainter
{
public:
    explicit BarePainter(const QList<report::PreparedPage> &pages);

    // Seconds it takes to paint all the pages into `pdf`.
    double print(const QString &pdf, const QString &title) const;
    // "bare QPainter, 24 rectangles + 144 texts a page", from the first page.
    std::string description(const std::string &per) const;

private:
    QList<report::PreparedPage> m_pages;
    QHash<QString, QFont> m_fonts;
    int m_rects = 0;
    int m_texts = 0;
};

} // namespace tavolux::bench
