#pragma once

#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

namespace tavolux {

class EnvelopeChoices;

namespace report {
class Report;
}

// Prints the six address lines of the card shown on an envelope, moved by a
// top and a left margin in mm and in the chosen orientation. The margins and
// the orientation live in Impostazioni.ini and are saved when printing.
// Below those controls: the format (the A4 page, as designed, or an envelope
// of its own size, each with margins and orientation of its own), the
// sender and the preview. Opened for a mailing's envelopes, it prints
// nothing: "Salva" keeps the settings the mailing then prints with.
class TfrmStampaBusta : public QDialog
{
    Q_OBJECT
public:
    // The six address lines as the address window shows them.
    using LinesSource = std::function<QStringList()>;
    enum class Purpose { PrintCard, Settings };

    TfrmStampaBusta(const ProgramFolder &folder, LinesSource lines, QWidget *parent = nullptr,
                    Purpose purpose = Purpose::PrintCard);
    ~TfrmStampaBusta() override;

    static QString failureMessage();
    static QString settingsFailureMessage();

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

    // The controls above, in the 498 x 470 they are designed in.
    QWidget *panStampa = nullptr;
    QGroupBox *panBusta = nullptr;
    QComboBox *cboFormato = nullptr;
    QSpinBox *txtLatoCorto = nullptr;
    QSpinBox *txtLatoLungo = nullptr;
    QPushButton *btnAnteprima = nullptr;
    QPushButton *btnGuida = nullptr;
    QGroupBox *panMittente = nullptr;
    QCheckBox *chkMittente = nullptr;
    std::array<QLineEdit *, 4> txtMittente{}; // "txtMittente01" to "txtMittente04"

    // The template of the format chosen, as designed.
    std::unique_ptr<report::Report> repModulo;

    static QString previewFailureMessage();

public slots:
    void print();
    void preview();
    // The settings saved as printing saves them, without printing.
    void save();

private:
    QWidget *envelopeControls();
    void chooseFormat(int index);
    // The controls' values into the choices of the format shown, and back.
    void keepShown();
    void showChoice();
    // Orientation, margins, sender and lines into repModulo; false when a
    // margin is no number or a box is missing.
    bool fill();
    void load();
    // The two save steps of printing; each is false when the file cannot be
    // written, and m_saveFailure then says why.
    bool applyTop();
    bool applyLeft();
    // Steps 2 to 8 of printing; false at the first that fails.
    bool printSteps();
    bool saveSteps();
    QString checkedOrientation() const;

    ProgramFolder m_folder;
    LinesSource m_lines;
    Purpose m_purpose;
    QString m_saveFailure;
    std::unique_ptr<EnvelopeChoices> m_choices;
};

} // namespace tavolux
