#pragma once

#include "labelformats/LabelFormatSettings.h"
#include "platform/ProgramFolder.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tavolux {

class LabelFormatModel;
class SheetDrawing;

// "Formato etichette": the label format of one use, chosen from the
// built-in sheet, the user's own formats and the installed catalogue, found
// by a search over brand, part, description and size; the chosen sheet is
// drawn to scale. OK keeps the choice in Impostazioni.ini.
class TfrmFormatoEtichette : public QDialog
{
    Q_OBJECT
public:
    TfrmFormatoEtichette(const ProgramFolder &folder, LabelFormatSettings::Use use, QWidget *parent = nullptr);
    ~TfrmFormatoEtichette() override;

    static QString instructionsText();
    static QString failureMessage();
    static QString removeQuestion(const QString &name);
    // "A4 (210 × 297 mm), 21 etichette di 63,5 × 38,1 mm ..." under the drawing.
    static QString describe(const LabelProduct &product);

    QLabel *imgIstruzioni = nullptr;
    QLineEdit *txtCerca = nullptr;
    QLabel *lblTrovati = nullptr;
    QTableView *lstFormati = nullptr;
    SheetDrawing *imgFoglio = nullptr;
    QLabel *lblFoglio = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnGuida = nullptr;
    QPushButton *btnNuovo = nullptr;
    QPushButton *btnElimina = nullptr;
    QPushButton *btnOK = nullptr;

    LabelFormatModel *model() const { return m_model; }
    // The format of the current row; nullptr where no row is current.
    const LabelProduct *current() const;
    // Makes the format of this id the current row, where it is shown.
    bool setCurrent(const QString &id);

public slots:
    // OK: the current format kept as the use's choice, and the dialog closed.
    void choose();
    void newFormat();
    void removeFormat();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Reads the formats again and makes `id` current.
    void reload(const QString &id);
    void search(const QString &text);
    void showCurrent();

    ProgramFolder m_folder;
    LabelFormatSettings::Use m_use;
    LabelFormatModel *m_model = nullptr;
};

} // namespace tavolux
