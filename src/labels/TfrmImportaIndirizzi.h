#pragma once

#include "cardlist/CardListDialog.h"

class QLabel;

namespace tavolux {

class TfrmArchivio_Etichette;

// The import dialog: the card list of the find dialog, where a double click
// writes the card's name and six lines into the slot that lblMemory names.
class TfrmImportaIndirizzi : public CardListDialog
{
    Q_OBJECT
public:
    explicit TfrmImportaIndirizzi(TfrmArchivio_Etichette &owner);

    // The slot tag, "etichetta_E01" .. "etichetta_E24"; never shown.
    QLabel *lblMemory = nullptr;

protected:
    void recall(const TSchedaIndirizzo &card, qint64 position) override;

private:
    TfrmArchivio_Etichette &m_owner;
};

} // namespace tavolux
