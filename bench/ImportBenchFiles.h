#pragma once

// The address book the import cases read: rows as a mail program writes
// them, in UTF-8 with quoted fields, made once and kept with the other data.
#include <QString>

namespace tavolux::bench {

QString importCsv(int rows);

} // namespace tavolux::bench
