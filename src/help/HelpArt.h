#pragma once

#include <QPixmap>
#include <QString>

namespace tavolux {

// The help windows' artwork: their own icons and the program's shared ones.
QPixmap helpArt(const QString &name, const QSize &size);

// A header: an icon at the left and a lettering beside it, on white.
QPixmap headerPicture(const QString &iconName, const QString &lettering, const QSize &size);

// The maker's credits artwork.
QPixmap creditsPicture(const QSize &size);
// The text drawn in the credits picture, line after line.
QString creditsText();

} // namespace tavolux
