#pragma once

#include "report/ReportObject.h"

#include <memory>
#include <vector>

namespace tavolux::report {

class Shape;
class TextBox;

// A horizontal strip of a list report carrying objects placed from its own
// corner. Bands follow each other down the page in the order of their type:
// the report title once at the top of the first page, the master data once,
// then the footer. A band that allows splitting continues on the next page,
// cut between two lines of its text boxes.
class Band : public ReportObject
{
public:
    enum class Type { ReportTitle, MasterData, Footer };

    Band(const QString &name, Type type)
        : ReportObject(Kind::Band, name), m_type(type)
    {
    }
    ~Band() override;

    Type type() const { return m_type; }

    const std::vector<std::unique_ptr<ReportObject>> &objects() const { return m_objects; }
    // Takes the object; the report checks that its name is unique.
    ReportObject *add(std::unique_ptr<ReportObject> object);

    bool AllowSplit = false;

private:
    Type m_type;
    std::vector<std::unique_ptr<ReportObject>> m_objects;
};

} // namespace tavolux::report
