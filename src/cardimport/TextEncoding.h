#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace tavolux {

// The encodings an imported text file may be in. A file read as UTF-8 reads
// each line that is not valid UTF-8 as Windows-1252.
enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };

// All of them, in the order the import dialog offers them.
QList<TextEncoding> textEncodings();
// The name shown for it ("UTF-8", "Windows-1252", ...).
QString encodingName(TextEncoding encoding);

// The encoding a byte-order mark gives, if any.
std::optional<TextEncoding> markedEncoding(QByteArrayView bytes);
// The length of the mark of `encoding` at the start of `bytes` (0 when none).
qsizetype markLength(QByteArrayView bytes, TextEncoding encoding);

// Whether the bytes are correct UTF-8 (no overlong forms, no surrogates).
bool isUtf8(const char *data, qsizetype size);
inline bool isUtf8(QByteArrayView bytes) { return isUtf8(bytes.data(), bytes.size()); }

// UTF-16 text (without its mark) as UTF-8; `valid` is false when it is not
// correct UTF-16 (the bad units then read as U+FFFD).
QByteArray utf16ToUtf8(QByteArrayView bytes, bool bigEndian, bool *valid);

// UTF-8 where the bytes are correct UTF-8, Windows-1252 otherwise.
QString decodeUtf8OrWindows1252(QByteArrayView bytes, bool *windows1252 = nullptr);

} // namespace tavolux
