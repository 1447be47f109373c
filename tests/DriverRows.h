#pragma once

// Grid rows that the storage driver exports and the tests compare with.
#include "workbook/WorkbookWriter.h"

#include <QList>
#include <QStringList>

inline QList<QStringList> exportRows(int count, const QString &tag)
{
    QList<QStringList> rows;
    for (int n = 0; n < count; ++n)
        rows << QStringList{tag + QStringLiteral(" %1").arg(n), QStringLiteral("Cliente"), QStringLiteral("Spett.le"),
                            QStringLiteral("Studio %1 & figli").arg(tag), QStringLiteral("Via Roma, %1").arg(n % 300),
                            QStringLiteral("20121 Milano"), QString(), QString(), QStringLiteral("nota <%1>").arg(n)};
    return rows;
}

// A workbook of those rows, nine columns.
inline tavolux::WorkbookSheet exportSheet(const QList<QStringList> &rows)
{
    tavolux::WorkbookSheet sheet;
    sheet.name = QStringLiteral("Archivio Indirizzi");
    for (int c = 0; c < 9; ++c)
        sheet.columns << tavolux::WorkbookColumn{QStringLiteral("Colonna %1").arg(c + 1), 100};
    sheet.rows = rows.size();
    sheet.cell = [rows](qsizetype row, int column) { return rows.at(row).value(column); };
    return sheet;
}

// The two passwords the driver's change loop sets in turn.
inline QString loopPassword(qint64 seq) { return seq % 2 ? QStringLiteral("seconda") : QStringLiteral("prima"); }
