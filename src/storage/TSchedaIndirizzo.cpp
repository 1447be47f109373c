#include "storage/TSchedaIndirizzo.h"

#include "storage/TCampo250.h"

namespace tavolux {

QByteArray TSchedaIndirizzo::toRecord() const
{
    QByteArray record(RecordSize, '\0');
    writeRecord(record.data());
    return record;
}

void TSchedaIndirizzo::writeRecord(char *record) const
{
    for (int i = 0; i < FieldCount; ++i)
        TCampo250::encode(values[size_t(i)], record + i * TCampo250::Size);
}

TSchedaIndirizzo TSchedaIndirizzo::fromRecord(const char *record)
{
    TSchedaIndirizzo card;
    for (int i = 0; i < FieldCount; ++i)
        card.values[size_t(i)] = TCampo250::decode(record + i * TCampo250::Size);
    return card;
}

} // namespace tavolux
