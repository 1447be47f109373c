#pragma once

#include "storage/TCampo250.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tavolux {

// The label page: 24 label names, then six lines label by label; 168
// TCampo250 fields, 42168 bytes. Slots and lines are 1-based.
struct TPaginaEtichette
{
    static constexpr int Slots = 24;
    static constexpr int Lines = 6;
    static constexpr int FieldCount = Slots + Slots * Lines;
    static constexpr int RecordSize = FieldCount * TCampo250::Size;

    std::array<QString, FieldCount> values;

    static constexpr int nameField(int slot) { return slot - 1; }
    static constexpr int lineField(int slot, int line) { return Slots + Lines * (slot - 1) + (line - 1); }

    QString &name(int slot) { return values[size_t(nameField(slot))]; }
    const QString &name(int slot) const { return values[size_t(nameField(slot))]; }
    QString &line(int slot, int line) { return values[size_t(lineField(slot, line))]; }
    const QString &line(int slot, int line) const { return values[size_t(lineField(slot, line))]; }

    QByteArray toRecord() const;
    static TPaginaEtichette fromRecord(const char *record);
};

} // namespace tavolux
