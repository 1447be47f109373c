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
    Mailing,   // "Etichette dall'archivio", the mailing window's
};

QList<HelpTopic> helpTopics();
QString helpTitle(HelpTopic topic);
QStringList helpParagraphs(HelpTopic topic);
// The paragraphs joined by two CR LF line breaks.
QString helpText(HelpTopic topic);

} // namespace tavolux
