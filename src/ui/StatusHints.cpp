#include "ui/StatusHints.h"

#include "ui/Shortcuts.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace tavolux::ui {

StatusHints::StatusHints(QLabel *status, QObject *parent)
    : QObject(parent), m_status(status)
{
}

void StatusHints::addHint(QWidget *control, const QString &hint)
{
    m_hints.insert(control, hint);
    setHintTooltip(control, hint);
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

void StatusHints::addBackground(QWidget *control)
{
    m_background.insert(control);
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

void StatusHints::addNeutral(QWidget *control)
{
    m_neutral.insert(control);
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

bool StatusHints::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const auto hint = m_hints.constFind(watched);
        if (hint != m_hints.constEnd())
            m_status->setText(*hint);
        else if (event->type() == QEvent::MouseMove && m_background.contains(watched))
            m_status->clear();
        // A plain move over a control must not reach the background behind it.
        if (event->type() == QEvent::MouseMove && (m_neutral.contains(watched) || hint != m_hints.constEnd())
            && static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton) {
            event->accept();
            return true;
        }
    }
    return false;
}

} // namespace tavolux::ui
