#pragma once

#include "platform/ProgramFolder.h"
#include "archivewindow/Navigation.h"
#include "storage/TSchedaIndirizzo.h"
#include "ui/GradientWidget.h"
#include "ui/OnDemand.h"

#include <QList>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace tavolux {

class LineFitFormats;
struct SheetFormat;

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
    // Reads card `position` (one opening) and shows it, with the keyboard on
    // its name; the access-denied error where it cannot be read.
    void openCard(qint64 position);
    // The card as the 15 controls hold it.
    TSchedaIndirizzo buildCard() const;
    // The six line fields, as shown.
    QStringList shownLines() const;

    void setVisible(bool visible) override;

    // The label formats the line fields are judged on (LineFitFormats): the
    // ones chosen for the sheet of one address, the label pages and the
    // mailing, read again each time the window is shown and after its label
    // preview closes. Setting them marks the fields again.
    void setSheetFormats(const QList<SheetFormat> &labels);
    const LineFitFormats *lineFitFormats() const { return m_fitFormats; }

    // The controls are made the first time the window is shown or one of
    // them is asked for.
    ui::OnDemand<QLineEdit> txtNome{this, &buildFor};
    ui::OnDemand<QLineEdit> txtTipo{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo01{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo02{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo03{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo04{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo05{this, &buildFor};
    ui::OnDemand<QLineEdit> txtRigo06{this, &buildFor};
    ui::OnDemand<QLineEdit> txtNote{this, &buildFor};
    ui::OnDemand<QLabel> lblFile01{this, &buildFor};
    ui::OnDemand<QLabel> lblFile02{this, &buildFor};
    ui::OnDemand<QLabel> lblFile03{this, &buildFor};
    ui::OnDemand<QLabel> lblDesc01{this, &buildFor};
    ui::OnDemand<QLabel> lblDesc02{this, &buildFor};
    ui::OnDemand<QLabel> lblDesc03{this, &buildFor};
    ui::OnDemand<QLabel> lblPosizione{this, &buildFor};
    ui::OnDemand<QLabel> panInfo{this, &buildFor};

    ui::OnDemand<ui::PictureButton> cmdNuovo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdDuplica{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdSalva{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdTrova{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdFile{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdStampa{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdPrimo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdIndietro{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdAvanti{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdUltimo{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdEsporta{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdAnteprima{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdImporta{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdGuida{this, &buildFor};
    ui::OnDemand<ui::PictureButton> cmdEsci{this, &buildFor};

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
    static void buildFor(QWidget *window);
    void build();
    // Widens the panel where the toolbar needs more room than the body.
    void fitPanelToToolbar();
    QList<QLineEdit *> editFields() const;
    QList<QLabel *> hiddenHolders() const;
    // One opening: Count, then at most one Read (see navigationStep).
    void navigate(NavigationButton button);
    void info(const QString &text);
    void warning(const QString &text);

    ProgramFolder m_folder;
    LineFitFormats *m_fitFormats = nullptr;
    bool m_built = false;
    QWidget *m_panel = nullptr;
    QHBoxLayout *m_toolbar = nullptr;
};

} // namespace tavolux
