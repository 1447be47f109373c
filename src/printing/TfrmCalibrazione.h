#pragma once

#include "platform/ProgramFolder.h"
#include "printing/LabelCalibration.h"
#include "printing/SheetFormat.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavolux {

// Moves the label sheets' print to fit the user's printer: a horizontal and a
// vertical shift in tenths of a millimetre, saved in Impostazioni.ini by
// "Salva", and a test sheet printed with the shift shown.
class TfrmCalibrazione : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmCalibrazione(const ProgramFolder &folder, QWidget *parent = nullptr);
    // The calibration of that sheet, and its test sheet.
    TfrmCalibrazione(const ProgramFolder &folder, const SheetFormat &sheet, QWidget *parent = nullptr);
    ~TfrmCalibrazione() override;

    static QString failureMessage();
    // What to measure and which way a positive value moves the print.
    static QString instructionsText();

    // The shift the value boxes show.
    LabelShift shift() const;

    QLabel *imgIstruzioni = nullptr;
    QGroupBox *panSpostamento = nullptr;
    QPushButton *btnOrizzMinus = nullptr;
    QLineEdit *txtOrizzontale = nullptr;
    QPushButton *btnOrizzPlus = nullptr;
    QPushButton *btnVertMinus = nullptr;
    QLineEdit *txtVerticale = nullptr;
    QPushButton *btnVertPlus = nullptr;
    QPushButton *btnProva = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnSalva = nullptr;
    QPushButton *btnGuida = nullptr;

public slots:
    void printTestSheet();
    void save();

private:
    ProgramFolder m_folder;
    SheetFormat m_sheet;
    LabelCalibration m_calibration;
};

} // namespace tavolux
