#include "access/Crypt.h"
#include "platform/TextUtil.h"

namespace tavolux {

namespace {

quint16 nextKey(quint16 key, quint8 cipherByte)
{
    // Unsigned 32-bit arithmetic, so the product cannot overflow; kept modulo 65536.
    const quint32 sum = quint16(cipherByte + key);
    return quint16((sum * Crypt::Multiplier + Crypt::Increment) & 0xFFFFu);
}

} // namespace

QString Crypt::CifraPassword(const QString &text)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 2);
    quint16 key = StartKey;
    for (const QChar ch : text) {
        const quint8 plain = quint8(ch.unicode() & 0xFF);
        const quint8 c = quint8(plain ^ (key >> 8));
        out += QLatin1Char(digits[c >> 4]);
        out += QLatin1Char(digits[c & 0x0F]);
        key = nextKey(key, c);
    }
    return out;
}

std::optional<QString> Crypt::DecifraPassword(const QString &hex)
{
    const int n = int(hex.size()) / 2;
    QString out;
    out.reserve(n);
    quint16 key = StartKey;
    for (int i = 0; i < n; ++i) {
        const int high = hexDigit(hex.at(2 * i));
        const int low = hexDigit(hex.at(2 * i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        const quint8 c = quint8(high * 16 + low);
        out += QChar(char16_t(c ^ (key >> 8)));
        key = nextKey(key, c);
    }
    return out;
}

} // namespace tavolux
