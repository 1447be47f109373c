#include "ui/FocusHighlight.h"

#include <QEvent>
#include <QWidget>

namespace tavolux::ui {

namespace {
const char *kBackground = "tavoluxBackground";
}

FocusHighlight::FocusHighlight(QWidget *field, const QColor &rest, const QColor &border, const QColor &focus)
    : QObject(field), m_rest(rest), m_border(border), m_focus(focus)
{
}

void FocusHighlight::install(QWidget *field, const QColor &rest, const QColor &border, const QColor &focus)
{
    auto *highlight = new FocusHighlight(field, rest, border, focus);
    field->installEventFilter(highlight);
    highlight->paint(field, field->hasFocus());
}

QColor FocusHighlight::currentBackground(const QWidget *field)
{
    return field->property(kBackground).value<QColor>();
}

void FocusHighlight::paint(QWidget *field, bool focused)
{
    const QColor background = focused ? m_focus : m_rest;
    field->setProperty(kBackground, background);
    field->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid %2; padding: 2px;")
                             .arg(background.name(), m_border.name()));
}

bool FocusHighlight::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn)
        paint(static_cast<QWidget *>(watched), true);
    else if (event->type() == QEvent::FocusOut)
        paint(static_cast<QWidget *>(watched), false);
    return false;
}

} // namespace tavolux::ui
