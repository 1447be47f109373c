#include "addresses/TfrmTrovaIndirizzi.h"

#include "addresses/TfrmArchivio_Indirizzi.h"

namespace tavolux {

TfrmTrovaIndirizzi::TfrmTrovaIndirizzi(TfrmArchivio_Indirizzi &owner)
    : CardListDialog(owner.folder(), QStringLiteral(" Trova schede in archivio"),
                     QStringLiteral("Trova schede in archivio"), &owner),
      m_owner(owner)
{
    setObjectName(QStringLiteral("TfrmTrovaIndirizzi"));
}

void TfrmTrovaIndirizzi::recall(const TSchedaIndirizzo &card, qint64 position)
{
    m_owner.showCard(card, position);
}

} // namespace tavolux
