#pragma once

#include "archivewindow/Navigation.h"

#include <functional>

class QWidget;

namespace tavolux {

namespace ui {
class PictureButton;
}

// The toolbar buttons both archive windows have, and what they do.
struct ArchiveToolbar
{
    ui::PictureButton *newRecord = nullptr;
    ui::PictureButton *save = nullptr;
    ui::PictureButton *first = nullptr;
    ui::PictureButton *previous = nullptr;
    ui::PictureButton *next = nullptr;
    ui::PictureButton *last = nullptr;
    ui::PictureButton *help = nullptr;
    ui::PictureButton *exit = nullptr;

    std::function<void()> onNew;
    std::function<void()> onSave;
    std::function<void(NavigationButton)> onBrowse;
    std::function<void()> onHelp;
};

// Connects the buttons to their actions (exit closes the window) and gives
// them their keys: Ctrl+N, Ctrl+S, Alt+Home, Alt+Left, Alt+Right, Alt+End, F1.
void wireArchiveToolbar(QWidget *window, const ArchiveToolbar &toolbar);

} // namespace tavolux
