#pragma once

class QWidget;

namespace tavolux::ui {

// A window's child control that is made, with the rest of the window's
// controls, the first time anything asks for it. It reads like the plain
// pointer it wraps; the window assigns it while it builds itself.
template <class T>
class OnDemand
{
public:
    using Build = void (*)(QWidget *owner);

    OnDemand(QWidget *owner, Build build) : m_owner(owner), m_build(build) {}
    OnDemand(const OnDemand &) = delete;
    OnDemand &operator=(const OnDemand &) = delete;

    OnDemand &operator=(T *widget)
    {
        m_widget = widget;
        return *this;
    }

    T *get() const
    {
        if (!m_widget)
            m_build(m_owner);
        return m_widget;
    }
    T *operator->() const { return get(); }
    operator T *() const { return get(); }

private:
    QWidget *m_owner;
    Build m_build;
    T *m_widget = nullptr;
};

} // namespace tavolux::ui
