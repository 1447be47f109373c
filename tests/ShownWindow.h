#pragma once

#include <QApplication>
#include <QWidget>

// The visible top-level widget of type T, such as the modal dialog that is
// open now; nullptr when there is none.
template <typename T>
T *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}
