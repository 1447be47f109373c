#include "labels/TfrmImportaIndirizzi.h"

#include "labels/TfrmArchivio_Etichette.h"
#include "platform/TextUtil.h"

#include <QLabel>

namespace tavolux {

TfrmImportaIndirizzi::TfrmImportaIndirizzi(TfrmArchivio_Etichette &owner)
    : CardListDialog(owner.folder(), QStringLiteral(" Importa etichetta da archivio indirizzi"),
                     QStringLiteral("Importa etichetta da archivio indirizzi"), &owner),
      m_owner(owner)
{
    setObjectName(QStringLiteral("TfrmImportaIndirizzi"));
    lblMemory = new QLabel(this);
    lblMemory->setObjectName(QStringLiteral("lblMemory"));
    lblMemory->hide();
}

void TfrmImportaIndirizzi::recall(const TSchedaIndirizzo &card, qint64)
{
    const int slot = TfrmArchivio_Etichette::slotOfTag(trimText(lblMemory->text()));
    if (slot == 0)
        return;
    QStringList lines;
    for (int j = 0; j < 6; ++j)
        lines << card[TSchedaIndirizzo::Rigo01 + j];
    m_owner.fillSlot(slot, card[TSchedaIndirizzo::Nome], lines);
}

} // namespace tavolux
