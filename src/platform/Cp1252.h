#pragma once

#include <QByteArray>
#include <QString>

namespace tavolux::cp1252 {

// Windows-1252: every byte decodes; the five undefined bytes decode to the
// control character of the same code, as Windows does.
QString decode(const char *data, int size);
inline QString decode(const QByteArray &bytes) { return decode(bytes.constData(), int(bytes.size())); }

// A character outside the code page encodes as '?'.
QByteArray encode(const QString &text);
// Appends the encoding of `text` to `out` (no temporary), as encode() does.
void appendEncoded(QByteArray &out, QStringView text);
// One BMP character; '?' when the code page cannot represent it.
char encodeChar(char16_t c);

} // namespace tavolux::cp1252
