// Arbitrary bytes as archive records: decoding never reads past a field,
// and decoding is stable under a write and a second read.
#include "cardlist/CardList.h"
#include "storage/TPaginaEtichette.h"
#include "storage/TSchedaIndirizzo.h"

#include <QByteArray>

#include <cstdint>

using namespace tavolux;

namespace {

QByteArray record(const uint8_t *data, size_t size, int length)
{
    // Exactly one record: the input repeated or cut, so every length byte is exercised.
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length && size > 0; ++i)
        bytes[i] = char(data[size_t(i) % size]);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray cardBytes = record(data, size, TSchedaIndirizzo::RecordSize);
    const TSchedaIndirizzo card = TSchedaIndirizzo::fromRecord(cardBytes.constData());
    const QByteArray rewritten = card.toRecord();
    if (rewritten.size() != TSchedaIndirizzo::RecordSize)
        __builtin_trap();
    if (TSchedaIndirizzo::fromRecord(rewritten.constData()).values != card.values)
        __builtin_trap();
    for (const QString &value : card.values)
        if (value.size() > 250)
            __builtin_trap();
    QByteArray line;
    if (cardlist::appendLineOfRecord(line, cardBytes.constData()) && line.size() > 84 + 250)
        __builtin_trap();

    const QByteArray pageBytes = record(data, size, TPaginaEtichette::RecordSize);
    const TPaginaEtichette page = TPaginaEtichette::fromRecord(pageBytes.constData());
    if (TPaginaEtichette::fromRecord(page.toRecord().constData()).values != page.values)
        __builtin_trap();
    return 0;
}
