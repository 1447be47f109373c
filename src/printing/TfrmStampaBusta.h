#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tavolux {

namespace report {
class Report;
}

// Prints the six address lines of the card shown on an envelope, moved by a
// top and a left margin in mm and in the chosen orientation. The margins and
// the orientation live in Impostazioni.ini and are saved when printing.
class TfrmStampaBusta : public QDialog
{
    Q_OBJECT
public:
    // The six address lines as the address window shows them.
    using LinesSource = std::function<QStringList()>;

    TfrmStampaBusta(const ProgramFolder &folder, LinesSource lines, QWidget *parent = nullptr);
    ~TfrmStampaBusta() override;

    static QString failureMessage();

    QLabel *imgIstruzioni = nullptr;
    QGroupBox *panOrientamento = nullptr;
    QRadioButton *optVerticale = nullptr;
    QRadioButton *optOrizzontale = nullptr;
    QGroupBox *panMargini = nullptr;
    QPushButton *btnTopMinus = nullptr;
    QLineEdit *txtTop = nullptr;
    QPushButton *btnTopPlus = nullptr;
    QPushButton *btnLeftMinus = nullptr;
    QLineEdit *txtLeft = nullptr;
    QPushButton *btnLeftPlus = nullptr;
    QLabel *lblAttendere = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnStampa = nullptr;
    QPushButton *btnApplicaTop = nullptr;
    QPushButton *btnApplicaLeft = nullptr;

    std::unique_ptr<report::Report> repModulo;

public slots:
    void print();

private:
    void load();
    // The two save steps of printing; each is false when the file cannot be
    // written, and m_saveFailure then says why.
    bool applyTop();
    bool applyLeft();
    // Steps 2 to 8 of printing; false at the first that fails.
    bool printSteps();
    QString checkedOrientation() const;

    ProgramFolder m_folder;
    LinesSource m_lines;
    QString m_saveFailure;
};

} // namespace tavolux
