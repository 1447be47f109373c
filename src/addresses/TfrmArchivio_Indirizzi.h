#pragma once

#include "platform/ProgramFolder.h"
#include "storage/Navigation.h"
#include "storage/TSchedaIndirizzo.h"
#include "ui/GradientWidget.h"

#include <QList>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace tavolux {

namespace ui {
class PictureButton;
}

// The address archive window: one card at a time, typed, browsed, duplicated
// and saved. It keeps no copy of the archive; each action is one opening.
class TfrmArchivio_Indirizzi : public ui::GradientWidget
{
    Q_OBJECT
public:
    explicit TfrmArchivio_Indirizzi(const ProgramFolder &folder, QWidget *parent = nullptr);

    const ProgramFolder &folder() const { return m_folder; }

    // Sets the 15 controls from a card, then the position label (0: empty).
    void showCard(const TSchedaIndirizzo &card, qint64 position);
    // The card as the 15 controls hold it.
    TSchedaIndirizzo buildCard() const;
    // The six line fields, as shown.
    QStringList shownLines() const;


    QLineEdit *txtNome = nullptr;
    QLineEdit *txtTipo = nullptr;
    QLineEdit *txtRigo01 = nullptr;
    QLineEdit *txtRigo02 = nullptr;
    QLineEdit *txtRigo03 = nullptr;
    QLineEdit *txtRigo04 = nullptr;
    QLineEdit *txtRigo05 = nullptr;
    QLineEdit *txtRigo06 = nullptr;
    QLineEdit *txtNote = nullptr;
    QLabel *lblFile01 = nullptr;
    QLabel *lblFile02 = nullptr;
    QLabel *lblFile03 = nullptr;
    QLabel *lblDesc01 = nullptr;
    QLabel *lblDesc02 = nullptr;
    QLabel *lblDesc03 = nullptr;
    QLabel *lblPosizione = nullptr;
    QLabel *panInfo = nullptr;

    ui::PictureButton *cmdNuovo = nullptr;
    ui::PictureButton *cmdDuplica = nullptr;
    ui::PictureButton *cmdSalva = nullptr;
    ui::PictureButton *cmdTrova = nullptr;
    ui::PictureButton *cmdFile = nullptr;
    ui::PictureButton *cmdStampa = nullptr;
    ui::PictureButton *cmdPrimo = nullptr;
    ui::PictureButton *cmdIndietro = nullptr;
    ui::PictureButton *cmdAvanti = nullptr;
    ui::PictureButton *cmdUltimo = nullptr;
    ui::PictureButton *cmdEsporta = nullptr;
    ui::PictureButton *cmdAnteprima = nullptr;
    ui::PictureButton *cmdImporta = nullptr;
    ui::PictureButton *cmdGuida = nullptr;
    ui::PictureButton *cmdEsci = nullptr;

public slots:
    void newCard();
    void duplicate();
    void save();
    void first();
    void previous();
    void next();
    void last();
    void openFind();
    void openImport();

signals:
    // The window was closed: the launcher comes back.
    void closed();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Widens the panel where the toolbar needs more room than the body.
    void fitPanelToToolbar();
    QList<QLineEdit *> editFields() const;
    QList<QLabel *> hiddenHolders() const;
    // One opening: Count, then at most one Read (see navigationStep).
    void navigate(NavigationButton button);
    void info(const QString &text);
    void warning(const QString &text);

    ProgramFolder m_folder;
    QWidget *m_panel = nullptr;
    QHBoxLayout *m_toolbar = nullptr;
};

} // namespace tavolux
