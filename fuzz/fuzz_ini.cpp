// Arbitrary bytes as an INI file: the lookup never crashes and a found value
// is trimmed, or is what stood between a pair of quotes. The first byte picks
// the section and key to look up.
#include "platform/IniFile.h"
#include "platform/TextUtil.h"

#include <QByteArray>

#include <cstdint>

using namespace tavolux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    static const char *const sections[] = {"Accesso", "Margini Busta", "Stampa Busta", ""};
    static const char *const keys[] = {"Valore", "Sinistro", "Superiore", "Orientamento"};
    const int pick = size > 0 ? data[0] : 0;
    const QString value = IniFile::valueIn(content, QLatin1String(sections[pick % 4]), QLatin1String(keys[(pick / 4) % 4]));
    if (value != trimText(value)) {
        const QString text = QString::fromLatin1(content);
        if (!text.contains(QLatin1Char('"') + value + QLatin1Char('"'))
            && !text.contains(QLatin1Char('\'') + value + QLatin1Char('\'')))
            __builtin_trap();
    }
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        __builtin_trap();
    return 0;
}
