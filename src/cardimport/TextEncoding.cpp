#include "cardimport/TextEncoding.h"

#include "platform/Cp1252.h"

#include <QStringDecoder>

#include <cstring>

namespace tavolux {

QList<TextEncoding> textEncodings()
{
    return {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LE, TextEncoding::Utf16BE,
            TextEncoding::Windows1252};
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom:
        return QStringLiteral("UTF-8 con BOM");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    }
    return QString();
}

std::optional<TextEncoding> markedEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TextEncoding::Utf8Bom;
    if (bytes.startsWith("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

qsizetype markLength(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    case TextEncoding::Utf16LE:
        return bytes.startsWith("\xFF\xFE") ? 2 : 0;
    case TextEncoding::Utf16BE:
        return bytes.startsWith("\xFE\xFF") ? 2 : 0;
    case TextEncoding::Windows1252:
        return 0;
    }
    return 0;
}

bool isUtf8(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const auto *const end = p + size;
    while (p != end) {
        // ASCII eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int more;
        char32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if ((more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        p += more + 1;
    }
    return true;
}

QByteArray utf16ToUtf8(QByteArrayView bytes, bool bigEndian, bool *valid)
{
    QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                           QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (valid)
        *valid = !decoder.hasError() && bytes.size() % 2 == 0;
    return text.toUtf8();
}

QString decodeUtf8OrWindows1252(QByteArrayView bytes, bool *windows1252)
{
    const bool utf8 = isUtf8(bytes.data(), bytes.size());
    if (windows1252)
        *windows1252 = !utf8;
    return utf8 ? QString::fromUtf8(bytes) : cp1252::decode(bytes.data(), int(bytes.size()));
}

} // namespace tavolux
