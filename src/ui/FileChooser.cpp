#include "ui/FileChooser.h"

#include <QFileDialog>

namespace tavolux::ui {

namespace {
FileChooserHandler &handler()
{
    static FileChooserHandler instance;
    return instance;
}

SaveFileChooserHandler &saveHandler()
{
    static SaveFileChooserHandler instance;
    return instance;
}
} // namespace

QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter, const QString &folder)
{
    if (handler())
        return handler()(parent, title, filter);
#ifdef Q_OS_WIN
    const QString shown = filter;
#else
    // "*.*" means every file, as on Windows, also names without a dot.
    QString shown = filter;
    shown.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
#endif
    return QFileDialog::getOpenFileName(parent, title, folder, shown);
}

void setFileChooserHandler(FileChooserHandler h)
{
    handler() = std::move(h);
}

QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggested)
{
    if (saveHandler())
        return saveHandler()(parent, title, filter, suggested);
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

void setSaveFileChooserHandler(SaveFileChooserHandler h)
{
    saveHandler() = std::move(h);
}

} // namespace tavolux::ui
