#include "report/PagePainter.h"

#include "report/PreparedPage.h"

#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

namespace tavolux::report {

void paintPage(const PreparedPage &page, QPainter &painter, PaintFor target)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QTransform base = painter.worldTransform();
    const bool vector = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    // Texts are drawn with the font at its large pixel size, scaled down to
    // the template's size: whatever the device, no font size is rounded on
    // the way. The transform and the clip are changed only when they differ
    // from the previous text's (a box's lines share both), so that a vector
    // device such as a PDF writes them once, not once a line.
    double scale = 0; // the scale of the transform set; 0: the page's own
    bool clipped = false;
    QRectF clip;
    QColor pen;
    const TextFont *font = nullptr; // the font set last
    auto sameFont = [](const TextFont &a, const TextFont &b) {
        return a.pointSize == b.pointSize && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline
               && a.strikeOut == b.strikeOut && a.family == b.family;
    };
    for (const PlacedItem &item : page.items) {
        if (item.kind == PlacedItem::Kind::Rect) {
            if (item.guide && target != PaintFor::Preview)
                continue;
            if (scale != 0) {
                painter.setWorldTransform(base);
                scale = 0;
            }
            if (clipped) {
                painter.setClipping(false);
                clipped = false;
            }
            painter.setPen(item.outline.isValid() ? QPen(item.outline, 1.0) : QPen(Qt::NoPen));
            pen = QColor();
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            // The outline lies inside the rectangle, so neighbours never overlap.
            const double inset = item.outline.isValid() ? 0.5 : 0.0;
            painter.drawRect(item.rect.adjusted(inset, inset, -inset, -inset));
            continue;
        }
        const double s = item.font.unitsPerPixel();
        if (scale != s) {
            QTransform at = base;
            at.scale(s, s);
            painter.setWorldTransform(at);
            scale = s;
        }
        // Positions in the scaled transform's units: the same points on the page.
        if (!item.clipped && vector) {
            // All its ink is inside the clip: on a vector device the clip
            // would cut nothing. A raster device rounds a clip to whole
            // pixels, so there it is always set.
            if (clipped) {
                painter.setClipping(false);
                clipped = false;
            }
        } else if (!clipped || clip != item.clip) {
            painter.setClipRect(QRectF(item.clip.left() / s, item.clip.top() / s, item.clip.width() / s,
                                       item.clip.height() / s));
            clip = item.clip;
            clipped = true;
        }
        if (!pen.isValid() || pen != item.color) {
            painter.setPen(item.color);
            pen = item.color;
        }
        if (!font || !sameFont(*font, item.font)) {
            painter.setFont(item.font.drawingFont());
            font = &item.font;
        }
        painter.drawText(QPointF(item.rect.left() / s, (item.rect.top() + item.baseline) / s), item.text);
    }
    painter.restore();
}

} // namespace tavolux::report
