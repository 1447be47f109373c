#include "addresses/CardList.h"

#include "platform/TextUtil.h"

#include <algorithm>

namespace tavolux::cardlist {

namespace {

inline char16_t upperAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

QString column(const QString &value, int width)
{
    QString text = trimText(value);
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), QLatin1Char(' '));
}

} // namespace

QString listLine(const QString &nome, const QString &tipo, const QString &note)
{
    QString line;
    const QString trimmedNote = trimText(note);
    line.reserve(84 + trimmedNote.size());
    line += column(nome, 40);
    line += QLatin1String("  Tipo: ");
    line += column(tipo, 28);
    line += QLatin1String("  Note: ");
    line += trimmedNote;
    return line;
}

QString listLine(const TSchedaIndirizzo &card)
{
    return listLine(card[TSchedaIndirizzo::Nome], card[TSchedaIndirizzo::Tipo], card[TSchedaIndirizzo::Note]);
}

bool listLess(const QString &a, const QString &b)
{
    const char16_t *pa = reinterpret_cast<const char16_t *>(a.constData());
    const char16_t *pb = reinterpret_cast<const char16_t *>(b.constData());
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = upperAscii(pa[i]);
        const char16_t cb = upperAscii(pb[i]);
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

void sortLines(QStringList &lines)
{
    std::stable_sort(lines.begin(), lines.end(), listLess);
}

QString lowerAscii(const QString &text)
{
    QString out = text;
    char16_t *p = reinterpret_cast<char16_t *>(out.data());
    const char16_t *end = p + out.size();
    for (; p != end; ++p)
        if (*p >= u'A' && *p <= u'Z')
            *p = char16_t(*p + 32);
    return out;
}

int Search::findNext(const QStringList &loweredLines, int current, const QString &searchText)
{
    const QString key = lowerAscii(searchText);
    const int count = int(loweredLines.size());
    int found = -1;
    if (count > 0 && !key.isEmpty()) {
        if (current < 0 || current >= count)
            current = 0;
        const bool repeated = key == m_memory;
        // A new search tests line 0 first; a repeated one starts after the
        // current line and tests the current line last.
        const int first = repeated ? (current + 1) % count : 0;
        for (int i = 0; i < count; ++i) {
            const int line = (first + i) % count;
            if (loweredLines.at(line).contains(key)) {
                found = line;
                break;
            }
        }
    }
    m_memory = key;
    return found;
}

} // namespace tavolux::cardlist
