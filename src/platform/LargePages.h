#pragma once

#include <QtGlobal>

namespace tavolux {

// Asks for large pages over a big buffer: a list of a million lines would
// otherwise take a few hundred thousand page faults to fill. Only the whole
// large pages inside [data, data + bytes) are advised; elsewhere a no-op.
void adviseLargePages(const void *data, qint64 bytes);

} // namespace tavolux
