#include "help/LinkLabel.h"

#include <QEvent>
#include <QMouseEvent>

namespace tavolux {

LinkLabel::LinkLabel(const QString &text, const char *name, QWidget *parent)
    : QLabel(text, parent)
{
    setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Tahoma"), 14);
    font.setUnderline(true);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setPressed(false);
}

void LinkLabel::addIcon(QWidget *icon)
{
    icon->installEventFilter(this);
}

QColor LinkLabel::color() const
{
    return palette().color(QPalette::WindowText);
}

void LinkLabel::setPressed(bool pressed)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, pressed ? pressedColor() : normalColor());
    setPalette(p);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    setPressed(true);
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    setPressed(false);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

bool LinkLabel::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        setPressed(true);
    else if (event->type() == QEvent::MouseButtonRelease)
        setPressed(false);
    return false;
}

} // namespace tavolux
