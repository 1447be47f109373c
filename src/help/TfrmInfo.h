#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tavolux {

class LinkLabel;
namespace ui {
class PictureButton;
}

// The information window: a link that composes an e-mail to the maker.
class TfrmInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);

    // The text handed to the shell: the mail link, in double quotes.
    static QString mailCommand();

    QLabel *imgIntestazione = nullptr;
    QLabel *lblVersione = nullptr; // the program's version, in small type
    ui::PictureButton *imgEmail = nullptr;
    LinkLabel *lnkWeb = nullptr;
    QPushButton *cmdChiudi = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace tavolux
