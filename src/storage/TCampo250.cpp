#include "storage/TCampo250.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <cstring>

namespace tavolux::TCampo250 {

void encode(const QString &value, char *field)
{
    // Trim, take at most 255 characters, convert, keep at most 250 bytes:
    // straight into the field, with zeros after the text.
    const QChar *text = value.constData();
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    const qsizetype limit = qMin(end, begin + 255);
    char *out = field + 1;
    int length = 0;
    for (qsizetype i = begin; i < limit && length < MaxText; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out[length++] = char(c);
            continue;
        }
        // A surrogate pair is one character and becomes one '?'.
        if (QChar::isHighSurrogate(c) && i + 1 < limit && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        out[length++] = cp1252::encodeChar(c);
    }
    field[0] = char(length);
    std::memset(out + length, 0, size_t(MaxText - length));
}

QString decode(const char *field)
{
    const int length = qMin(int(static_cast<unsigned char>(field[0])), MaxText);
    return trimText(cp1252::decode(field + 1, length));
}

} // namespace tavolux::TCampo250
