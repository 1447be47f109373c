#pragma once

// What the import tests share: files in the encodings they come in, the cards
// of an archive as one line each, and the texts the readers' results are
// compared as.
#include "cardimport/ImportFile.h"
#include "platform/ProgramFolder.h"
#include "storage/AddressArchive.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

namespace importfiles {

using namespace tavolux;

inline QByteArray utf16le(const QString &text, bool mark = true)
{
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return (mark ? QByteArray("\xFF\xFE", 2) : QByteArray()) + QByteArray(encoder.encode(text));
}

inline QByteArray utf16be(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf16BE);
    return QByteArray("\xFE\xFF", 2) + QByteArray(encoder.encode(text));
}

inline QByteArray cp1252(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x20AC)
            out.append('\x80');
        else if (u == 0x2013)
            out.append('\x96');
        else
            out.append(char(u)); // the fixtures use Latin-1 letters otherwise
    }
    return out;
}

// A card as "Nome|Tipo|Rigo01|...|Rigo06|Note".
inline QString cardLine(const TSchedaIndirizzo &card)
{
    QStringList fields;
    for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f)
        fields << card[f];
    return fields.join(QLatin1Char('|'));
}

inline QStringList cardLines(const QList<TSchedaIndirizzo> &cards)
{
    QStringList lines;
    for (const TSchedaIndirizzo &card : cards)
        lines << cardLine(card);
    return lines;
}

// The record a card line is stored as.
inline QByteArray recordOf(const QString &line)
{
    TSchedaIndirizzo card;
    const QStringList fields = line.split(QLatin1Char('|'));
    for (int f = 0; f < fields.size(); ++f)
        card[f] = fields.at(f);
    return card.toRecord();
}

inline QString rowsText(const TextRows &rows)
{
    QStringList lines;
    for (int r = 0; r < rows.size(); ++r)
        lines << rows.row(r).join(QLatin1Char('|'));
    return lines.join(QStringLiteral(" / "));
}

// Every card of the archive file, read back.
inline QStringList archiveCards(const QString &folder)
{
    QStringList cards;
    AddressArchive archive{ProgramFolder(folder)};
    if (!archive.open())
        return cards;
    archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
        cards << cardLine(card);
        return true;
    });
    return cards;
}

inline QString mappingText(const QStringList &header, const ColumnMapping &mapping)
{
    QStringList parts;
    for (int target = TSchedaIndirizzo::Nome; target <= TSchedaIndirizzo::Note; ++target) {
        QStringList columns;
        for (int c = 0; c < mapping.size(); ++c)
            if (mapping.at(c) == target)
                columns << header.at(c);
        if (!columns.isEmpty())
            parts << columnmapping::targetName(target) + QLatin1Char('=') + columns.join(QLatin1Char('+'));
    }
    return parts.join(QStringLiteral("; "));
}

// "ufficio 3, abitazione 1": the cards each address group gave.
inline QString groupsText(const ImportPlan &plan)
{
    QStringList parts;
    for (int g = 0; g < plan.groups.size(); ++g)
        parts << QStringLiteral("%1 %2").arg(columnmapping::groupName(plan.groups.at(g))).arg(plan.groupCards.at(g));
    return parts.join(QStringLiteral(", "));
}

inline QString repeated(const QString &piece, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

inline TSchedaIndirizzo existingCard()
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("Già in archivio");
    card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via Vecchia 1");
    return card;
}

inline QString fixture(const QString &name)
{
    return QStringLiteral(IMPORT_FIXTURES "/") + name;
}

// The bytes of a literal that holds NULs, without its terminating one.
template <qsizetype N>
inline QByteArray literalBytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace importfiles

using namespace importfiles;
