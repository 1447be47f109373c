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

// Runs the file steps of one action as a guarded block: the block returns
// false on any failed step, and the owner then shows the access-denied error.
void guardedArchiveAction(QWidget *owner, const std::function<bool()> &block);

} // namespace tavolux::archivewindow
