#include "ui/GradientWidget.h"

#include <QLinearGradient>
#include <QPainter>

namespace tavolux::ui {

GradientWidget::GradientWidget(const QColor &top, QWidget *parent, const QColor &bottom)
    : QWidget(parent), m_top(top), m_bottom(bottom)
{
}

void GradientWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, m_top);
    gradient.setColorAt(1, m_bottom);
    painter.fillRect(rect(), gradient);
}

} // namespace tavolux::ui
