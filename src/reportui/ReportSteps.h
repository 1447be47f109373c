#pragma once

class QWidget;

namespace tavolux::report {

class Report;

// The modal preview of the template's prepared pages (prepared first when
// nobody did); returns when it is closed.
void ShowReport(Report &report, QWidget *parent = nullptr);
// The print dialog, then the prepared pages on the chosen printer. Returns
// whether anything was printed: false on Cancel, and false with the report's
// errorString() set when the printer failed.
bool Print(Report &report, QWidget *parent = nullptr);
// The preview's print button: Print, with a failure shown in the program's
// error box with its own message.
bool printFromPreview(Report &report, QWidget *parent);

} // namespace tavolux::report
