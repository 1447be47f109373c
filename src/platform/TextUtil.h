#pragma once

#include <QString>

namespace tavolux {

// Removes every leading and trailing character whose code is 32 or less.
QString trimText(const QString &text);

} // namespace tavolux
