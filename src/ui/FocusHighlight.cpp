#include "ui/FocusHighlight.h"

#include <QEvent>
#include <QWidget>

namespace tavolux::ui {

namespace {
const char *kBackground = "tavoluxBackground";
const char *kText = "tavoluxText";

QString sheet(const QColor &background, const QColor &border, const QColor &text)
{
    return QStringLiteral("background-color: %1; border: 1px solid %2; padding: 2px; color: %3;")
        .arg(background.name(), border.name(), text.isValid() ? text.name() : QStringLiteral("#000000"));
}
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

void FocusHighlight::setTextColor(QWidget *field, const QColor &color)
{
    if (field->property(kText).value<QColor>() == color)
        return;
    field->setProperty(kText, color);
    if (auto *highlight = field->findChild<FocusHighlight *>(QString(), Qt::FindDirectChildrenOnly)) {
        highlight->paint(field, field->hasFocus());
    } else {
        // A field without a highlight has no style sheet of ours: its palette carries the colour.
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, color);
        field->setPalette(palette);
    }
}

void FocusHighlight::paint(QWidget *field, bool focused)
{
    const QColor background = focused ? m_focus : m_rest;
    field->setProperty(kBackground, background);
    field->setStyleSheet(sheet(background, m_border, field->property(kText).value<QColor>()));
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
