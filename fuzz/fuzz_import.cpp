// Arbitrary bytes as a CSV or vCard file to import: reading never fails
// hard, every row gives a card or counts as skipped, and every card is one the
// archive keeps unchanged (a name, trimmed, no control characters inside, at
// most 250 bytes a field, the same bytes when its text is stored again).
#include "cardimport/ImportFile.h"
#include "platform/Cp1252.h"
#include "platform/TextUtil.h"
#include "storage/TCampo250.h"

#include <QByteArray>

#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ImportTable table;
    if (importfile::parse(bytes, table))
        return 0;
    if (table.proposed.size() != table.columnCount() || table.roles.size() != table.columnCount())
        __builtin_trap();
    const ImportPlan plan = importfile::plan(table, table.proposed);
    if (plan.cards + plan.skippedRows != table.dataRowCount() || plan.lostCharacters.contains(QChar(0xFFFD)))
        __builtin_trap();
    const QByteArray records = plan.records.join();
    qsizetype offset = 0;
    char field[TCampo250::Size];
    for (qint64 c = 0; c < plan.cards; ++c) {
        for (int f = 0; f < CardBuilder::Fields; ++f) {
            if (offset >= records.size())
                __builtin_trap();
            const int length = static_cast<unsigned char>(records.at(offset));
            const QByteArray stored = records.mid(offset + 1, length);
            offset += 1 + length;
            if (length > TCampo250::MaxText || stored.size() != length || (f == 0 && length == 0))
                __builtin_trap();
            const QString value = cp1252::decode(stored);
            if (trimText(value) != value)
                __builtin_trap();
            for (const QChar ch : value)
                if (ch.unicode() < 32)
                    __builtin_trap();
            TCampo250::encode(value, field);
            if (QByteArray(field + 1, static_cast<unsigned char>(field[0])) != stored)
                __builtin_trap();
        }
    }
    if (offset != records.size())
        __builtin_trap();
    return 0;
}
