#pragma once

#include <QString>

#include <memory>

namespace tavolux {

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

    // "txtRigo01" to "txtRigo06"
    static QString lineName(int line);

    static std::unique_ptr<report::Report> create();
};

} // namespace tavolux
