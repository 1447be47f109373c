#pragma once

#include <QDate>
#include <QString>

namespace tavolux::conventions {

// Sets the process-wide number and date conventions: decimal ',' and short
// date "dd/mm/yyyy", whatever the system's regional settings are.
void apply();

// Text to number with the process's decimal comma; ok is false on bad text.
double toNumber(const QString &text, bool *ok = nullptr);
// Number to text with the decimal comma and no grouping.
QString fromNumber(double value, int decimals = -1);
// A count as the program's texts write it, with the Italian thousands
// separator: "7", "32.767", "100.000".
QString formatCount(qlonglong count);
// The short date format "dd/mm/yyyy".
QString shortDate(const QDate &date);

} // namespace tavolux::conventions
