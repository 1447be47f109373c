#include "platform/Conventions.h"

#include <QLocale>

namespace tavolux::conventions {

namespace {
QLocale numberLocale()
{
    QLocale locale(QLocale::Italian, QLocale::Italy);
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

void apply()
{
    QLocale::setDefault(numberLocale());
}

double toNumber(const QString &text, bool *ok)
{
    return numberLocale().toDouble(text.trimmed(), ok);
}

QString fromNumber(double value, int decimals)
{
    if (decimals < 0)
        return numberLocale().toString(value, 'g', 15);
    return numberLocale().toString(value, 'f', decimals);
}

QString shortDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace tavolux::conventions
