#pragma once

#include "labelformats/LabelProduct.h"
#include "platform/ProgramFolder.h"

#include <QList>
#include <QString>

namespace tavolux {

// The label formats in Impostazioni.ini: the user's own formats, the format
// chosen for each use, the catalogue's folder and the calibration of each
// format. The built-in format keeps the section "Calibrazione Etichette".
// "63,5": millimetres as Impostazioni.ini and the format dialogs write
// them, with a decimal comma and at most two decimals.
QString millimetres(double mm);
// "63,5" or "63.5" (blanks around allowed) as a number; false when it is none.
bool readMillimetres(const QString &text, double *mm);

class LabelFormatSettings
{
public:
    // What a format is chosen for.
    enum class Use {
        LabelPages, // the label-page window's preview and print
        OneAddress, // the address window's sheet of one address
        Mailing,    // "Etichette dall'archivio"
    };

    // Section "Formato Etichette": the choice per use and the folder.
    static QString section() { return QStringLiteral("Formato Etichette"); }
    static QString useKey(Use use);
    static QString folderKey() { return QStringLiteral("Cartella catalogo"); }
    // Section "Etichette Proprie" holds "Numero"; each own format n (1 to
    // Numero) has a section "Etichette Proprie n".
    static QString ownSection() { return QStringLiteral("Etichette Proprie"); }

    // The path of Impostazioni.ini.
    explicit LabelFormatSettings(const QString &iniPath);
    // Impostazioni.ini of the program folder.
    explicit LabelFormatSettings(const ProgramFolder &folder);

    // The catalogue folder given by the user; empty when none.
    QString catalogueFolder() const;

    // The id stored for the use; empty when none is stored.
    QString chosenId(Use use) const;
    bool writeChosenId(Use use, const QString &id, QString *reason = nullptr);

    // The user's own formats as stored, each checked: damaged ones are left out.
    QList<LabelProduct> ownFormats() const;
    // Adds the format, or replaces the own format of the same name (part);
    // false, with *reason in Italian, when the file cannot be written or the
    // format does not pass checkLabelProduct().
    bool saveOwnFormat(const LabelProduct &format, QString *reason = nullptr);
    bool removeOwnFormat(const QString &name, QString *reason = nullptr);

    // The chosen format of a use: the own or catalogue format stored for it,
    // or the built-in one when nothing, or an id that is no longer there, is
    // stored. The catalogue is read (once) only for a catalogue id.
    LabelProduct chosen(Use use) const;
    // The format with this id among the built-in, own and catalogue ones.
    LabelProduct byId(const QString &id, bool *found = nullptr) const;
    // Every format offered: the built-in one, the own ones, the catalogue's.
    QList<LabelProduct> all() const;

    // The section of a format's calibration ("Calibrazione Etichette" for
    // the built-in one, "Calibrazione Etichette <id>" for the others).
    static QString calibrationSection(const QString &id);

private:
    QString m_path;
};

} // namespace tavolux
