#include "ui/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace tavolux::ui {

namespace {

// Qt's own dialog, where the desktop offers none of its own: wide enough,
// and the columns of its detail view as wide as their Italian headings and
// what they show, each time a folder is read.
void fitColumns(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!view || !model)
        return;
    dialog.resize(std::max(dialog.width(), 800), std::max(dialog.height(), 460));
    auto fit = [view] {
        QHeaderView *header = view->header();
        for (int column = 1; column < header->count(); ++column)
            header->resizeSection(column, std::max({header->sectionSize(column), header->sectionSizeHint(column),
                                                    static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column)}));
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit);
    fit();
}

QString runFileDialog(QWidget *parent, const QString &title, const QString &filter, const QString &path,
                      QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        if (info.isDir()) {
            dialog.setDirectory(path);
        } else {
            if (!info.path().isEmpty() && info.path() != QLatin1String("."))
                dialog.setDirectory(info.path());
            dialog.selectFile(info.fileName());
        }
    }
    fitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

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
    return runFileDialog(parent, title, shown, folder, QFileDialog::AcceptOpen);
}

void setFileChooserHandler(FileChooserHandler h)
{
    handler() = std::move(h);
}

QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter, const QString &suggested)
{
    if (saveHandler())
        return saveHandler()(parent, title, filter, suggested);
    return runFileDialog(parent, title, filter, suggested, QFileDialog::AcceptSave);
}

void setSaveFileChooserHandler(SaveFileChooserHandler h)
{
    saveHandler() = std::move(h);
}

} // namespace tavolux::ui
