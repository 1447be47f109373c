#include "addresses/TfrmTrovaIndirizzi.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "mailing/TfrmStampaSchede.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tavolux {

TfrmTrovaIndirizzi::TfrmTrovaIndirizzi(TfrmArchivio_Indirizzi &owner)
    : CardListDialog(owner.folder(), QStringLiteral(" Trova schede in archivio"),
                     QStringLiteral("Trova schede in archivio"), &owner),
      m_owner(owner)
{
    setObjectName(QStringLiteral("TfrmTrovaIndirizzi"));
    btnEtichette = new QPushButton(QStringLiteral("Etichette…"), btnStampa->parentWidget());
    btnEtichette->setObjectName(QStringLiteral("btnEtichette"));
    btnEtichette->setMinimumWidth(btnStampa->minimumWidth());
    btnEtichette->setToolTip(QStringLiteral("Stampa le etichette delle schede in elenco."));
    // Beside "Stampa", on its left, in the bottom row.
    const auto rows = btnStampa->parentWidget()->findChildren<QBoxLayout *>();
    for (QBoxLayout *row : rows) {
        const int at = row->indexOf(btnStampa);
        if (at >= 0) {
            row->insertWidget(at, btnEtichette);
            break;
        }
    }
    setTabOrder(btnChiudi, btnEtichette);
    connect(btnEtichette, &QPushButton::clicked, this, &TfrmTrovaIndirizzi::openMailing);
}

void TfrmTrovaIndirizzi::openMailing()
{
    qint64 card = 0;
    {
        TfrmStampaSchede dialog(m_owner.folder(), this, txtTrova->text());
        dialog.exec();
        card = dialog.cardToOpen();
    }
    // A card to mend is recalled into the address window, as a double click would.
    if (card > 0) {
        m_owner.openCard(card);
        accept();
    }
}

void TfrmTrovaIndirizzi::recall(const TSchedaIndirizzo &card, qint64 position)
{
    m_owner.showCard(card, position);
}

} // namespace tavolux
