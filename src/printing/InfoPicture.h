#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace tavolux {

// An information picture: the artwork "artName" on the left and the text,
// wrapped, beside it.
QPixmap infoPicture(const QString &artName, const QString &text, const QSize &size);

} // namespace tavolux
