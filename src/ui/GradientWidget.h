#pragma once

#include <QColor>
#include <QWidget>

namespace tavolux::ui {

namespace colors {
inline const QColor SteelBlue = QColor(0x46, 0x82, 0xB4);
inline const QColor MidBlue = QColor(0x3A, 0x6E, 0xC8);
} // namespace colors

// A background with a vertical gradient from a colour at the top to white.
class GradientWidget : public QWidget
{
    Q_OBJECT
public:
    explicit GradientWidget(const QColor &top, QWidget *parent = nullptr,
                            const QColor &bottom = QColor(Qt::white));

    QColor topColor() const { return m_top; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top;
    QColor m_bottom;
};

} // namespace tavolux::ui
