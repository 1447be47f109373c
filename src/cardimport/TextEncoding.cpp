#include "cardimport/TextEncoding.h"

#include "platform/Cp1252.h"

#include <QStringDecoder>

namespace tavolux {

namespace {

bool startsWith(const QByteArray &bytes, const char *mark, int size)
{
    return bytes.size() >= size && std::equal(mark, mark + size, bytes.constData());
}

bool hasUtf8Mark(const QByteArray &bytes)
{
    return startsWith(bytes, "\xEF\xBB\xBF", 3);
}
bool hasUtf16LEMark(const QByteArray &bytes)
{
    return startsWith(bytes, "\xFF\xFE", 2);
}
bool hasUtf16BEMark(const QByteArray &bytes)
{
    return startsWith(bytes, "\xFE\xFF", 2);
}

QString decodeWith(QStringConverter::Encoding encoding, const QByteArray &bytes, qsizetype skip, bool *valid)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.constData() + skip, bytes.size() - skip));
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

} // namespace

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

TextEncoding detectEncoding(const QByteArray &bytes)
{
    if (hasUtf8Mark(bytes))
        return TextEncoding::Utf8Bom;
    if (hasUtf16LEMark(bytes))
        return TextEncoding::Utf16LE;
    if (hasUtf16BEMark(bytes))
        return TextEncoding::Utf16BE;
    bool valid = false;
    decodeWith(QStringConverter::Utf8, bytes, 0, &valid);
    return valid ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString detectAndDecode(const QByteArray &bytes, TextEncoding &encoding, bool *valid)
{
    if (hasUtf8Mark(bytes) || hasUtf16LEMark(bytes) || hasUtf16BEMark(bytes)) {
        encoding = detectEncoding(bytes);
        return decodeText(bytes, encoding, valid);
    }
    bool utf8 = false;
    QString text = decodeWith(QStringConverter::Utf8, bytes, 0, &utf8);
    if (utf8) {
        encoding = TextEncoding::Utf8;
        if (valid)
            *valid = true;
        return text;
    }
    encoding = TextEncoding::Windows1252;
    return decodeText(bytes, encoding, valid);
}

QString decodeText(const QByteArray &bytes, TextEncoding encoding, bool *valid)
{
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return decodeWith(QStringConverter::Utf8, bytes, hasUtf8Mark(bytes) ? 3 : 0, valid);
    case TextEncoding::Utf16LE: {
        QString text = decodeWith(QStringConverter::Utf16LE, bytes, hasUtf16LEMark(bytes) ? 2 : 0, valid);
        if (valid && bytes.size() % 2)
            *valid = false;
        return text;
    }
    case TextEncoding::Utf16BE: {
        QString text = decodeWith(QStringConverter::Utf16BE, bytes, hasUtf16BEMark(bytes) ? 2 : 0, valid);
        if (valid && bytes.size() % 2)
            *valid = false;
        return text;
    }
    case TextEncoding::Windows1252:
        if (valid)
            *valid = true;
        return cp1252::decode(bytes);
    }
    return QString();
}

} // namespace tavolux
