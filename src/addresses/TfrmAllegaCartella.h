#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavolux {

class TfrmArchivio_Indirizzi;

namespace ui {
class PictureButton;
}

// The attachments of the card shown in the address archive window: three
// slots of a file name and a description. "Sfoglia..." copies the chosen file
// into the attachments folder; "Applica e chiudi" writes the six values back
// into the window's hidden holders, which reach the archive at its next save.
class TfrmAllegaCartella : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(TfrmArchivio_Indirizzi &owner);

    // The attach button's action: a fresh dialog filled from the window's
    // holders, shown modally and destroyed when it closes.
    static void run(TfrmArchivio_Indirizzi &owner);

    static QString callerTag() { return QStringLiteral("archivio_indirizzi"); }
    static QString folderName() { return QStringLiteral("Documenti_Allegati"); }
    static QString overwriteQuestion();
    // A name that names a file inside the attachments folder and nothing
    // else: no path separator, no drive, not "." or "..".
    static bool isBareName(const QString &name);

    // The attachments folder of a program folder.
    static QString folderPath(const ProgramFolder &folder);

    QLabel *lblMemory = nullptr;
    QLineEdit *txtFile01 = nullptr;
    QLineEdit *txtFile02 = nullptr;
    QLineEdit *txtFile03 = nullptr;
    QLineEdit *txtDesc01 = nullptr;
    QLineEdit *txtDesc02 = nullptr;
    QLineEdit *txtDesc03 = nullptr;
    ui::PictureButton *imgCancella01 = nullptr;
    ui::PictureButton *imgCancella02 = nullptr;
    ui::PictureButton *imgCancella03 = nullptr;
    QPushButton *btnSfoglia01 = nullptr;
    QPushButton *btnSfoglia02 = nullptr;
    QPushButton *btnSfoglia03 = nullptr;
    QPushButton *btnApri01 = nullptr;
    QPushButton *btnApri02 = nullptr;
    QPushButton *btnApri03 = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnApplica = nullptr;

public slots:
    // Slots are numbered 1 to 3.
    void browse(int slot);
    void openDocument(int slot);
    void clearName(int slot);
    void apply();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Slot {
        QLineEdit *file = nullptr;
        QLineEdit *desc = nullptr;
        ui::PictureButton *clear = nullptr;
        QPushButton *browse = nullptr;
        QPushButton *open = nullptr;
    };
    const Slot &slotAt(int slot) const { return m_slots.at(size_t(slot - 1)); }
    QWidget *buildGroup(int slot, QWidget *parent);

    TfrmArchivio_Indirizzi &m_owner;
    ProgramFolder m_folder;
    std::array<Slot, 3> m_slots;
};

} // namespace tavolux
