#pragma once

#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeLayout.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavolux {

class EnvelopeSettings;

// What the envelope dialog shows for one format: the margins as their boxes
// show them, the orientation, whether the sender prints, and the sides of
// the user's own format.
struct EnvelopeFormatChoice
{
    QString top = QStringLiteral("0");
    QString left = QStringLiteral("0");
    bool portrait = false;
    bool sender = true;
    int shortSide = 0;
    int longSide = 0;
};

// The envelope dialog's choices of every format, read from Impostazioni.ini
// when it opens and changed by the user, and what printing saves of them.
// The A4 page's margins and orientation are saved by the dialog itself, as
// they always were. Read on their own, the choices are how the format chosen
// last prints:
//
//     const EnvelopeChoices stored{EnvelopeSettings(folder)};
//     if (const auto placement = stored.placement())
//         page = layOutEnvelope(stored.effectiveFormat(), *placement, stored.senderToPrint(), lines);
class EnvelopeChoices
{
public:
    explicit EnvelopeChoices(const EnvelopeSettings &settings);

    // A margin as its value box shows it, in mm, read in the process's
    // number format; none when it is no number, not finite, or beyond a
    // metre (only a hand-edited file puts one there).
    static std::optional<double> marginMm(const QString &text);
    // How the format chosen prints: its orientation and margins; none when a
    // margin is no margin.
    std::optional<EnvelopePlacement> placement() const;

    // The format chosen last, the A4 page where none is stored.
    const EnvelopeFormat &format() const { return *m_format; }
    void setFormat(const EnvelopeFormat &format);
    // The format chosen with the sides of the user's own format applied.
    EnvelopeFormat effectiveFormat() const;

    EnvelopeFormatChoice &choice(const QString &formatKey) { return m_choices[formatKey]; }
    EnvelopeFormatChoice choice(const QString &formatKey) const { return m_choices.value(formatKey); }
    EnvelopeFormatChoice &current() { return m_choices[m_format->key]; }

    QStringList sender; // four lines, as typed
    // The sender's lines to print with the format chosen: none when it is off.
    QStringList senderToPrint() const;

    // Saves an envelope format's margins and orientation (the A4 page's are the
    // dialog's to save); false when the file cannot be written.
    bool saveTop(EnvelopeSettings &settings, QString *reason) const;
    bool saveLeft(EnvelopeSettings &settings, QString *reason) const;
    // Saves the rest: the sides of the user's own format when it is chosen,
    // and what differs from the file of the format chosen, the sender's lines
    // and whether the sender prints with this format. With the A4 page as
    // stored and the sender as stored, nothing.
    bool saveRest(EnvelopeSettings &settings, QString *reason) const;

private:
    const EnvelopeFormat *m_format = nullptr;
    QHash<QString, EnvelopeFormatChoice> m_choices;
    // As read, to write only what changed.
    QString m_storedFormat;
    QStringList m_storedSender;
    QHash<QString, bool> m_storedSwitch;
};

} // namespace tavolux
