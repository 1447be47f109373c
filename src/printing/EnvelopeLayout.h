#pragma once

#include "report/PreparedPage.h"
#include "report/ReportPage.h"

#include <QStringList>

namespace tavolux {

struct EnvelopeFormat;

namespace report {
class Report;
}

// How one format prints: the orientation the envelope is fed in and the
// margins that move the address, in mm.
struct EnvelopePlacement
{
    report::Orientation orientation = report::Orientation::Portrait;
    double topMm = 0;
    double leftMm = 0;
};

namespace envelopeLayout {

// The sender: up to four lines 10 mm from the top and left edges of the
// page, 4 mm apart, in boxes of 90 x 3.6 mm; the margins do not move it.
constexpr double kSenderMm = 10;
constexpr double kSenderPitchMm = 4;
constexpr double kSenderWidthMm = 90;
constexpr double kSenderHeightMm = 3.6;
constexpr double kSenderPointSize = 8;

} // namespace envelopeLayout

// Sets a template made by EnvelopeTemplate::create(format) up for one
// envelope: the format's paper in the placement's orientation, the margins,
// the six address lines (trimmed; on an envelope at the format's place) and
// the sender's lines (trimmed; none when "sender" is empty). False when the
// template lacks a box it needs.
bool fillEnvelope(report::Report &document, const EnvelopeFormat &format, const EnvelopePlacement &placement,
                  const QStringList &sender, const QStringList &lines);

// One envelope laid out, as the envelope dialog prints it: a page of its
// own for each card of a mailing, all printed as one job.
report::PreparedPage layOutEnvelope(const EnvelopeFormat &format, const EnvelopePlacement &placement,
                                    const QStringList &sender, const QStringList &lines);

} // namespace tavolux
