#pragma once

#include <QLatin1String>
#include <QString>

namespace tavolux::ui {

// The face of the program's texts, on screen and in print.
inline constexpr QLatin1String kTextFace("Verdana");
// The border colour of the program's light panels.
inline constexpr QLatin1String kPanelBorder("#9fb6d9");

// The style sheet of a panel with that border:
// "<selector> { background: <background>; border: 1px solid #9fb6d9; border-radius: <radius>px; }",
// without the radius where it is 0.
QString panelStyle(const QString &selector, int radius, const QString &background = QStringLiteral("white"));

} // namespace tavolux::ui
