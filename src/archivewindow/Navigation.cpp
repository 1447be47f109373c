#include "archivewindow/Navigation.h"

namespace tavolux {

namespace {

NavigationStep load(qint64 position)
{
    return {NavigationStep::Action::Load, position, false};
}

} // namespace

NavigationStep navigationStep(NavigationButton button, qint64 count, const QString &position)
{
    using Action = NavigationStep::Action;
    // Previous on record 1 does nothing, whatever the archive holds.
    if (button == NavigationButton::Previous && position == QLatin1String("1"))
        return {};
    if (count <= 0)
        return {Action::EmptyArchive, 0, button == NavigationButton::Next};

    qint64 shown = 0; // a new record counts as position 0
    if (!position.isEmpty()) {
        bool ok = false;
        shown = position.toLongLong(&ok);
        if (!ok || shown < 1)
            return {Action::Invalid, 0, false};
    }
    switch (button) {
    case NavigationButton::First:
        return load(1);
    case NavigationButton::Last:
        return load(count);
    case NavigationButton::Next:
        if (shown >= count)
            return {};
        return load(shown + 1);
    case NavigationButton::Previous:
        return load(shown == 0 ? 1 : shown - 1);
    }
    return {};
}

} // namespace tavolux
