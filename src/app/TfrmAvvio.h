#pragma once

#include "platform/ProgramFolder.h"
#include "ui/GradientWidget.h"

namespace tavolux {

namespace ui {
class PictureButton;
}

// The launcher: opens the two apps, help, information, credits and the web site.
class TfrmAvvio : public ui::GradientWidget
{
    Q_OBJECT
public:
    explicit TfrmAvvio(const ProgramFolder &folder, QWidget *parent = nullptr);

    ui::PictureButton *imgApp01 = nullptr;
    ui::PictureButton *btnApp01 = nullptr;
    ui::PictureButton *imgApp02 = nullptr;
    ui::PictureButton *btnApp02 = nullptr;
    ui::PictureButton *imgInfo = nullptr;
    ui::PictureButton *imgGuida = nullptr;
    ui::PictureButton *imgSito = nullptr;
    ui::PictureButton *imgCopyright = nullptr;
    ui::PictureButton *imgEsci = nullptr;

    static QString makerName();
    static QString makerWebSite();

signals:
    void openAddresses();
    void openLabels();
    // The exit icon or the close box: the program ends.
    void endRequested();

public slots:
    // The help, information and credits windows, each a fresh modal dialog.
    void showHelp();
    void showInfo();
    void showCredits();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ProgramFolder m_folder;
};

} // namespace tavolux
