#pragma once

#include "report/PreparedPage.h"

#include <QDate>
#include <QList>
#include <QString>

namespace tavolux::report {

class ReportPage;

// Lays a template page out as it now stands, without painting: the page's
// own objects on every page, the bands stacked below them, a band that allows
// splitting continued on the next page line by line. "today" is the value of
// [DATE].
QList<PreparedPage> layoutPage(const ReportPage &page, const QDate &today);

// Replaces the bracketed expressions the engine knows ([DATE]: the short date
// "dd/mm/yyyy"); any other bracketed text stays as it is.
QString expandExpressions(const QString &text, const QDate &today);

// The inner gap between a text box's edge and its text, in units.
constexpr double kTextGap = 0;

} // namespace tavolux::report
