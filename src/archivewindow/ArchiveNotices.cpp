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

void guardedArchiveAction(QWidget *owner, const std::function<bool()> &block)
{
    if (!block())
        ui::notice(owner, ui::MessageKind::Error, accessDeniedMessage());
}

} // namespace tavolux::archivewindow
