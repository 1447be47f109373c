#include "addresses/SpreadsheetFile.h"

#include "addresses/SpreadsheetWriter.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

namespace tavolux {

bool saveSpreadsheet(const QString &path, const QList<QStringList> &rows)
{
    return saveSpreadsheet(path, [&rows](const SpreadsheetSink &sink) { return writeSpreadsheet(rows, sink); });
}

bool saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write,
                     QFileDevice::FileError *error)
{
    // Written as it is made, unbuffered, so that a failed write is seen at
    // once and the old file stays.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const bool written = opened && write([&file](const char *data, qsizetype size) {
                             return file.write(data, size) == size;
                         });
    if (!written) {
        if (error)
            *error = !opened ? QFileDevice::OpenError
                             : file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error();
        file.cancelWriting();
        return false;
    }
    const bool committed = file.commit();
    if (error)
        *error = committed ? QFileDevice::NoError : file.error();
    return committed;
}

WorkbookResult saveWorkbook(const QString &path, const WorkbookSheet &sheet)
{
    // The library writes to a file name and does not report every failed
    // write to its working files, so the workbook is made apart and the file
    // in the program folder is only ever written by the saver above.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare.")};
    const QString made = scratch.filePath(QStringLiteral("foglio.xlsx"));
    WorkbookResult result = writeWorkbook(made, sheet, scratch.path());
    if (!result.ok)
        return result;
    QFile source(made);
    if (!source.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare o leggere.")};

    bool readFailed = false;
    QFileDevice::FileError error = QFileDevice::NoError;
    const bool saved = saveSpreadsheet(path, [&](const SpreadsheetSink &sink) {
        QByteArray buffer(qsizetype(1) << 16, Qt::Uninitialized);
        for (;;) {
            const qint64 got = source.read(buffer.data(), buffer.size());
            if (got < 0) {
                readFailed = true;
                return false;
            }
            if (got == 0)
                return true;
            if (!sink(buffer.constData(), got))
                return false;
        }
    }, &error);
    if (saved)
        return {};
    if (readFailed)
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare o leggere.")};
    switch (error) {
    case QFileDevice::ResourceError:
        return {false, QStringLiteral("Il disco è pieno.")};
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return {false, QStringLiteral("Il file non si può creare né sostituire: il file o la sua cartella sono protetti.")};
    case QFileDevice::RenameError:
        return {false, QStringLiteral("Il file esistente non si può sostituire.")};
    default:
        return {false, QStringLiteral("Il file non si è potuto scrivere per intero: il disco potrebbe essere pieno.")};
    }
}

} // namespace tavolux
