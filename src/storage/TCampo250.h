#pragma once

#include <QString>

namespace tavolux {

// One text field of an archive record: a length byte L (0..250), then 250
// bytes of which the first L hold the text in Windows-1252.
namespace TCampo250 {

constexpr int Size = 251;
constexpr int MaxText = 250;

// Trims, converts at most 255 characters, keeps at most 250 bytes. Writes all
// 251 bytes of the field (zeros after the text).
void encode(const QString &value, char *field);

// Takes the first L bytes (a damaged L above 250 reads as 250), converts and trims.
QString decode(const char *field);

} // namespace TCampo250

} // namespace tavolux
