// Arbitrary text as a stored password: deciphering never crashes, and what it
// gives back enciphers to the same digits (upper case, the odd digit dropped).
#include "access/Crypt.h"
#include "platform/Cp1252.h"

#include <QByteArray>

#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString hex = cp1252::decode(reinterpret_cast<const char *>(data), int(size));
    const std::optional<QString> plain = Crypt::DecifraPassword(hex);
    if (!plain)
        return 0;
    const QString even = hex.left(hex.size() / 2 * 2).toUpper();
    if (Crypt::CifraPassword(*plain) != even)
        __builtin_trap();
    return 0;
}
