#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QString>

#include <array>

namespace tavolux {

// Whether an address line, trimmed as it is printed, prints whole in a box of
// the label page (58.2 mm in Arial 7 pt) or of the envelope (90 mm in Arial
// 10 pt). Measured as the report engine lays text out, so a line is cut in
// print exactly when these say false.
bool fitsLabelLine(const QString &text);
bool fitsEnvelopeLine(const QString &text);

// The label line's test for many lines at once, on any thread: each
// code-page character's width, summed. A line clearly narrower than the box
// fits and one clearly wider is cut; one near the box's edge is left to
// fitsLabelLine, which measures it as it prints. Made on the interface thread.
class LabelLineFit
{
public:
    enum class Verdict { Fits, Cut, Measure };

    LabelLineFit();
    // A trimmed line in the archive's code page.
    Verdict quick(QByteArrayView line) const;

private:
    std::array<double, 256> m_width{};
    double m_box = 0;
};

// The text colour that marks a line which will be cut.
inline const QColor kCutLineColor = QColor(0xFF, 0x8C, 0x00); // dark orange

} // namespace tavolux
