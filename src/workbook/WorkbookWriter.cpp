#include "workbook/WorkbookWriter.h"

#include "workbook/WorkbookCheck.h"
#include "workbook/XlsxLibrary.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>


namespace tavolux {

namespace {

WorkbookResult failed(const QString &message, const QString &remedy)
{
    return {false, message, remedy};
}

QString reinstallRemedy()
{
    return QStringLiteral("Si consiglia di reinstallare il programma.");
}

// Why the library failed, never in its own words.
WorkbookResult reason(lxw_error error)
{
    switch (error) {
    case LXW_NO_ERROR:
        return {};
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return failed(QStringLiteral("Memoria insufficiente per comporre il foglio di calcolo."),
                      QStringLiteral("Chiudere alcuni programmi e ripetere l'esportazione."));
    case LXW_ERROR_CREATING_XLSX_FILE:
        return failed(QStringLiteral("Non è possibile creare il file del foglio di calcolo."),
                      QStringLiteral("Accertarsi che la cartella del file e la cartella temporanea del sistema "
                                     "consentano la scrittura."));
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return scratchFailure();
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
        return failed(QStringLiteral("Non è stato possibile scrivere per intero il file del foglio di calcolo: "
                                     "il disco potrebbe essere pieno."),
                      freeDiskRemedy());
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return failed(QStringLiteral("Una cella supera i %1 caratteri che un foglio di calcolo ammette.")
                          .arg(kWorkbookMaxCell),
                      QStringLiteral("Abbreviare il testo della cella e ripetere l'esportazione."));
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
        return failed(QStringLiteral("Le righe sono più delle %1 che un foglio di calcolo ammette.").arg(kWorkbookMaxRows),
                      QStringLiteral("Esportare l'archivio in formato XLS."));
    default:
        return failed(QStringLiteral("Non è possibile comporre il foglio di calcolo (errore %1 della libreria "
                                     "per i file .xlsx).")
                          .arg(int(error)),
                      reinstallRemedy());
    }
}

// A spreadsheet program reads "_xHHHH_" in a cell as the character HHHH (the
// file's escape of control characters, which the library writes); a text
// that holds such a sequence itself gets its "_" escaped as "_x005F_".
QByteArray cellBytes(const QString &text)
{
    if (!text.contains(QLatin1String("_x"), Qt::CaseInsensitive))
        return text.toUtf8();
    static const QRegularExpression lookalike(QStringLiteral("_(?=[xX][0-9A-Fa-f]{4}_)"));
    QString escaped = text;
    escaped.replace(lookalike, QStringLiteral("_x005F_"));
    return escaped.toUtf8();
}

} // namespace

WorkbookResult scratchFailure()
{
    return failed(QStringLiteral("Non è possibile creare o leggere i file di lavoro temporanei."),
                  QStringLiteral("Accertarsi che la cartella temporanea del sistema consenta la scrittura e che il "
                                 "disco non sia pieno."));
}

QString freeDiskRemedy()
{
    return QStringLiteral("Liberare spazio sul disco e ripetere l'esportazione.");
}

WorkbookResult writeWorkbook(const QString &path, const WorkbookSheet &sheet, const QString &scratch)
{
    if (sheet.rows < 0 || sheet.rows > kWorkbookMaxRows)
        return reason(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE);
    if (sheet.columns.isEmpty() || sheet.columns.size() > LXW_COL_MAX)
        return reason(LXW_ERROR_PARAMETER_VALIDATION);
    const XlsxLibrary &x = xlsx();
    // The loader's own words (English, with the file's name) are not for the user.
    if (!x.error.isEmpty())
        return failed(QStringLiteral("Il componente del programma che crea i file .xlsx (la libreria "
                                     "libxlsxwriter) non è installato o non è utilizzabile."),
                      QStringLiteral("Si consiglia di reinstallare il programma o di installare la libreria "
                                     "libxlsxwriter."));

    QByteArray scratchName = QFile::encodeName(scratch);
    lxw_workbook_options options{};
    // Each row goes to a working file as soon as the next one starts, so that
    // memory stays flat however many rows there are; strings are then kept in
    // their cells ("inline strings") rather than in a shared table.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratch.isEmpty() ? nullptr : scratchName.data();
    lxw_workbook *book = x.workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        return reason(LXW_ERROR_CREATING_XLSX_FILE);

    lxw_error error = LXW_NO_ERROR;
    lxw_worksheet *worksheet = x.workbook_add_worksheet(book, sheet.name.toUtf8().constData());
    lxw_format *text = x.workbook_add_format(book);
    lxw_format *header = x.workbook_add_format(book);
    if (!worksheet || !text || !header) {
        error = worksheet ? LXW_ERROR_MEMORY_MALLOC_FAILED : LXW_ERROR_PARAMETER_VALIDATION;
    } else {
        // "@" is the text number format: a spreadsheet program keeps the cell as the
        // characters it holds, also when the user types into it later.
        x.format_set_num_format(text, "@");
        x.format_set_num_format(header, "@");
        x.format_set_bold(header);
    }

    const int columns = int(sheet.columns.size());
    // Widths are given in screen pixels. Excel measures a column in
    // characters of its default font (Calibri 11: 7 pixels a digit, plus 5
    // pixels of padding); worksheet_set_column_pixels() makes that conversion,
    // (pixels - 5) / 7 characters, so the column opens as wide as on screen.
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
        error = x.worksheet_set_column_pixels(worksheet, lxw_col_t(c), lxw_col_t(c),
                                            uint32_t(qMax(0, sheet.columns.at(c).pixels)), text);
    for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c)
        error = x.worksheet_write_string(worksheet, 0, lxw_col_t(c), cellBytes(sheet.columns.at(c).header).constData(),
                                       header);
    for (qsizetype r = 0; r < sheet.rows && error == LXW_NO_ERROR; ++r) {
        for (int c = 0; c < columns && error == LXW_NO_ERROR; ++c) {
            const QString value = sheet.cell ? sheet.cell(r, c) : QString();
            // An empty cell still carries the text format.
            error = value.isEmpty() ? x.worksheet_write_blank(worksheet, lxw_row_t(r + 1), lxw_col_t(c), text)
                                    : x.worksheet_write_string(worksheet, lxw_row_t(r + 1), lxw_col_t(c),
                                                             cellBytes(value).constData(), text);
        }
    }
    // Closing writes the file and frees the workbook, also after an error.
    const lxw_error closed = x.workbook_close(book);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return reason(error);
    // Read it back: a failed write to the library's working files leaves no
    // other trace.
    if (!checkWorkbook(path, sheet.rows + 1).isEmpty())
        return failed(QStringLiteral("Il file del foglio di calcolo è risultato incompleto: il disco potrebbe "
                                     "essere pieno."),
                      freeDiskRemedy());
    return {};
}

void setWorkbookLibrary(const QString &fileName)
{
    setXlsxLibraryFile(fileName);
}

WorkbookResult writeWorkbook(const QString &path, const QString &name, const QList<WorkbookColumn> &columns,
                             const QList<QStringList> &rows, const QString &scratch)
{
    WorkbookSheet sheet;
    sheet.name = name;
    sheet.columns = columns;
    sheet.rows = rows.size();
    sheet.cell = [&rows](qsizetype row, int column) { return rows.at(row).value(column); };
    return writeWorkbook(path, sheet, scratch);
}

} // namespace tavolux
