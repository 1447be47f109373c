#include "addresses/SpreadsheetFile.h"

#include "addresses/SpreadsheetWriter.h"
#include "platform/ScratchFolder.h"

#include <QFile>

namespace tavolux {

bool saveSpreadsheet(const QString &path, const QList<QStringList> &rows)
{
    return saveSpreadsheet(path, [&rows](const SpreadsheetSink &sink) { return writeSpreadsheet(rows, sink); }).ok();
}

FileSaveResult saveSpreadsheet(const QString &path, const std::function<bool(const SpreadsheetSink &)> &write)
{
    return saveFile(path, FileContent{write, -1});
}

QString workbookScratchPrefix()
{
    return QStringLiteral("tavolux-xlsx");
}

WorkbookResult saveWorkbook(const QString &path, const WorkbookSheet &sheet)
{
    // The library writes to a file name and does not report every failed
    // write to its working files, so the workbook is made apart and the file
    // in the program folder is only ever written by the saver above.
    const ScratchFolder scratch(workbookScratchPrefix());
    if (!scratch.isValid())
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare.")};
    const QString made = scratch.filePath(QStringLiteral("foglio.xlsx"));
    WorkbookResult result = writeWorkbook(made, sheet, scratch.path());
    if (!result.ok)
        return result;
    QFile source(made);
    if (!source.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare o leggere.")};

    const auto copy = [&source](const ByteSink &sink) {
        if (!source.seek(0))
            return false;
        QByteArray buffer(qsizetype(1) << 16, Qt::Uninitialized);
        for (;;) {
            const qint64 got = source.read(buffer.data(), buffer.size());
            if (got <= 0)
                return got == 0;
            if (!sink(buffer.constData(), got))
                return false;
        }
    };
    const FileSaveResult saved = saveFile(path, FileContent{copy, source.size()});
    if (saved.ok())
        return {};
    if (saved.failure == FileSaveResult::Failure::Source)
        return {false, QStringLiteral("I file di lavoro temporanei non si possono creare o leggere.")};
    return {false, saved.reason()};
}

} // namespace tavolux
