#include "platform/Conventions.h"

#include <QLocale>
#include <QtCore/private/qlocale_p.h>

namespace tavolux::conventions {

namespace {

const QString kShortDate = QStringLiteral("dd/MM/yyyy");

// The process's own regional settings: Italian, with the decimal comma and
// the short date "dd/mm/yyyy" (Italian's own short date has a two-digit year).
// Qt asks the system locale for each of these values, so every conversion
// through QLocale uses them.
class ProcessLocale final : public QSystemLocale
{
    static QLocale italian() { return QLocale(QLocale::Italian, QLocale::Italy); }

public:
    QLocale fallbackLocale() const override { return QLocale(QLocale::Italian, QLocale::Italy); }

    QVariant query(QueryType type, QVariant in) const override
    {
        switch (type) {
        case LanguageId:
            return QVariant(uint(QLocale::Italian));
        case TerritoryId:
            return QVariant(uint(QLocale::Italy));
        case DecimalPoint:
            return QStringLiteral(",");
        case DateFormatShort:
            return kShortDate;
        case DateTimeFormatShort:
            return kShortDate + QStringLiteral(" HH:mm");
        case DateToStringShort:
            return in.toDate().toString(kShortDate);
        case DateTimeToStringShort:
            return in.toDateTime().toString(kShortDate + QStringLiteral(" HH:mm"));
        case DayNameLong:
            return italian().dayName(in.toInt(), QLocale::LongFormat);
        case DayNameShort:
            return italian().dayName(in.toInt(), QLocale::ShortFormat);
        case DayNameNarrow:
            return italian().dayName(in.toInt(), QLocale::NarrowFormat);
        case MonthNameLong:
            return italian().monthName(in.toInt(), QLocale::LongFormat);
        case MonthNameShort:
            return italian().monthName(in.toInt(), QLocale::ShortFormat);
        case MonthNameNarrow:
            return italian().monthName(in.toInt(), QLocale::NarrowFormat);
        case StandaloneMonthNameLong:
            return italian().standaloneMonthName(in.toInt(), QLocale::LongFormat);
        case StandaloneMonthNameShort:
            return italian().standaloneMonthName(in.toInt(), QLocale::ShortFormat);
        case StandaloneDayNameLong:
            return italian().standaloneDayName(in.toInt(), QLocale::LongFormat);
        case StandaloneDayNameShort:
            return italian().standaloneDayName(in.toInt(), QLocale::ShortFormat);
        default:
            return QVariant(); // Italian, from the fallback
        }
    }
};

QLocale numberLocale()
{
    QLocale locale(QLocale::Italian, QLocale::Italy);
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

void apply()
{
    // Made once and kept for the whole process: Qt refers to it from then on.
    static const ProcessLocale *const process = new ProcessLocale;
    Q_UNUSED(process);
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    QLocale::setDefault(locale);
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
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString formatCount(qlonglong value)
{
    const QString digits = QString::number(value < 0 ? -value : value);
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits.at(i);
    }
    return value < 0 ? QLatin1Char('-') + out : out;
}

} // namespace tavolux::conventions
