#pragma once

#include "cardlist/CardListDialog.h"

namespace tavolux {

class TfrmArchivio_Indirizzi;

// The find dialog: a recall writes the card and its position into the address window.
class TfrmTrovaIndirizzi : public CardListDialog
{
    Q_OBJECT
public:
    explicit TfrmTrovaIndirizzi(TfrmArchivio_Indirizzi &owner);

    // "Etichette…": labels for the cards of the list (TfrmStampaSchede), the
    // search text taken as the choice; after the search buttons in tab order.
    QPushButton *btnEtichette = nullptr;

public slots:
    void openMailing();

protected:
    void recall(const TSchedaIndirizzo &card, qint64 position) override;

private:
    TfrmArchivio_Indirizzi &m_owner;
};

} // namespace tavolux
