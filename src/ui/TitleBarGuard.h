#pragma once

#include <QByteArray>
#include <QObject>

class QWidget;

namespace tavolux::ui {

// Keeps the windows that have no title-bar buttons without them on X11:
// Qt's own Motif hint restricts the window manager's functions but not the
// decorations it draws, so such a window also announces that it wants only
// a border and a caption, and may only be moved. Under a window manager that
// draws buttons on every title bar it asks for a border alone. A window
// manager that minimises it anyway (a modal dialog would take the program
// with it) sees it restored at once.
class TitleBarGuard : public QObject
{
    Q_OBJECT
public:
    explicit TitleBarGuard(QObject *parent = nullptr);

    // A top-level window whose flags ask for a caption and no buttons.
    static bool hasNoButtons(const QWidget *window);
    // Writes the window's Motif hint (X11 only; elsewhere nothing happens).
    static void applyHints(QWidget *window);
    // A window manager, by the name it gives itself, that puts buttons on
    // every caption it draws.
    static bool drawsButtonsOnEveryTitle(const QByteArray &windowManager);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tavolux::ui
