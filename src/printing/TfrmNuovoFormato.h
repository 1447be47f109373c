#pragma once

#include "labelformats/LabelProduct.h"
#include "platform/ProgramFolder.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tavolux {

class SheetDrawing;

// "Nuovo formato": a label sheet of the user's own, typed in millimetres
// (page, columns and rows, label size, first label's offset, pitch), checked
// as it is typed and drawn to scale; "Salva" keeps it in Impostazioni.ini
// and stays disabled while the format has faults.
class TfrmNuovoFormato : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmNuovoFormato(const ProgramFolder &folder, QWidget *parent = nullptr);
    ~TfrmNuovoFormato() override;

    static QString instructionsText();
    static QString failureMessage();

    QLabel *imgIstruzioni = nullptr;
    QLineEdit *txtNome = nullptr;
    QComboBox *cboPagina = nullptr;
    QLineEdit *txtLarghezzaPagina = nullptr;
    QLineEdit *txtAltezzaPagina = nullptr;
    QSpinBox *txtColonne = nullptr;
    QSpinBox *txtRighe = nullptr;
    QLineEdit *txtLarghezza = nullptr;
    QLineEdit *txtAltezza = nullptr;
    QLineEdit *txtSinistro = nullptr;
    QLineEdit *txtSuperiore = nullptr;
    QLineEdit *txtPassoOrizzontale = nullptr;
    QLineEdit *txtPassoVerticale = nullptr;
    QLabel *lblErrori = nullptr;
    SheetDrawing *imgFoglio = nullptr;
    QPushButton *btnAnnulla = nullptr;
    QPushButton *btnGuida = nullptr;
    QPushButton *btnSalva = nullptr;

    // The format as typed, and what is wrong with it (empty when sound).
    LabelProduct format() const;
    QStringList faults() const;
    // The id of the format saved (after "Salva").
    QString savedId() const { return m_savedId; }

public slots:
    void save();

private:
    struct Paper
    {
        QString id;
        QString name;
        QSizeF mm;
    };
    void paperChosen(int index);
    void check();

    ProgramFolder m_folder;
    QList<Paper> m_papers; // the last one is "Altra misura"
    QStringList m_ownNames;
    QString m_savedId;
};

} // namespace tavolux
