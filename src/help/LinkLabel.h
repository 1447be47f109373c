#pragma once

#include <QColor>
#include <QLabel>

namespace tavolux {

// A text link: dark blue, orange while a mouse button is held on it or on
// its icon, dark blue again on release. A left click emits clicked().
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString &text, const char *name, QWidget *parent = nullptr);

    // A press on the icon colours the link as a press on the link does.
    void addIcon(QWidget *icon);
    QColor color() const;

    static QColor normalColor() { return QColor(0x00, 0x00, 0x8B); }
    static QColor pressedColor() { return QColor(0xFF, 0xA5, 0x00); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setPressed(bool pressed);
};

} // namespace tavolux
