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

// One browsing step on an opened archive: counts, decides, and reads the
// record to show when the step loads one. False on any failed file step.
template <typename Archive, typename Record>
bool browse(Archive &archive, NavigationButton button, const QString &position, NavigationStep &step, Record &record)
{
    const qint64 count = archive.count();
    if (count < 0)
        return false;
    step = navigationStep(button, count, position);
    switch (step.action) {
    case NavigationStep::Action::Invalid:
        return false;
    case NavigationStep::Action::Load:
        return archive.read(step.position, record);
    default:
        return true;
    }
}

// Save: overwrite the record at the shown position, or append a new one when
// the position is empty. Gives the record's position, or -1 on any failed step
// (a position past the end would leave a gap of blank records: also a failure).
template <typename Archive, typename Record>
qint64 saveRecord(Archive &archive, const QString &position, const Record &record)
{
    if (position.isEmpty())
        return archive.append(record);
    bool ok = false;
    const qint64 p = position.toLongLong(&ok);
    if (!ok || p < 1 || p > archive.count() || !archive.write(p, record))
        return -1;
    return p;
}

} // namespace tavolux
