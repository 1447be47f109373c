#include "report/PagePainter.h"

#include "report/PreparedPage.h"

#include <QPaintDevice>
#include <QPainter>

namespace tavolux::report {

void paintPage(const PreparedPage &page, QPainter &painter)
{
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 96.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PlacedItem &item : page.items) {
        if (item.kind == PlacedItem::Kind::Rect) {
            painter.setClipping(false);
            painter.setPen(item.outline.isValid() ? QPen(item.outline, 1.0) : QPen(Qt::NoPen));
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            // The outline lies inside the rectangle, so neighbours never overlap.
            const double inset = item.outline.isValid() ? 0.5 : 0.0;
            painter.drawRect(item.rect.adjusted(inset, inset, -inset, -inset));
            continue;
        }
        painter.setClipRect(item.clip);
        painter.setFont(item.font.fontForDevice(dpi));
        painter.setPen(item.color);
        painter.drawText(QPointF(item.rect.left(), item.rect.top() + item.baseline), item.text);
    }
    painter.restore();
}

} // namespace tavolux::report
