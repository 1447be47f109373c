#pragma once

#include "storage/Archive.h"
#include "storage/TSchedaIndirizzo.h"

namespace tavolux {

inline constexpr char kAddressArchiveFile[] = "Archivio_Indirizzi.pro";
using AddressArchive = Archive<TSchedaIndirizzo, kAddressArchiveFile>;

} // namespace tavolux
