#pragma once

#include <QLabel>

namespace tavolux::ui {

// A picture that acts as a button: hand cursor, clicked on release over it.
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    PictureButton(const QString &artName, const QSize &size, QWidget *parent = nullptr);
    PictureButton(const QPixmap &picture, QWidget *parent = nullptr);
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace tavolux::ui
