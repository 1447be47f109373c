// Arbitrary bytes as list lines and a search key: the sorted list is in list
// order, and a line that "Trova" finds contains the key.
#include "cardlist/CardList.h"
#include "platform/Cp1252.h"

#include <QByteArray>
#include <QList>

#include <cstdint>

using namespace tavolux;
using namespace tavolux::cardlist;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> parts = input.split('\n');
    const QByteArray key = parts.takeFirst();
    CardLines lines;
    for (const QByteArray &part : parts) {
        // A line as the archive can hold it: a card's three fields.
        const QList<QByteArray> fields = part.split('\t');
        QByteArray line;
        appendLineBytes(line, fields.value(0), fields.value(1), fields.value(2));
        lines.append(line);
    }
    lines.sort();
    for (int i = 1; i < lines.size(); ++i)
        if (listLess(lines.line(i), lines.line(i - 1)))
            __builtin_trap();
    Search search;
    const QString text = cp1252::decode(key);
    for (int current = -1; current <= lines.size(); ++current) {
        const int found = search.findNext(lines, current, text);
        if (found >= 0 && !lowerAscii(lines.line(found)).contains(lowerAscii(text)))
            __builtin_trap();
        if (found < -1 || found >= lines.size())
            __builtin_trap();
    }
    return 0;
}
