#pragma once

#include <QPixmap>
#include <QStringList>

namespace tavolux {

// The header picture of the password windows: a white box with a padlock,
// a title and a few lines of text.
QPixmap padlockPicture(const QString &title, const QStringList &lines, const QSize &size);

} // namespace tavolux
