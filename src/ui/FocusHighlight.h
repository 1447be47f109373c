#pragma once

#include <QColor>
#include <QObject>

class QWidget;

namespace tavolux::ui {

namespace colors {
inline const QColor Focus = QColor(0xFF, 0xFF, 0x00);     // yellow
inline const QColor AliceBlue = QColor(0xF0, 0xF8, 0xFF);
inline const QColor White = QColor(0xFF, 0xFF, 0xFF);
inline const QColor SkyBlue = QColor(0x87, 0xCE, 0xEB);
} // namespace colors

// Paints an edit field in its resting colour, yellow while it has the focus,
// with a border of the given colour at all times.
class FocusHighlight : public QObject
{
    Q_OBJECT
public:
    static void install(QWidget *field, const QColor &rest, const QColor &border = colors::SkyBlue,
                        const QColor &focus = colors::Focus);
    // The colour the field shows now (its resting or its focus colour).
    static QColor currentBackground(const QWidget *field);
    // The colour of the field's text, focused or not; an invalid colour: black.
    // It is part of the field's style sheet, which a palette would not survive.
    static void setTextColor(QWidget *field, const QColor &color);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusHighlight(QWidget *field, const QColor &rest, const QColor &border, const QColor &focus);
    void paint(QWidget *field, bool focused);

    QColor m_rest;
    QColor m_border;
    QColor m_focus;
};

} // namespace tavolux::ui
