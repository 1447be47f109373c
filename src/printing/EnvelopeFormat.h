#pragma once

#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

namespace tavolux {

// What the envelope dialog prints on: the A4 page with the address at 119 mm
// and 57 mm, or an envelope of its own size, with the address in its lower
// right part.
struct EnvelopeFormat
{
    enum class Kind { Page, Envelope, Own };

    Kind kind = Kind::Page;
    QString key;     // its name in Impostazioni.ini
    QString caption; // as the dialog lists it
    QSizeF sizeMm;   // short side, long side

    bool isPage() const { return kind == Kind::Page; }

    // Where the first address line starts, in mm from the corner of the page
    // in its orientation, before the margins move it: 119 and 57 mm on the A4
    // page, half the width and 55 % of the height on an envelope.
    QPointF addressMm(const QSizeF &pageMm) const;
};

namespace envelopeFormats {

// The sides a format of the user's own may have, in whole mm.
constexpr int kOwnMinMm = 50;
constexpr int kOwnMaxMm = 500;

// The formats in the order the dialog lists them: the A4 page first, the
// user's own last (with its sides as designed).
const QList<EnvelopeFormat> &all();
// The A4 page.
const EnvelopeFormat &page();
// The format of that key, matched without regard to case; nullptr when none.
const EnvelopeFormat *find(const QString &key);
// The user's own format with these sides, each kept within the limits.
EnvelopeFormat own(int shortSideMm, int longSideMm);

} // namespace envelopeFormats

} // namespace tavolux
