#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include <cstdlib>

// Ends the process the moment the first window has been painted: the probes
// measure start-up to the first window shown, and nothing after it. With
// `mustExist`, the process fails (exit code 3) when a window of one of those
// names does not exist by then.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QStringList mustExist = {}) : m_mustExist(std::move(mustExist))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            QStringList made;
            for (QWidget *window : QApplication::topLevelWidgets())
                made << window->objectName();
            for (const QString &name : m_mustExist)
                if (!made.contains(name))
                    std::_Exit(3);
            std::_Exit(0);
        }
        return false;
    }

private:
    QStringList m_mustExist;
};
