#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <cstdlib>

// Ends the process the moment the first window has been painted: the probes
// measure start-up to the first window shown, and nothing after it.
class FirstPaint : public QObject
{
public:
    FirstPaint() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            std::_Exit(0);
        return false;
    }
};
