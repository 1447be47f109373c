#pragma once

#include "mailing/MailingChoice.h"
#include "platform/ProgramFolder.h"

namespace tavolux::mailing {

// The last mailing's choice, kept in Impostazioni.ini in a section of its
// own: which cards (and the text or the types), the order, the copies and
// whether they print on labels or on envelopes.
// A hand-made choice is kept as such, without its ticks.
struct MailingSettings
{
    Choice choice;
    int copies = 1;
    bool envelopes = false;

    static QString section() { return QStringLiteral("Etichette dall'archivio"); }

    // Missing or unreadable values are the defaults: all cards, by name, one copy, on labels.
    static MailingSettings read(const ProgramFolder &folder);
    // False when the file cannot be written.
    bool write(const ProgramFolder &folder) const;
};

} // namespace tavolux::mailing
