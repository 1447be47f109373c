#pragma once

#include <QColor>
#include <QString>

namespace tavolux {

// Whether an address line, trimmed as it is printed, prints whole in a box of
// the label page (58.2 mm in Arial 7 pt) or of the envelope (90 mm in Arial
// 10 pt). Measured as the report engine lays text out and the print clips
// it, by the ink of the glyphs, so a line is cut in print exactly when these
// say false.
bool fitsLabelLine(const QString &text);
bool fitsEnvelopeLine(const QString &text);

// The text colour that marks a line which will be cut.
inline const QColor kCutLineColor = QColor(0xFF, 0x8C, 0x00); // dark orange

} // namespace tavolux
