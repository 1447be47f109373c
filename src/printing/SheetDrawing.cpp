#include "printing/SheetDrawing.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tavolux {

namespace {

constexpr double kMarginPx = 8;

bool drawable(const QSizeF &mm)
{
    return std::isfinite(mm.width()) && std::isfinite(mm.height()) && mm.width() > 0 && mm.height() > 0
           && mm.width() <= kMaxPageSideMm && mm.height() <= kMaxPageSideMm;
}

} // namespace

SheetDrawing::SheetDrawing(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(160, 200);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SheetDrawing::setProduct(const LabelProduct &product)
{
    m_product = product;
    update();
}

double SheetDrawing::scale() const
{
    const QSizeF page = m_product.roll ? m_product.labelMm : m_product.pageMm;
    return drawable(page) ? pageRect().width() / page.width() : 0;
}

QRectF SheetDrawing::pageRect() const
{
    const QSizeF page = m_product.roll ? m_product.labelMm : m_product.pageMm;
    if (!drawable(page))
        return {};
    const QRectF room = QRectF(rect()).adjusted(kMarginPx, kMarginPx, -kMarginPx - 3, -kMarginPx - 3);
    const double scale = std::min(room.width() / page.width(), room.height() / page.height());
    const QSizeF size = page * scale;
    return QRectF(room.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void SheetDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF page = pageRect();
    if (page.isEmpty())
        return;
    const double mm = scale();
    // The sheet and its shadow.
    painter.fillRect(page.translated(3, 3), QColor(0, 0, 0, 40));
    painter.fillRect(page, Qt::white);
    painter.setPen(QPen(QColor(0x60, 0x70, 0x80), 1));
    painter.drawRect(page);

    const QList<QRectF> labels = m_product.labelRectsMm();
    const double radius = std::max(0.0, m_product.radiusMm) * mm;
    painter.setPen(QPen(QColor(0xB0, 0x98, 0x30), labels.size() > 200 ? 0.5 : 1));
    // See-through, so that labels that overlap show darker.
    painter.setBrush(QColor(0xFF, 0xE8, 0x40, 70));
    painter.setClipRect(page.adjusted(-1, -1, 1, 1));
    for (const QRectF &label : labels) {
        const QRectF r(page.left() + label.left() * mm, page.top() + label.top() * mm, label.width() * mm,
                       label.height() * mm);
        if (radius > 0.3)
            painter.drawRoundedRect(r, std::min(radius, r.width() / 2), std::min(radius, r.height() / 2));
        else
            painter.drawRect(r);
    }
}

} // namespace tavolux
