#pragma once

// What the import tests share: files in the encodings they come in, and the
// cards of an archive as one line each.
#include "platform/ProgramFolder.h"
#include "storage/AddressArchive.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

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
inline QString cardLine(const tavolux::TSchedaIndirizzo &card)
{
    QStringList fields;
    for (int f = tavolux::TSchedaIndirizzo::Nome; f <= tavolux::TSchedaIndirizzo::Note; ++f)
        fields << card[f];
    return fields.join(QLatin1Char('|'));
}

// Every card of the archive file, read back.
inline QStringList archiveCards(const QString &folder)
{
    QStringList cards;
    tavolux::AddressArchive archive{tavolux::ProgramFolder(folder)};
    if (!archive.open())
        return cards;
    archive.readAll([&](qint64, const tavolux::TSchedaIndirizzo &card) {
        cards << cardLine(card);
        return true;
    });
    return cards;
}

inline tavolux::TSchedaIndirizzo existingCard()
{
    tavolux::TSchedaIndirizzo card;
    card[tavolux::TSchedaIndirizzo::Nome] = QStringLiteral("Già in archivio");
    card[tavolux::TSchedaIndirizzo::Rigo01] = QStringLiteral("Via Vecchia 1");
    return card;
}
