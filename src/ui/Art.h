#pragma once

#include <QPixmap>
#include <QString>

#include <functional>

class QLabel;

namespace tavolux::ui {

// The device pixel ratio pictures are drawn at: the screens' highest.
qreal pixelRatio();
// An empty, transparent picture of `size` (in device-independent pixels) at that ratio.
QPixmap canvas(const QSize &size);

// The program's artwork (SVG in the resources under :/art/<name>.svg),
// rendered at the given size, sharp at the screen's pixel ratio.
QPixmap art(const QString &name, const QSize &size);

// A picture button drawn from a caption: rounded blue face, white bold text.
QPixmap buttonArt(const QString &caption, const QSize &size);

// A line of text drawn as a picture (titles, subtitles, the maker's line).
QPixmap textArt(const QString &text, const QSize &size, int pixelSize, const QColor &color, bool bold,
                bool italic = false);

// Gives the label its picture when it is first shown or painted, so that a
// window made long before it is shown draws nothing until then. The label
// takes the picture's size as its least size at once: layouts are the same
// as with the picture.
void setPictureWhenShown(QLabel *label, const QSize &size, std::function<QPixmap()> make);

} // namespace tavolux::ui
