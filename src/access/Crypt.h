#pragma once

#include <QString>

#include <optional>

namespace tavolux {

// The byte-wise stream cipher of the access password: a 16-bit key state,
// updated from each cipher byte. Only the low 8 bits of each character are
// enciphered, and the cipher text holds two upper-case hex digits per character.
class Crypt
{
public:
    // Hex cipher text of `text`; empty for an empty text.
    static QString CifraPassword(const QString &text);

    // The deciphered text; digits of either case, a last unpaired digit is
    // ignored. Empty (no value) when a pair is not hexadecimal.
    static std::optional<QString> DecifraPassword(const QString &hex);

    static constexpr quint16 StartKey = 7385;
    static constexpr quint16 Multiplier = 40503;
    static constexpr quint16 Increment = 27361;
};

} // namespace tavolux
