#include "addresses/SpreadsheetFile.h"

#include "addresses/SpreadsheetWriter.h"

#include <QSaveFile>

namespace tavolux {

bool saveSpreadsheet(const QString &path, const QList<QStringList> &rows)
{
    return saveSpreadsheet(path, [&rows](const SpreadsheetSink &sink) { return writeSpreadsheet(rows, sink); });
}

bool saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write)
{
    // Written as it is made, unbuffered, so that a failed write is seen at
    // once and the old file stays.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
                         && write([&file](const char *data, qsizetype size) {
                                return file.write(data, size) == size;
                            });
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tavolux
