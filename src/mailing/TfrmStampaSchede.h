#pragma once

#include "mailing/MailingCards.h"
#include "mailing/MailingChoice.h"
#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class QAbstractListModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;

namespace tavolux {

class EnvelopeMailing;
class LabelMailing;
struct SheetFormat;
class MailingListModel;

// "Etichette dall'archivio": labels for every chosen card of the address
// archive in one job. The user chooses the cards (all, by text, by type or by
// hand), their order, the copies and the first label; the window always
// shows how many cards and sheets that makes and which cards have lines too
// long for their label. It previews and prints the sheets, and keeps the
// labels as label pages on request. Instead of labels it prints one
// envelope for each card, as the envelope dialog sets it up. The archive is
// read when the window opens; the last choice is kept in Impostazioni.ini.
class TfrmStampaSchede : public QDialog
{
    Q_OBJECT
public:
    // `findText`: opened from the find dialog with a search text, the
    // choice starts as the cards that hold it.
    explicit TfrmStampaSchede(const ProgramFolder &folder, QWidget *parent = nullptr,
                              const QString &findText = QString());
    ~TfrmStampaSchede() override;

    static QString caption() { return QStringLiteral(" Etichette dall'archivio"); }
    static QString title() { return QStringLiteral("Etichette dall'archivio"); }
    static QString instructionsText();
    static QString nothingChosenMessage();
    static QString keepQuestion(qint64 pages);
    static QString keptMessage(qint64 first, qint64 pages);
    // The summary of a choice: cards, labels and sheets, with Italian thousands.
    static QString summaryText(qint64 cards, qint64 labels, int sheets);
    static QString envelopeSummaryText(qint64 cards);
    static QString envelopeInstructionsText();
    static QString envelopeMarginMessage();
    static QString envelopeTitle() { return QStringLiteral("Buste dall'archivio"); }

    QRadioButton *optTutte = nullptr;
    QRadioButton *optTesto = nullptr;
    QLineEdit *txtTesto = nullptr;
    QRadioButton *optTipo = nullptr;
    QListWidget *lstTipi = nullptr;
    QRadioButton *optMano = nullptr;
    QRadioButton *optNome = nullptr;
    QRadioButton *optCap = nullptr;
    QRadioButton *optTipoNome = nullptr;
    QRadioButton *optArchivio = nullptr;
    QSpinBox *txtCopie = nullptr;
    QSpinBox *txtInizio = nullptr;
    QGroupBox *grpEtichette = nullptr;
    QRadioButton *optEtichette = nullptr;
    QRadioButton *optBuste = nullptr;
    QPushButton *btnBusta = nullptr;
    QLabel *lblBusta = nullptr;
    QLabel *imgIstruzioni = nullptr;
    QLabel *lblFormato = nullptr;
    QPushButton *btnFormato = nullptr;
    QTabWidget *tabElenchi = nullptr;
    QListView *lstSchede = nullptr;
    QPushButton *btnSelezionaTutto = nullptr;
    QPushButton *btnNessuno = nullptr;
    QListView *lstTagliati = nullptr;
    QLabel *lblRiepilogo = nullptr;
    QLabel *lblEscluse = nullptr;
    QLabel *lblTagliati = nullptr;
    QPushButton *btnChiudi = nullptr;
    QPushButton *btnGuida = nullptr;
    QPushButton *btnConserva = nullptr;
    QPushButton *btnAnteprima = nullptr;
    QPushButton *btnStampa = nullptr;

    // The choice as the controls set it.
    mailing::Choice choice() const;
    // The cards to print, in their order, and what was left out.
    const mailing::Chosen &chosen() const { return m_chosen; }
    const mailing::MailingCards &cards() const { return m_cards; }
    const MailingListModel *model() const { return m_model; }
    int sheets() const;
    LabelMailing &mailing() { return *m_mailing; }
    // Prints on that format from now on (the one chosen for the mailing when
    // the window opens) and judges the cards' lines on its labels.
    void setSheetFormat(const SheetFormat &format);
    EnvelopeMailing &envelopeMailing() { return *m_envelopes; }
    // Whether the cards print on envelopes rather than on labels.
    bool onEnvelopes() const;
    // The position of the card the user asked to open in the address window
    // (the window then closed), or 0.
    qint64 cardToOpen() const { return m_cardToOpen; }

public slots:
    void fill();
    void preview();
    void print();
    void keepAsPages();
    // "Formato etichette...": the mailing's sheet chosen, the counts shown for it.
    void chooseFormat();
    void selectAll();
    void selectNone();
    // The envelope dialog, for the settings the envelopes print with.
    void openEnvelopeSettings();
    // Opens the card of a row of the list of cut lines: the window closes.
    void openCutCard(int row);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildChoiceColumn(QWidget *parent, QVBoxLayout *column);
    void buildLists(QWidget *parent, QVBoxLayout *column);
    void buildPrintOn(QWidget *parent, QVBoxLayout *column);
    // Labels or envelopes chosen: the controls that apply, the marks, the counts.
    void choosePrintOn();
    void showEnvelopeSettings();
    // The envelopes' cards and settings; false, with a warning, when a margin is no number.
    bool prepareEnvelopes();
    void applySettings();
    void fillTipi();
    // The choice or the copies changed: the cards, the counts, the marks.
    void update();
    // Tick or untick a card: the choice becomes a hand-made one, from the cards chosen so far.
    void tick(int card, bool ticked);
    void setAllTicks(bool ticked);
    void setWhich(mailing::Choice::Which which);
    // Sets the mailing's cards, copies and first label from the window.
    void prepareMailing();
    bool ensureChosen();

    ProgramFolder m_folder;
    QString m_findText;
    QStringList m_settingsTipi; // the types to tick once the archive is read
    bool m_opened = false;
    bool m_updating = false;
    mailing::MailingCards m_cards;
    MailingListModel *m_model = nullptr;
    QAbstractListModel *m_cutModel = nullptr;
    std::vector<std::uint8_t> m_hand;   // the hand-made choice, per card
    std::vector<std::uint8_t> m_picked; // what the choice takes, per card
    mailing::Chosen m_chosen;
    std::unique_ptr<LabelMailing> m_mailing;
    std::unique_ptr<EnvelopeMailing> m_envelopes;
    qint64 m_cardToOpen = 0;
};

} // namespace tavolux
