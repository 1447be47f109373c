#pragma once

#include "platform/ProgramFolder.h"
#include "archivewindow/Navigation.h"
#include "printing/SheetFormat.h"
#include "storage/TPaginaEtichette.h"
#include "ui/GradientWidget.h"
#include "ui/OnDemand.h"

#include <QStringList>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QLineEdit;

namespace tavolux {

namespace ui {
class PictureButton;
class StatusHints;
}

// The label-page window: one page of 24 labels, composed by importing cards,
// saved, browsed and handed on to preview and printing. Each slot shows the
// card's name; its six lines travel in hidden holders. Slots and lines are
// 1-based; slot k is label k of the stored page.
class TfrmArchivio_Etichette : public ui::GradientWidget
{
    Q_OBJECT
public:
    static constexpr int Slots = TPaginaEtichette::Slots;
    static constexpr int Lines = TPaginaEtichette::Lines;

    explicit TfrmArchivio_Etichette(const ProgramFolder &folder, QWidget *parent = nullptr);

    const ProgramFolder &folder() const { return m_folder; }

    // The slot controls, named bkgIndirizzo_kk, txtNome_Ekk, impIndirizzo_Ekk
    // and txtRigo0j_Ekk (kk: the slot in two digits).
    QFrame *bkgIndirizzo(int slot) const;
    QLineEdit *txtNome_E(int slot) const;
    ui::PictureButton *impIndirizzo_E(int slot) const;
    QLabel *txtRigo_E(int slot, int line) const;

    // The caller tag of a slot, "etichetta_E01" to "etichetta_E24", and back
    // (0 when the text names no slot).
    static QString slotTag(int slot);
    static int slotOfTag(const QString &tag);

    // Line `line` of slot `slot` as its holder keeps it.
    QString lineText(int slot, int line) const;
    // The 144 holders as the printing dialogs read them: (slot, line) -> text.
    std::function<QString(int, int)> lineReader() const;
    // Writes an imported card into a slot: its name and its six lines
    // (missing lines are emptied).
    void fillSlot(int slot, const QString &name, const QStringList &lines);
    // What the tooltip of a slot says when one of its lines will be cut.
    static QString cutLineWarning();
    // The format the slots' lines are judged on: the one chosen for label
    // pages, read again each time the window is shown and after each of its
    // print dialogs closes. Setting it marks the slots again.
    const SheetFormat &sheetFormat() const { return m_format; }
    void setSheetFormat(const SheetFormat &format);

    // Sets every slot from a page, then the position label (0: empty).
    void showPage(const TPaginaEtichette &page, qint64 position);
    // The page as the slots hold it.
    TPaginaEtichette buildPage() const;

    // Makes the controls, if not yet made, before the window is first shown.
    void setVisible(bool visible) override;

    // The controls are made the first time the window is shown or one of
    // them is asked for.

    ui::OnDemand<QLabel> lblPosizione{this, &buildFor};
    ui::OnDemand<QLabel> panInfo{this, &buildFor};
    ui::OnDemand<QWidget> panMemory{this, &buildFor};

    ui::OnDemand<ui::PictureButton> cmdNuovo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdSalva{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdAnteprima{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdStampa{this, &buildFor};
    // Labels for every chosen card of the address archive: TfrmStampaSchede.
    ui::OnDemand<ui::PictureButton> cmdSchede{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdPrimo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdIndietro{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdAvanti{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdUltimo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdGuida{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdEsci{this, &buildFor};

public slots:
    void newPage();
    void save();
    void first();
    void previous();
    void next();
    void last();
    // Empties a slot's name and its six lines; the position label stays.
    void emptySlot(int slot);

signals:
    // The window was closed: the launcher comes back.
    void closed();
    // The user asked to mend card `position` of the address archive.
    void openAddressCard(qint64 position);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // The dialogs this window opens. Each creates its dialog owned by this
    // window, shows it modally and destroys it when it closes.
    void openImport(int slot);
    // The slot whose name field or import button has the focus; else slot 1.
    int focusedSlot() const;
    void openPreview();
    void openPrint();
    void openMailing();
    void openHelp();

private:
    struct Slot {
        QFrame *box = nullptr;
        QLineEdit *name = nullptr;
        ui::PictureButton *import = nullptr;
        std::array<QLabel *, Lines> lines{};
    };

    // The controls, the 24 slots and their 144 holders included, are made at
    // first need (first show or first access), so that the hidden window is
    // quick to create.
    const std::array<Slot, Slots> &slotControls() const;
    static void buildFor(QWidget *window);
    void build();
    void buildSlots();
    void addHints(const QList<QWidget *> &background, const QList<QWidget *> &neutral);
    // Index of the slot whose name field is `field`, or 0.
    int slotOfField(const QObject *field) const;
    void navigate(NavigationButton button);
    // A slot's name in dark orange when one of its lines will be cut.
    void markSlot(int slot);
    void readSheetFormat();

    ProgramFolder m_folder;
    SheetFormat m_format = SheetFormat::standard();
    bool m_built = false;
    ui::OnDemand<QWidget> m_grid{this, &buildFor};
    ui::StatusHints *m_hints = nullptr;
    std::array<Slot, Slots> m_slots;
};

} // namespace tavolux
