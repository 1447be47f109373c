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

// The save-file dialog: a title, a filter and a suggested path; empty when cancelled.
QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggested = QString());

using SaveFileChooserHandler = std::function<QString(QWidget *, const QString &title, const QString &filter,
                                                     const QString &suggested)>;
// Test seam: answers instead of the save dialog; an empty handler restores it.
void setSaveFileChooserHandler(SaveFileChooserHandler handler);

} // namespace tavolux::ui
