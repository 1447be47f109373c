#include "ui/FocusLook.h"

#include "ui/FocusHighlight.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOption>

namespace tavolux::ui {

namespace {

void drawRing(QPainter *painter, const QRect &rect)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(colors::FocusRing, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(rect).adjusted(3, 3, -3, -3));
    painter->restore();
}

} // namespace

CurrentLineDelegate::CurrentLineDelegate(QAbstractItemView *view) : QStyledItemDelegate(view) {}

void CurrentLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem plain(option);
    if (option.state & QStyle::State_Selected) {
        const auto *view = qobject_cast<const QAbstractItemView *>(parent());
        const bool focused = view && view->hasFocus();
        painter->fillRect(option.rect, focused ? colors::Focus : colors::RestingLine);
        if (focused) {
            painter->save();
            painter->setPen(QPen(colors::FocusRing, 1));
            painter->drawRect(QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5));
            painter->restore();
        }
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }
    QStyledItemDelegate::paint(painter, plain, index);
}

FocusRingStyle::FocusRingStyle() = default;

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && (option->state & State_HasFocus))
        drawRing(painter, option->rect);
}

void FocusRingStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                        const QWidget *widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ToolButton && (option->state & State_HasFocus))
        drawRing(painter, option->rect);
}

} // namespace tavolux::ui
