#pragma once

#include <QString>

namespace tavolux {

// Removes every leading and trailing character whose code is 32 or less.
QString trimText(const QString &text);

// The value of a hexadecimal digit (either case), or -1 for any other character.
int hexDigit(QChar c);

} // namespace tavolux
