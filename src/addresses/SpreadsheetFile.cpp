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
        return scratchFailure();
    const QString made = scratch.filePath(QStringLiteral("foglio.xlsx"));
    WorkbookResult result = writeWorkbook(made, sheet, scratch.path());
    if (!result.ok)
        return result;
    QFile source(made);
    if (!source.open(QIODevice::ReadOnly))
        return scratchFailure();

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
    using Failure = FileSaveResult::Failure;
    switch (saved.failure) {
    case Failure::None:
        return {};
    case Failure::Source:
        return scratchFailure();
    case Failure::Protected:
    case Failure::NotReplaced:
        return {false, saved.reason(),
                QStringLiteral("Accertarsi che il file di Excel non sia già aperto e di possedere i privilegi di "
                               "scrittura nella cartella di installazione del programma.")};
    case Failure::NoRoom:
        return {false, saved.reason(), freeDiskRemedy()};
    case Failure::TooLarge:
        return {false, saved.reason(),
                QStringLiteral("Chiedere all'amministratore di sistema di aumentare la dimensione massima "
                               "consentita per i file.")};
    case Failure::Incomplete:
        break;
    }
    return {false, saved.reason(),
            QStringLiteral("Accertarsi che il disco del programma sia collegato e consenta la scrittura.")};
}

} // namespace tavolux
