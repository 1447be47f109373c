#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace tavolux {

// The frame of the label-page print and preview dialogs: a small fixed-size
// dialog without title-bar buttons, a white panel of information pictures,
// "Annulla" at the bottom left and the action button at the bottom right.
// On creation it sets the process-wide number and date conventions.
class LabelPrintDialog : public QDialog
{
    Q_OBJECT
public:
    QLabel *imgInfo01 = nullptr;
    QLabel *imgInfo02 = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnStampa = nullptr;

protected:
    // information: the two texts; pictures: the artwork beside each.
    LabelPrintDialog(const QString &caption, const QStringList &information, const QStringList &pictures,
                     const QString &action, QWidget *parent);

    // The information of the two preview dialogs.
    static QStringList previewInformation();

    // What the action button does; the dialog closes afterwards.
    virtual void run() = 0;
};

} // namespace tavolux
