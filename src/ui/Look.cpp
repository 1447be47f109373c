#include "ui/Look.h"

namespace tavolux::ui {

QString panelStyle(const QString &selector, int radius, const QString &background)
{
    const QString corner = radius > 0 ? QStringLiteral(" border-radius: %1px;").arg(radius) : QString();
    return QStringLiteral("%1 { background: %2; border: 1px solid %3;%4 }").arg(selector, background, kPanelBorder, corner);
}

} // namespace tavolux::ui
