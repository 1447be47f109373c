#pragma once

#include "storage/TSchedaIndirizzo.h"

#include <QString>

namespace tavolux::bench {

// Card n of a deterministic archive of realistic Italian addresses.
TSchedaIndirizzo sampleCard(quint32 n);
// The same card with all six lines written: the country and a client code
// after the address, so that its label holds six texts.
TSchedaIndirizzo fullCard(quint32 n);

// Writes an address archive of `cards` cards made by `make` into `folder`
// (replacing it).
bool writeAddressArchive(const QString &folder, int cards, TSchedaIndirizzo (*make)(quint32) = sampleCard);

} // namespace tavolux::bench
