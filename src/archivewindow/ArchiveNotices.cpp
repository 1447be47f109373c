#include "archivewindow/ArchiveNotices.h"

#include "ui/Messages.h"

namespace tavolux::archivewindow {

QString accessDeniedMessage()
{
    return QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
}

QString emptyArchiveMessage()
{
    return QStringLiteral("L'archivio non contiene nessuna scheda.");
}

QString insertedMessage()
{
    return QStringLiteral("La scheda corrente è stata inserita in archivio.");
}

QString savedMessage()
{
    return QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
}

QString busyMessage()
{
    return QStringLiteral("Attenzione: l'archivio è in uso da un'altra copia del programma e non è stato possibile "
                          "leggerlo.\n\r\n\rRiprovare tra qualche istante.");
}

bool askRetryBusy(QWidget *owner)
{
    return ui::message(owner, ui::MessageKind::Warning, busyMessage(), ui::MessageButtons::RetryCancel)
           == ui::MessageAnswer::Retry;
}

void guardedArchiveAction(QWidget *owner, const std::function<bool()> &block)
{
    if (!block())
        ui::notice(owner, ui::MessageKind::Error, accessDeniedMessage());
}

} // namespace tavolux::archivewindow
