#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tavolux::archivewindow {

// The notices both archive windows share.
QString accessDeniedMessage();
QString emptyArchiveMessage();
QString insertedMessage();
QString savedMessage();
// The archive could not be read: another copy held it longer than a read waits.
QString busyMessage();

// Says that the archive is busy, with Riprova and Annulla; true on Riprova.
bool askRetryBusy(QWidget *owner);

// Runs the file steps of one action as a guarded block: the block returns
// false on any failed step, and the owner then shows the access-denied error.
void guardedArchiveAction(QWidget *owner, const std::function<bool()> &block);

} // namespace tavolux::archivewindow
