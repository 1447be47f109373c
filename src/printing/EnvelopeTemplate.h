#pragma once

#include <QString>

#include <memory>

namespace tavolux {

struct EnvelopeFormat;

namespace report {
class Report;
}

// The envelope template "Indirizzo su Busta": six address lines on an A4
// page, 119 mm from the left and from 57 mm down, 5 mm apart, moved by the
// page's top and left margins.
class EnvelopeTemplate
{
public:
    static constexpr int kLines = 6;
    static constexpr int kSenderLines = 4;

    // "txtRigo01" to "txtRigo06"
    static QString lineName(int line);
    // "txtMittente01" to "txtMittente04"
    static QString senderLineName(int line);
    // The envelope's edge, a guide that only the preview shows.
    static QString outlineName() { return QStringLiteral("shpBusta"); }

    static QString name() { return QStringLiteral("Indirizzo su Busta"); }

    // The A4 page as designed; `title` is the preview's caption and the job's title.
    static std::unique_ptr<report::Report> create(const QString &title = name());
    // The template of a format: the A4 page's, on the format's paper, with
    // four sender lines in Arial 8 pt and, on an envelope, its outline.
    // fillEnvelope() places them.
    static std::unique_ptr<report::Report> create(const EnvelopeFormat &format, const QString &title = name());
};

} // namespace tavolux
