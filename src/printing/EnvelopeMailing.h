#pragma once

#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeLayout.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace tavolux {

class EnvelopeChoices;

namespace report {
class PageSequence;
class Report;
}

// A whole mailing on envelopes: one envelope for each card, in the cards'
// order, laid out as the envelope dialog lays its one out (format, paper,
// orientation, margins and sender as it keeps them), all printed as one
// job. The envelopes are laid out one at a time, as the preview shows them
// and the printer prints them.
class EnvelopeMailing
{
public:
    // Line `line` (1-based) of card `card` (0-based, in the mailing's order).
    using LineSource = std::function<QString(qint64 card, int line)>;

    // `title` is the preview's caption and the job's title.
    explicit EnvelopeMailing(const QString &title);
    ~EnvelopeMailing();
    EnvelopeMailing(const EnvelopeMailing &) = delete;
    EnvelopeMailing &operator=(const EnvelopeMailing &) = delete;

    // How the envelopes print: the choices' format, placement and sender.
    // False (and nothing changes) when a margin of the format is no number.
    bool setChoices(const EnvelopeChoices &choices);
    void setCards(qint64 count, LineSource lines);

    const EnvelopeFormat &format() const { return m_format; }
    const EnvelopePlacement &placement() const { return m_placement; }
    const QStringList &sender() const { return m_sender; }
    report::Report &document() { return *m_document; }

    // The envelopes as they stand, laid out when asked for; they read this
    // mailing, which must outlive them.
    report::PageSequence envelopes();

    // The preview of all envelopes; the print dialog, then all envelopes as
    // one job. A failure shows its own message in the program's error box.
    void preview(QWidget *parent);
    bool print(QWidget *parent);

private:
    QString m_title;
    EnvelopeFormat m_format;
    EnvelopePlacement m_placement;
    QStringList m_sender;
    std::unique_ptr<report::Report> m_document;
    qint64 m_count = 0;
    LineSource m_lines;
};

} // namespace tavolux
