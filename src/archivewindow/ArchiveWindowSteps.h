#pragma once

#include "platform/TextUtil.h"
#include "archivewindow/Navigation.h"
#include "archivewindow/ArchiveNotices.h"
#include "ui/Messages.h"

#include <QLabel>

#include <functional>

namespace tavolux {

// The steps both archive windows take on their archive: one opening each,
// the position label read trimmed, failures shown as access denied.

// Browses to the record a button names and shows it; the empty-archive
// notice comes after the archive is closed.
template <typename Archive, typename Record>
void browseArchive(QWidget *owner, const ProgramFolder &folder, QLabel *position, NavigationButton button,
                   const std::function<void(const Record &, qint64)> &show)
{
    NavigationStep step;
    archivewindow::guardedArchiveAction(owner, [&] {
        Archive archive(folder);
        Record record;
        if (!archive.open() || !browse(archive, button, trimText(position->text()), step, record))
            return false;
        if (step.action == NavigationStep::Action::Load)
            show(record, step.position);
        else if (step.clearPosition)
            position->clear();
        return true;
    });
    if (step.action == NavigationStep::Action::EmptyArchive)
        ui::notice(owner, ui::MessageKind::Information, archivewindow::emptyArchiveMessage());
}

// Saves the record over the shown position, or appends it when the position
// is empty, then tells which of the two happened.
template <typename Archive, typename Record>
void saveToArchive(QWidget *owner, const ProgramFolder &folder, QLabel *position, const Record &record)
{
    QString done;
    archivewindow::guardedArchiveAction(owner, [&] {
        Archive archive(folder);
        const QString shown = trimText(position->text());
        const qint64 p = archive.open() ? saveRecord(archive, shown, record) : -1;
        if (p < 1)
            return false;
        position->setText(QString::number(p));
        done = shown.isEmpty() ? archivewindow::insertedMessage() : archivewindow::savedMessage();
        return true;
    });
    if (!done.isEmpty())
        ui::notice(owner, ui::MessageKind::Information, done);
}

} // namespace tavolux
