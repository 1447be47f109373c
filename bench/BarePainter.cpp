#include "BarePainter.h"

#include "Harness.h"

#include "report/Units.h"
#include "reportui/ReportPrinter.h"

#include <QPainter>
#include <QPrinter>

namespace tavolux::bench {

BarePainter::BarePainter(const QList<report::PreparedPage> &pages)
    : m_pages(pages)
{
    if (pages.isEmpty())
        return;
    for (const report::PlacedItem &item : pages.first().items) {
        ++(item.kind == report::PlacedItem::Kind::Rect ? m_rects : m_texts);
        if (item.kind == report::PlacedItem::Kind::Text && !m_fonts.contains(item.font.family)) {
            QFont font = item.font.baseFont();
            font.setPixelSize(qRound(item.font.sizeInUnits()));
            m_fonts.insert(item.font.family, font);
        }
    }
}

double BarePainter::print(const QString &pdf, const QString &title) const
{
    return seconds([&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        report::preparePrinter(printer, title, m_pages);
        QPainter painter(&printer);
        const double scale = printer.resolution() / report::kUnitsPerInch;
        painter.scale(scale, scale);
        for (int page = 0; page < m_pages.size(); ++page) {
            if (page > 0)
                printer.newPage();
            for (const report::PlacedItem &item : m_pages.at(page).items) {
                if (item.kind == report::PlacedItem::Kind::Rect) {
                    painter.setPen(QPen(Qt::black, 1.0));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRect(item.rect);
                } else {
                    painter.setPen(item.color);
                    painter.setFont(m_fonts.value(item.font.family));
                    painter.drawText(QPointF(item.rect.left(), item.rect.top() + item.baseline), item.text);
                }
            }
        }
    });
}

std::string BarePainter::description(const std::string &per) const
{
    return "bare QPainter, " + std::to_string(m_rects) + " rectangles + " + std::to_string(m_texts) + " texts a " + per;
}

} // namespace tavolux::bench
