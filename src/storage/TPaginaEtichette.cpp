#include "storage/TPaginaEtichette.h"

#include "storage/TCampo250.h"

namespace tavolux {

QByteArray TPaginaEtichette::toRecord() const
{
    QByteArray record(RecordSize, '\0');
    for (int i = 0; i < FieldCount; ++i)
        TCampo250::encode(values[size_t(i)], record.data() + i * TCampo250::Size);
    return record;
}

TPaginaEtichette TPaginaEtichette::fromRecord(const char *record)
{
    TPaginaEtichette page;
    for (int i = 0; i < FieldCount; ++i)
        page.values[size_t(i)] = TCampo250::decode(record + i * TCampo250::Size);
    return page;
}

} // namespace tavolux
