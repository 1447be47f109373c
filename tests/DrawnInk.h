#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

// The colour of a field's text as drawn: "orange" for the mark of a line that
// will be cut, "black", "both", or "none" when nothing is written.
inline QString drawnInk(QWidget *field)
{
    QApplication::processEvents();
    const QImage image = field->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int orange = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() > 200 && c.green() > 90 && c.green() < 180 && c.blue() < 80)
                ++orange;
            else if (qGray(c.rgb()) < 70)
                ++black;
        }
    // A text cursor or a frame adds a few dark pixels, never a word's worth.
    if (orange > 20)
        return black > 20 ? QStringLiteral("both") : QStringLiteral("orange");
    return black > 20 ? QStringLiteral("black") : QStringLiteral("none");
}
