#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tavolux {

class LinkLabel;
namespace ui {
class PictureButton;
}

// The credits window: the maker's artwork and a link to the maker's web site.
class TfrmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget *parent = nullptr);

    QLabel *imgSplash = nullptr;
    ui::PictureButton *imgWeb = nullptr;
    LinkLabel *lnkWeb = nullptr;
    QPushButton *cmdChiudi = nullptr;
};

} // namespace tavolux
