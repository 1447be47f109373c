#pragma once

#include "storage/TSchedaIndirizzo.h"

#include <QString>

namespace tavolux::bench {

// Card n of a deterministic archive of realistic Italian addresses.
TSchedaIndirizzo sampleCard(quint32 n);

// Writes an address archive of `cards` cards into `folder` (replacing it).
bool writeAddressArchive(const QString &folder, int cards);

} // namespace tavolux::bench
