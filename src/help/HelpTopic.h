#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tavolux {

// The program's help topics, each a title and a text of paragraphs.
enum class HelpTopic {
    General,   // "Uno sguardo a Tavolux", the launcher's
    Addresses, // "App Archivio Indirizzi", the address archive window's
    Labels,    // "App Gestione Etichette", the label-page window's
    Export,    // "Esportazione archivio indirizzi in Excel", the export window's
    Import,        // cards from a CSV or vCard file, the card import window's
    Workbook,      // the .xlsx export
    Envelopes,     // envelope formats, the sender and the preview, the envelope dialog's
    LineFit,       // the marks of lines that will be cut in print
    StartLabel,    // "Inizia dall'etichetta"
    Calibration,   // the calibration and the test sheet, the calibration window's
    Shortcuts,     // every key of every window
    ProgramFolder, // what the program folder holds
    SharedFolder,  // one folder for several copies of the program
    Mailing,   // "Etichette dall'archivio", the mailing window's
    LabelFormats, // label sheets of any make and of one's own, the format dialogs'
};

// Every topic, in the order of the help document.
QList<HelpTopic> helpTopics();
QString helpTitle(HelpTopic topic);
QStringList helpParagraphs(HelpTopic topic);
// The paragraphs joined by two CR LF line breaks.
QString helpText(HelpTopic topic);

} // namespace tavolux
