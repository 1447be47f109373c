#include "report/PagePainter.h"

#include "report/PreparedPage.h"

#include <QPainter>
#include <QTransform>

namespace tavolux::report {

void paintPage(const PreparedPage &page, QPainter &painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QTransform base = painter.worldTransform();
    bool moved = false; // the transform is a text's, not the page's
    for (const PlacedItem &item : page.items) {
        if (item.kind == PlacedItem::Kind::Rect) {
            if (moved) {
                painter.setWorldTransform(base);
                moved = false;
            }
            painter.setClipping(false);
            painter.setPen(item.outline.isValid() ? QPen(item.outline, 1.0) : QPen(Qt::NoPen));
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            // The outline lies inside the rectangle, so neighbours never overlap.
            const double inset = item.outline.isValid() ? 0.5 : 0.0;
            painter.drawRect(item.rect.adjusted(inset, inset, -inset, -inset));
            continue;
        }
        if (moved)
            painter.setWorldTransform(base);
        painter.setClipRect(item.clip);
        painter.setPen(item.color);
        // The font at its large pixel size, scaled down to the template's
        // size: whatever the device, no font size is rounded on the way.
        // The same steps as translate() and scale() on the page's transform.
        QTransform at = base;
        at.translate(item.rect.left(), item.rect.top() + item.baseline);
        const double scale = item.font.unitsPerPixel();
        at.scale(scale, scale);
        painter.setWorldTransform(at);
        moved = true;
        painter.setFont(item.font.drawingFont());
        painter.drawText(QPointF(0, 0), item.text);
    }
    painter.restore();
}

} // namespace tavolux::report
