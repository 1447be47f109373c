#include "archivewindow/ArchiveToolbar.h"

#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"

#include <QWidget>

namespace tavolux {

void wireArchiveToolbar(QWidget *window, const ArchiveToolbar &toolbar)
{
    const auto press = [window](ui::PictureButton *button, const std::function<void()> &action,
                                const QKeySequence &keys) {
        QObject::connect(button, &ui::PictureButton::clicked, window, action);
        ui::bindShortcut(window, button, keys);
    };
    press(toolbar.newRecord, toolbar.onNew, QKeySequence(Qt::CTRL | Qt::Key_N));
    press(toolbar.save, toolbar.onSave, QKeySequence(Qt::CTRL | Qt::Key_S));
    const std::pair<ui::PictureButton *, NavigationButton> arrows[] = {
        {toolbar.first, NavigationButton::First},
        {toolbar.previous, NavigationButton::Previous},
        {toolbar.next, NavigationButton::Next},
        {toolbar.last, NavigationButton::Last},
    };
    const Qt::Key arrowKeys[] = {Qt::Key_Home, Qt::Key_Left, Qt::Key_Right, Qt::Key_End};
    for (int i = 0; i < 4; ++i) {
        const NavigationButton button = arrows[i].second;
        press(arrows[i].first, [browse = toolbar.onBrowse, button] { browse(button); },
              QKeySequence(Qt::ALT | arrowKeys[i]));
    }
    press(toolbar.help, toolbar.onHelp, QKeySequence(Qt::Key_F1));
    QObject::connect(toolbar.exit, &ui::PictureButton::clicked, window, &QWidget::close);
}

} // namespace tavolux
