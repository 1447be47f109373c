#pragma once

#include "storage/TSchedaIndirizzo.h"

#include <QString>
#include <QStringList>

namespace tavolux::cardlist {

// The list line of a card: name in 40 columns, "  Tipo: ", type in 28
// columns, "  Note: ", then the whole note. Values are trimmed first.
QString listLine(const QString &nome, const QString &tipo, const QString &note);
QString listLine(const TSchedaIndirizzo &card);

// The list order: character codes, with a-z taken as A-Z; a prefix comes first.
bool listLess(const QString &a, const QString &b);
// Sorts in list order; equal lines keep their order, side by side.
void sortLines(QStringList &lines);

// Lowers A-Z only; every other character stays as it is.
QString lowerAscii(const QString &text);

// Find-next over the list lines, with a memory of the last key.
class Search
{
public:
    // Lines given already lowered (lowerAscii). Returns the line that becomes
    // current, or -1 when nothing matches (the current line then stays).
    // `current` is the current line (-1: none, taken as line 0). The key is
    // stored in the memory whether or not a line matched.
    int findNext(const QStringList &loweredLines, int current, const QString &searchText);

    QString memory() const { return m_memory; }
    void clear() { m_memory.clear(); }

private:
    QString m_memory;
};

} // namespace tavolux::cardlist
