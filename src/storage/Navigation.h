#pragma once

#include <QString>

namespace tavolux {

// The four browsing buttons of an archive window.
enum class NavigationButton { First, Previous, Next, Last };

// What a browsing button does, given the number of records in the archive
// and the trimmed position label (empty for a new, unsaved record).
struct NavigationStep
{
    enum class Action {
        Load,         // show record `position`
        Stay,         // do nothing, no message
        EmptyArchive, // tell the user the archive is empty
        Invalid,      // the position label holds no usable number: a failure
    };
    Action action = Action::Stay;
    qint64 position = 0;        // for Load
    bool clearPosition = false; // for EmptyArchive: empty the position label first
};

NavigationStep navigationStep(NavigationButton button, qint64 count, const QString &position);

} // namespace tavolux
