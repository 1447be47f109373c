#include "report/Band.h"

namespace tavolux::report {

Band::~Band() = default;

ReportObject *Band::add(std::unique_ptr<ReportObject> object)
{
    m_objects.push_back(std::move(object));
    return m_objects.back().get();
}

} // namespace tavolux::report
