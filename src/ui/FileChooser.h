#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tavolux::ui {

// The open-file dialog: a title and a filter; empty when cancelled.
QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter, const QString &folder = QString());

using FileChooserHandler = std::function<QString(QWidget *, const QString &title, const QString &filter)>;
// Test seam: answers instead of the dialog; an empty handler restores it.
void setFileChooserHandler(FileChooserHandler handler);

} // namespace tavolux::ui
