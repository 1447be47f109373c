#pragma once

#include "mailing/MailingChoice.h"
#include "platform/ProgramFolder.h"

namespace tavolux::mailing {

// The last mailing's choice, kept in Impostazioni.ini in a section of its
// own: which cards (and the text or the types), the order and the copies.
// A hand-made choice is kept as such, without its ticks.
struct MailingSettings
{
    Choice choice;
    int copies = 1;

    static QString section() { return QStringLiteral("Etichette dall'archivio"); }

    // Missing or unreadable values are the defaults: all cards, by name, one copy.
    static MailingSettings read(const ProgramFolder &folder);
    // False when the file cannot be written.
    bool write(const ProgramFolder &folder) const;
};

} // namespace tavolux::mailing
