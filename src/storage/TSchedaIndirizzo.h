#pragma once

#include "storage/TCampo250.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tavolux {

// The address card: 15 TCampo250 fields, 3765 bytes.
struct TSchedaIndirizzo
{
    enum Field {
        Nome, Tipo,
        Rigo01, Rigo02, Rigo03, Rigo04, Rigo05, Rigo06,
        Note,
        File01, File02, File03,
        Desc01, Desc02, Desc03,
        FieldCount
    };
    static constexpr int RecordSize = FieldCount * TCampo250::Size;

    std::array<QString, FieldCount> values;

    QString &operator[](int field) { return values[size_t(field)]; }
    const QString &operator[](int field) const { return values[size_t(field)]; }

    QByteArray toRecord() const;
    // Encodes the card into all RecordSize bytes at `record`.
    void writeRecord(char *record) const;
    static TSchedaIndirizzo fromRecord(const char *record);
};

} // namespace tavolux
