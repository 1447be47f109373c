#pragma once

#include <QProxyStyle>
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace tavolux::ui {

namespace colors {
// The plain buttons' focus ring and the frame of a focused list's current line.
inline const QColor FocusRing = QColor(0x1F, 0x4F, 0xB0);
// A list's current line while the list does not have the focus.
inline const QColor RestingLine = QColor(0xD3, 0xD3, 0xD3);
} // namespace colors

// Draws a list's current line in the focus colour, framed, while the list has
// the focus, and in a pale grey while it does not; the text keeps its colour.
class CurrentLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CurrentLineDelegate(QAbstractItemView *view);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// The program's style: the platform's, with a plain focus ring on push and
// tool buttons.
class FocusRingStyle : public QProxyStyle
{
    Q_OBJECT
public:
    FocusRingStyle();
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
};

} // namespace tavolux::ui
