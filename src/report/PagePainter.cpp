#include "report/PagePainter.h"

#include "report/PreparedPage.h"

#include <QPainter>

namespace tavolux::report {

void paintPage(const PreparedPage &page, QPainter &painter)
{
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
        painter.setPen(item.color);
        // The font at its large pixel size, scaled down to the template's
        // size: whatever the device, no font size is rounded on the way.
        painter.save();
        painter.translate(item.rect.left(), item.rect.top() + item.baseline);
        const double scale = item.font.unitsPerPixel();
        painter.scale(scale, scale);
        painter.setFont(item.font.drawingFont());
        painter.drawText(QPointF(0, 0), item.text);
        painter.restore();
    }
    painter.restore();
}

} // namespace tavolux::report
