#pragma once

// Times a modal dialog opened the way the program opens it: `open` is the
// window's own handler (it makes the dialog and runs it modally); the time
// ends when the dialog's list has been painted for the first time, and the
// dialog is then closed with Escape's path (reject).

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

namespace tavolux::bench {

// The list, grid or page view whose first paint ends an opening: the
// viewport of the scrolled view of that name.
inline std::function<bool(QWidget *)> viewportOf(const QString &view)
{
    return [view](QWidget *w) {
        auto *owner = qobject_cast<QAbstractScrollArea *>(w->parentWidget());
        return owner && owner->objectName() == view && owner->viewport() == w;
    };
}

struct DialogTimes {
    double open = -1;  // from the handler's start to the first paint of the list done
    double close = -1; // from the close to the handler's return
};

class DialogOpening : public QObject
{
public:
    // `isList` tells the painted widget that ends the opening (the list's viewport).
    explicit DialogOpening(std::function<bool(QWidget *)> isList) : m_isList(std::move(isList)) {}

    // Called with the dialog once it is painted, before it closes (outside the times).
    std::function<void(QWidget *)> onPainted;

    DialogTimes run(const std::function<void()> &open)
    {
        using clock = std::chrono::steady_clock;
        m_done = false;
        qApp->installEventFilter(this);
        const auto start = clock::now();
        m_painted = start;
        open();
        const auto end = clock::now();
        qApp->removeEventFilter(this);
        DialogTimes times;
        if (m_done) {
            times.open = std::chrono::duration<double>(m_painted - start).count();
            times.close = std::chrono::duration<double>(end - m_closing).count();
        }
        return times;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType()
            && m_isList(static_cast<QWidget *>(watched))) {
            m_done = true;
            QPointer<QWidget> dialog = static_cast<QWidget *>(watched)->window();
            // Once this paint and the rest of the window's are done.
            QTimer::singleShot(0, this, [this, dialog] {
                m_painted = std::chrono::steady_clock::now();
                if (onPainted && dialog)
                    onPainted(dialog);
                m_closing = std::chrono::steady_clock::now();
                if (auto *d = qobject_cast<QDialog *>(dialog.data()))
                    d->reject();
            });
        }
        return false;
    }

private:
    std::function<bool(QWidget *)> m_isList;
    bool m_done = false;
    std::chrono::steady_clock::time_point m_painted, m_closing;
};

} // namespace tavolux::bench
