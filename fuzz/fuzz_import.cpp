// Arbitrary bytes as a CSV or vCard file to import: reading never fails
// hard, and every card built from it is one the archive keeps unchanged
// (trimmed, no control characters inside, nothing cut when stored, a name),
// and a row written straight into its record gives the bytes of its card.
#include "cardimport/ImportFile.h"
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"
#include "storage/TCampo250.h"

#include <QByteArray>

#include <algorithm>
#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportTable table;
    if (importfile::parse(bytes, table))
        return 0;
    if (table.proposed.size() != table.columnCount())
        __builtin_trap();
    char field[TCampo250::Size];
    for (const ImportedCard &card : importfile::buildCards(table, table.proposed)) {
        if (card.card[TSchedaIndirizzo::Nome].isEmpty())
            __builtin_trap();
        for (int f = TSchedaIndirizzo::Nome; f <= TSchedaIndirizzo::Note; ++f) {
            const QString &value = card.card[f];
            if (trimText(value) != value)
                __builtin_trap();
            for (const QChar c : value)
                if (c.unicode() < 32)
                    __builtin_trap();
            TCampo250::encode(value, field);
            if (static_cast<unsigned char>(field[0]) != cp1252::encode(value).size())
                __builtin_trap();
        }
    }
    const cardbuilder::FieldColumns columns = cardbuilder::fieldColumns(table.proposed);
    QByteArray quick(TSchedaIndirizzo::RecordSize, '\0');
    QByteArray full(TSchedaIndirizzo::RecordSize, '\0');
    for (qsizetype r = table.firstDataRow(); r < table.rows.size(); ++r) {
        ImportedCard card;
        const bool gives = cardbuilder::build(table.rows.at(r), columns, card);
        bool givesCard = false;
        QString lost;
        if (cardbuilder::scanSimple(table.rows.at(r), columns, givesCard, lost)) {
            QString expected = card.lostCharacters;
            std::sort(lost.begin(), lost.end());
            std::sort(expected.begin(), expected.end());
            if (givesCard != gives || (gives && lost != expected))
                __builtin_trap();
        }
        if (gives && cardbuilder::encodeSimple(table.rows.at(r), columns, quick.data())) {
            card.card.writeRecord(full.data());
            if (quick != full)
                __builtin_trap();
        }
    }
    return 0;
}
