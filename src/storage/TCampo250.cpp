#include "storage/TCampo250.h"

#include "platform/Cp1252.h"
#include "platform/TextUtil.h"

#include <cstring>

namespace tavolux::TCampo250 {

void encode(const QString &value, char *field)
{
    QByteArray bytes = cp1252::encode(trimText(value).left(255));
    const int length = qMin(int(bytes.size()), MaxText);
    std::memset(field, 0, Size);
    field[0] = char(length);
    std::memcpy(field + 1, bytes.constData(), size_t(length));
}

QString decode(const char *field)
{
    const int length = qMin(int(static_cast<unsigned char>(field[0])), MaxText);
    return trimText(cp1252::decode(field + 1, length));
}

} // namespace tavolux::TCampo250
