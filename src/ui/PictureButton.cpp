#include "ui/PictureButton.h"

#include "ui/Art.h"

#include <QMouseEvent>

namespace tavolux::ui {

PictureButton::PictureButton(const QString &artName, const QSize &size, QWidget *parent)
    : QLabel(parent)
{
    setPixmap(art(artName, size));
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

PictureButton::PictureButton(const QPixmap &picture, QWidget *parent)
    : QLabel(parent)
{
    setPixmap(picture);
    setFixedSize(picture.size());
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace tavolux::ui
