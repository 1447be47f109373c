#include "platform/Cp1252.h"

#include <array>

namespace tavolux::cp1252 {

namespace {

// 0x80..0x9F; the undefined codes map to themselves.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < int(kHigh.size()); ++i)
        if (kHigh[size_t(i)] == c)
            return char(0x80 + i);
    return '?';
}

QString decode(const char *data, int size)
{
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (int i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

void appendEncoded(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *dst = out.data() + start;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p != end) {
        const char16_t c = *p;
        if (c < 0x80) {
            *dst++ = char(c);
        } else {
            // A surrogate pair is one character and becomes one '?'.
            if (QChar::isHighSurrogate(c) && p + 1 != end && QChar::isLowSurrogate(p[1]))
                ++p;
            *dst++ = encodeChar(c);
        }
        ++p;
    }
    out.resize(dst - out.data());
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    appendEncoded(out, text);
    return out;
}

} // namespace tavolux::cp1252
