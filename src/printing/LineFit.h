#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QString>

#include <array>

namespace tavolux {

namespace report {
struct TextFont;
}

// Whether an address line, trimmed as it is printed, prints whole in a box of
// the label page (58.2 mm in Arial 7 pt) or of the envelope (90 mm in Arial
// 10 pt). Measured as the report engine lays text out and the print clips
// it, by the ink of the glyphs, so a line is cut in print exactly when these
// say false.
bool fitsLabelLine(const QString &text);
// The same for line `line` (1 to 6) of a label of that sheet format: a line
// the label has no room for fits only when it is empty.
struct SheetFormat;
bool fitsLabelLine(const QString &text, const SheetFormat &format, int line);
bool fitsEnvelopeLine(const QString &text);

enum class LineBox { Label, Envelope };
inline bool fitsLine(LineBox box, const QString &text)
{
    return box == LineBox::Label ? fitsLabelLine(text) : fitsEnvelopeLine(text);
}

// A box's test for many lines at once, on any thread: each code-page
// character's width, summed. A line clearly narrower than the box fits and
// one clearly wider is cut; one near the box's edge is left to fitsLine,
// which measures it as it prints. Made on the interface thread.
class LineFitTable
{
public:
    enum class Verdict { Fits, Cut, Measure };

    explicit LineFitTable(LineBox box = LineBox::Label);
    // The lines of a label of that sheet format: its line 1's width and its
    // font; a line beyond the label's lines() is cut unless empty.
    explicit LineFitTable(const SheetFormat &format);
    // A trimmed line in the archive's code page.
    Verdict quick(QByteArrayView line) const;
    // The same in parts, for a caller that sums the widths as it goes: in
    // 1/4096 of a template unit, so that summing is exact and quick.
    qint64 width(unsigned char c) const { return m_width[c]; }
    Verdict verdict(qint64 width, qsizetype length) const;
    // How many lines the box's label or envelope prints.
    int lines() const { return m_lines; }

private:
    void measure(const report::TextFont &font, double room);

    std::array<qint64, 256> m_width{};
    qint64 m_fits = 0; // below this width a line fits
    qint64 m_cut = 0;  // above it the line is cut
    qsizetype m_alwaysFits = 0; // a line of at most this many characters fits, whatever they are
    int m_lines = 6;
};

// The text colour that marks a line which will be cut.
inline const QColor kCutLineColor = QColor(0xFF, 0x8C, 0x00); // dark orange

} // namespace tavolux
