#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tavolux {

// The encodings an imported text file may be in.
enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };

// All of them, in the order the import dialog offers them.
QList<TextEncoding> textEncodings();
// The name shown for it ("UTF-8", "Windows-1252", ...).
QString encodingName(TextEncoding encoding);

// The byte-order mark decides where there is one; otherwise a text that is
// valid UTF-8 is UTF-8, and anything else Windows-1252 (where every byte is a
// character).
TextEncoding detectEncoding(const QByteArray &bytes);

// The text of `bytes` in `encoding`, without its byte-order mark. `valid` is
// false when the bytes are not a correct text in that encoding (the bad bytes
// then read as U+FFFD).
QString decodeText(const QByteArray &bytes, TextEncoding encoding, bool *valid = nullptr);

// detectEncoding() and decodeText() in one, decoding the bytes only once
// where they are UTF-8 or have a mark.
QString detectAndDecode(const QByteArray &bytes, TextEncoding &encoding, bool *valid = nullptr);

} // namespace tavolux
