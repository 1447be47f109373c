#include "mailing/MailingSettings.h"

#include "platform/IniFile.h"
#include "printing/EnvelopeSettings.h"
#include "printing/MailingLayout.h"

#include <algorithm>

namespace tavolux::mailing {

namespace {

const QString kWhich = QStringLiteral("Scelta");
const QString kText = QStringLiteral("Testo");
const QString kTipi = QStringLiteral("Tipi");
const QString kOrder = QStringLiteral("Ordine");
const QString kCopies = QStringLiteral("Copie");
const QString kPrintOn = QStringLiteral("Supporto");
const QString kLabels = QStringLiteral("Etichette");
const QString kEnvelopes = QStringLiteral("Buste");

QString tipoKey(int n)
{
    return QStringLiteral("Tipo%1").arg(n);
}

} // namespace

MailingSettings MailingSettings::read(const ProgramFolder &folder)
{
    const IniFile file(folder.file(EnvelopeSettings::fileName()));
    MailingSettings settings;
    settings.choice.which = whichFromName(file.readString(section(), kWhich));
    settings.choice.text = file.readString(section(), kText);
    const int tipi = std::clamp(file.readString(section(), kTipi).toInt(), 0, 10000);
    for (int n = 1; n <= tipi; ++n)
        settings.choice.tipi << file.readString(section(), tipoKey(n));
    settings.choice.order = orderFromName(file.readString(section(), kOrder));
    bool ok = false;
    const int copies = file.readString(section(), kCopies).toInt(&ok);
    settings.copies = ok ? std::clamp(copies, 1, MailingLayout::MaxCopies) : 1;
    settings.envelopes = file.readString(section(), kPrintOn).trimmed().compare(kEnvelopes, Qt::CaseInsensitive) == 0;
    return settings;
}

bool MailingSettings::write(const ProgramFolder &folder) const
{
    IniFile file(folder.file(EnvelopeSettings::fileName()));
    const int before = std::clamp(file.readString(section(), kTipi).toInt(), 0, 10000);
    bool ok = file.writeString(section(), kWhich, whichName(choice.which))
              && file.writeString(section(), kText, choice.text)
              && file.writeString(section(), kTipi, QString::number(choice.tipi.size()));
    for (int n = 1; ok && n <= choice.tipi.size(); ++n)
        ok = file.writeString(section(), tipoKey(n), choice.tipi.at(n - 1));
    // The types of a longer earlier list are emptied.
    for (int n = int(choice.tipi.size()) + 1; ok && n <= before; ++n)
        ok = file.writeString(section(), tipoKey(n), QString());
    return ok && file.writeString(section(), kOrder, orderName(choice.order))
           && file.writeString(section(), kCopies, QString::number(copies))
           && file.writeString(section(), kPrintOn, envelopes ? kEnvelopes : kLabels);
}

} // namespace tavolux::mailing
