#pragma once

#include "labelformats/LabelFormatSettings.h"
#include "platform/ProgramFolder.h"
#include "printing/LabelSheetOptions.h"
#include "printing/MailingLayout.h"
#include "printing/SheetFormat.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace tavolux {

namespace report {
class PageSequence;
class ReportObject;
class Report;
class TextBox;
struct PreparedPage;
}

// A whole mailing on sheets of labels: the cards' lines in their order, each
// card on `copies` labels next to each other, from the options' first label
// of the first sheet. Every label prints as a label page's slot does, with
// the printer's calibration. The sheets are laid out one at a time, as the
// preview shows them and the printer prints them: never all at once.
class LabelMailing
{
public:
    // Line `line` (1-based) of card `card` (0-based, in the mailing's order).
    using LineSource = std::function<QString(qint64 card, int line)>;

    // With a program folder, the calibration and "Calibrazione..." as on the
    // other label sheets; the preview and the print dialog also offer the
    // first label. `title` is the preview's caption and the job's title.
    LabelMailing(const SheetFormat &format, const QString &title, const ProgramFolder *folder = nullptr,
                 bool startControl = true);

    // The sheet format chosen for a use in the folder's settings.
    static SheetFormat chosenFormat(const ProgramFolder &folder, LabelFormatSettings::Use use);
    // The print of the format chosen for a use in the folder's settings;
    // nullptr where that is the built-in sheet, which prints as it always has.
    static std::unique_ptr<LabelMailing> forChosenFormat(const ProgramFolder &folder, LabelFormatSettings::Use use,
                                                         const QString &title, bool startControl);
    ~LabelMailing();
    LabelMailing(const LabelMailing &) = delete;
    LabelMailing &operator=(const LabelMailing &) = delete;

    void setCards(qint64 count, LineSource lines);
    // One sheet whose labels, from the first one on, all carry `lines` as
    // card 0 (the sheet of one address).
    void setSheetOf(std::function<QString(int line)> lines);
    void setCopies(int copies) { m_copies = copies; }
    LabelSheetOptions &options() { return m_options; }
    const SheetFormat &format() const { return m_format; }

    MailingLayout layout() const;
    report::Report &document() { return *m_document; }

    // The sheets as they stand, laid out when asked for; they read this
    // mailing, which must outlive them.
    report::PageSequence sheets();

    // The preview of all sheets; the print dialog, then all sheets as one
    // job. A failure shows its own message in the program's error box.
    void preview(QWidget *parent);
    bool print(QWidget *parent);

private:
    report::PreparedPage layOutSheet(const MailingLayout &layout, int sheet);

    SheetFormat m_format;
    std::unique_ptr<report::Report> m_document;
    LabelSheetOptions m_options;
    qint64 m_count = 0;
    bool m_fillSheet = false;
    LineSource m_lines;
    int m_copies = 1;
    // The template's objects, looked up once: each label's background and lines.
    std::vector<report::ReportObject *> m_backgrounds;
    std::vector<report::TextBox *> m_boxes;
};

} // namespace tavolux
