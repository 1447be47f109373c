#include "help/Maker.h"

namespace tavolux::maker {

QString name()
{
    return QStringLiteral(TAVOLUX_MAKER_NAME);
}

QString webSite()
{
    return QStringLiteral(TAVOLUX_MAKER_WEB);
}

QString mail()
{
    return QStringLiteral(TAVOLUX_MAKER_MAIL);
}

} // namespace tavolux::maker
