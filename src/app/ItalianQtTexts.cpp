#include "app/ItalianQtTexts.h"

#include <QHash>

namespace tavolux {

namespace {

struct Key
{
    QByteArray context;
    QByteArray source;
    bool operator==(const Key &other) const { return context == other.context && source == other.source; }
};

size_t qHash(const Key &key, size_t seed = 0)
{
    return ::qHash(key.context, seed) ^ ::qHash(key.source, seed);
}

const QHash<Key, QString> &texts()
{
    static const QHash<Key, QString> table{
        {{"QPrintSettingsOutput", "Pages"}, QStringLiteral("Pagine")},
        {{"QPrintSettingsOutput",
          "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
          "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9."},
         QStringLiteral("Indicare le pagine o gli intervalli separati da virgole; un intervallo è dato da due numeri "
                        "separati da un trattino. Ad esempio 3,5-7,9 stampa le pagine 3, 5, 6, 7 e 9.")},
        {{"QPrintSettingsOutput", "Double Sided Printing"}, QStringLiteral("Stampa fronte/retro")},
        {{"QPrintSettingsOutput", "Off"}, QStringLiteral("No")},
        {{"QPrintSettingsOutput", "Long side binding"}, QStringLiteral("Rilegatura sul lato lungo")},
        {{"QPrintSettingsOutput", "Short side binding"}, QStringLiteral("Rilegatura sul lato corto")},
        {{"QPrintPropertiesWidget", "Advanced"}, QStringLiteral("Avanzate")},
        {{"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them."},
         QStringLiteral("Alcune opzioni sono in conflitto tra loro: correggerle.")},
        {{"QAbstractFileIconProvider", "Folder"}, QStringLiteral("Cartella")},
        {{"QAbstractFileIconProvider", "File Folder"}, QStringLiteral("Cartella")},
        {{"QAbstractFileIconProvider", "Drive"}, QStringLiteral("Unità")},
    };
    return table;
}

} // namespace

QString ItalianQtTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText)
        return QString();
    return texts().value(Key{QByteArray(context), QByteArray(sourceText)});
}

} // namespace tavolux
