#include "workbook/XlsxLibrary.h"

#include <QLibrary>
#include <QStringList>

#include <optional>
#include <type_traits>

namespace tavolux {

namespace {

XlsxLibrary load(const QString &fileName)
{
    XlsxLibrary loaded;
    QLibrary file(fileName);
    if (!file.load()) {
        loaded.error = file.errorString();
        return loaded;
    }
    QStringList missing;
    auto resolve = [&](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(name));
        if (!function)
            missing << QLatin1String(name);
    };
#define TAVOLUX_XLSX_RESOLVE(name) resolve(loaded.name, #name);
    TAVOLUX_XLSX_FUNCTIONS(TAVOLUX_XLSX_RESOLVE)
#undef TAVOLUX_XLSX_RESOLVE
    if (!missing.isEmpty())
        loaded.error = QStringLiteral("mancano le funzioni %1").arg(missing.join(QStringLiteral(", ")));
    return loaded;
}

// The library file to load, and the library once loaded.
struct XlsxState
{
    QString fileName = QStringLiteral(TAVOLUX_XLSXWRITER);
    std::optional<XlsxLibrary> library;
};

XlsxState &xlsxState()
{
    static XlsxState state;
    return state;
}

} // namespace

const XlsxLibrary &xlsx()
{
    XlsxState &state = xlsxState();
    if (!state.library)
        state.library = load(state.fileName);
    return *state.library;
}

QString xlsxLibraryFile()
{
    return xlsxState().fileName;
}

void setXlsxLibraryFile(const QString &fileName)
{
    XlsxState &state = xlsxState();
    state.fileName = fileName.isEmpty() ? QStringLiteral(TAVOLUX_XLSXWRITER) : fileName;
    state.library.reset();
}

} // namespace tavolux
