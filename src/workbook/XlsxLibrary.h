#pragma once

#include <QString>

#include <unzip.h>
#include <xlsxwriter.h>

namespace tavolux {

// The functions of libxlsxwriter the writer calls, and of the minizip it
// brings, through which the check reads the written file back.
#define TAVOLUX_XLSX_FUNCTIONS(F)                                                                                   \
    F(workbook_new_opt)                                                                                            \
    F(workbook_add_worksheet)                                                                                      \
    F(workbook_add_format)                                                                                         \
    F(workbook_close)                                                                                              \
    F(format_set_num_format)                                                                                       \
    F(format_set_bold)                                                                                             \
    F(worksheet_set_column_pixels)                                                                                 \
    F(worksheet_write_string)                                                                                      \
    F(worksheet_write_blank)                                                                                       \
    F(unzOpen64)                                                                                                   \
    F(unzClose)                                                                                                    \
    F(unzGoToFirstFile)                                                                                            \
    F(unzGoToNextFile)                                                                                             \
    F(unzLocateFile)                                                                                               \
    F(unzGetCurrentFileInfo64)                                                                                     \
    F(unzOpenCurrentFile)                                                                                          \
    F(unzReadCurrentFile)                                                                                          \
    F(unzCloseCurrentFile)

// libxlsxwriter, loaded when the first workbook is written or read back: the
// program does not load it, nor the OpenSSL and minizip libraries it brings,
// at every start. minizip's functions are found among the libraries it brings.
struct XlsxLibrary
{
#define TAVOLUX_XLSX_POINTER(name) decltype(&::name) name = nullptr;
    TAVOLUX_XLSX_FUNCTIONS(TAVOLUX_XLSX_POINTER)
#undef TAVOLUX_XLSX_POINTER
    QString error; // why it is not there; empty once loaded
};

// The library, loaded at the first call (workbooks are written and read on one thread).
const XlsxLibrary &xlsx();
// The file it is loaded from: the one the program was built against, or
// another one named (a missing one, to see the failure); empty: the default.
QString xlsxLibraryFile();
void setXlsxLibraryFile(const QString &fileName);

} // namespace tavolux
