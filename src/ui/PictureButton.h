#pragma once

#include <QLabel>

#include <functional>

namespace tavolux::ui {

// A picture that acts as a button: hand cursor, clicked on release over it.
// It takes the keyboard focus (Tab), shows a focus mark, is pressed by Space,
// Enter and Return, and presents itself to assistive tools as a button named
// by its accessible name (or, failing that, its tooltip).
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    PictureButton(const QString &artName, const QSize &size, QWidget *parent = nullptr);
    PictureButton(const QPixmap &picture, QWidget *parent = nullptr);
    // A picture of `size` made by `make` when the button is first shown.
    PictureButton(const QSize &size, std::function<QPixmap()> make, QWidget *parent = nullptr);
    void click() { emit clicked(); }

    // This picture does what `twin`, a button beside it, does: the mouse
    // presses either, while Tab and assistive tools reach only the twin, so
    // the picture shows itself as a picture and takes no focus.
    void setTwin(PictureButton *twin);
    PictureButton *twin() const { return m_twin; }

    // The name assistive tools read: the accessible name, else the tooltip
    // without its shortcut line and final full stop.
    QString spokenName() const;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setUp();

    bool m_pressed = false;
    PictureButton *m_twin = nullptr;
};

} // namespace tavolux::ui
