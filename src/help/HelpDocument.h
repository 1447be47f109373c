#pragma once

#include <QString>

namespace tavolux {

// Writes the help document: a title page, then each help topic on pages of
// its own, with page numbers. False when the file cannot be written.
bool writeHelpDocument(const QString &path);

} // namespace tavolux
