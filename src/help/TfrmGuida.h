#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavolux {

class LinkLabel;
namespace ui {
class PictureButton;
}

// The help window: one topic's title and text, and a link to the help document.
class TfrmGuida : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmGuida(const ProgramFolder &folder, QWidget *parent = nullptr);

    // The text handed to the shell: the help document's path in double quotes.
    QString documentCommand() const;

    QLabel *imgIntestazione = nullptr;
    QLabel *lblTitolo = nullptr;
    QPlainTextEdit *txtGuida = nullptr;
    ui::PictureButton *imgPDF = nullptr;
    LinkLabel *lnkWeb = nullptr;
    QPushButton *cmdChiudi = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    ProgramFolder m_folder;
};

} // namespace tavolux
