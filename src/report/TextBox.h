#pragma once

#include "report/TextFont.h"
#include "report/ReportObject.h"

#include <QColor>
#include <QStringList>

namespace tavolux::report {

// A text box: lines of text in one font, optionally on a fill.
class TextBox : public ReportObject
{
public:
    enum class Align { Left, Center, Right };

    explicit TextBox(const QString &name)
        : ReportObject(Kind::Text, name)
    {
    }

    // Replaces the whole text; line breaks (CR LF, LF, CR) separate lines.
    void setText(const QString &text);
    QString text() const { return Lines.join(QLatin1Char('\n')); }
    void clearLines() { Lines.clear(); }
    void addLine(const QString &line) { Lines.append(line); }

    QStringList Lines;
    TextFont Font;
    QColor FontColor = Qt::black;
    QColor Fill;                     // invalid: no fill
    Align HAlign = Align::Left;
    // Units from the top of one line to the top of the next; 0: the font's
    // own line spacing.
    double LinePitch = 0;
    bool WordWrap = true;
    bool AllowExpressions = true;
};

} // namespace tavolux::report
