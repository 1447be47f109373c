#pragma once

#include "storage/Archive.h"
#include "storage/TPaginaEtichette.h"

namespace tavolux {

inline constexpr char kLabelPageArchiveFile[] = "Archivio_Etichette.pro";
using LabelPageArchive = Archive<TPaginaEtichette, kLabelPageArchiveFile>;

} // namespace tavolux
