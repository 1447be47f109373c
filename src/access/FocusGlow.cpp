#include "access/FocusGlow.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace tavolux {

FocusGlow::FocusGlow(QWidget *field, const char *name)
    : QWidget(field->parentWidget()), m_field(field)
{
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    field->installEventFilter(this);
    follow();
    setVisible(field->hasFocus());
}

void FocusGlow::follow()
{
    setGeometry(m_field->geometry().adjusted(-Margin, -Margin, Margin, Margin));
    stackUnder(m_field);
}

bool FocusGlow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field) {
        switch (event->type()) {
        case QEvent::FocusIn:
            follow();
            show();
            break;
        case QEvent::FocusOut:
            hide();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            follow();
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusGlow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Rings from the outside in, white to yellow, then the yellow core.
    const QColor yellow(0xFF, 0xFF, 0x00);
    for (int ring = 0; ring < Margin; ++ring) {
        const qreal t = qreal(ring + 1) / Margin;
        QColor c;
        c.setRgbF(1.0, 1.0, 1.0 - t);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(ring, ring, -ring, -ring), 6, 6);
        painter.fillPath(path, c);
    }
    QPainterPath core;
    core.addRoundedRect(QRectF(rect()).adjusted(Margin - 2, Margin - 2, -(Margin - 2), -(Margin - 2)), 3, 3);
    painter.fillPath(core, yellow);
}

} // namespace tavolux
