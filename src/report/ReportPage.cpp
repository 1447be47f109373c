#include "report/ReportPage.h"

#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

#include <algorithm>

namespace tavolux::report {

ReportPage::ReportPage(const QString &name)
    : m_name(name)
{
}

ReportPage::~ReportPage() = default;

QSizeF ReportPage::paperSize() const
{
    const double shortSide = std::min(PaperWidth, PaperHeight);
    const double longSide = std::max(PaperWidth, PaperHeight);
    if (Orientation == Orientation::Landscape)
        return QSizeF(longSide, shortSide);
    return QSizeF(shortSide, longSide);
}

QRectF ReportPage::printableArea() const
{
    const QSizeF paper = paperSize();
    return QRectF(mmToUnits(LeftMargin), mmToUnits(TopMargin),
                  mmToUnits(paper.width() - LeftMargin - RightMargin),
                  mmToUnits(paper.height() - TopMargin - BottomMargin));
}

ReportObject *ReportPage::place(std::unique_ptr<ReportObject> object, Band *band)
{
    if (find(object->name())) {
        m_error = QStringLiteral("Attenzione: il modello di stampa contiene già un oggetto di nome %1.\r\n\r\nSi consiglia di reinstallare il software.").arg(object->name());
        return nullptr;
    }
    const QString name = object->name();
    ReportObject *placed = nullptr;
    if (band) {
        placed = band->add(std::move(object));
    } else {
        m_objects.push_back(std::move(object));
        placed = m_objects.back().get();
    }
    if (placed)
        m_byName.insert(name, placed);
    return placed;
}

TextBox *ReportPage::addText(const QString &name, const QRectF &units, Band *band)
{
    auto box = std::make_unique<TextBox>(name);
    box->Left = units.left();
    box->Top = units.top();
    box->Width = units.width();
    box->Height = units.height();
    return static_cast<TextBox *>(place(std::move(box), band));
}

Shape *ReportPage::addShape(const QString &name, const QRectF &units, Band *band)
{
    auto shape = std::make_unique<Shape>(name);
    shape->Left = units.left();
    shape->Top = units.top();
    shape->Width = units.width();
    shape->Height = units.height();
    return static_cast<Shape *>(place(std::move(shape), band));
}

Band *ReportPage::addBand(const QString &name, Band::Type type, double heightUnits)
{
    if (find(name)) {
        m_error = QStringLiteral("Attenzione: il modello di stampa contiene già un oggetto di nome %1.\r\n\r\nSi consiglia di reinstallare il software.").arg(name);
        return nullptr;
    }
    auto band = std::make_unique<Band>(name, type);
    band->Width = printableArea().width();
    band->Height = heightUnits;
    m_bands.push_back(std::move(band));
    m_byName.insert(name, m_bands.back().get());
    return m_bands.back().get();
}

ReportObject *ReportPage::find(const QString &name) const
{
    if (ReportObject *known = m_byName.value(name))
        return known;
    // Not placed through this page (added to a band directly): searched.
    auto found = [&]() -> ReportObject * {
        for (const auto &object : m_objects)
            if (object->name() == name)
                return object.get();
        for (const auto &band : m_bands) {
            if (band->name() == name)
                return band.get();
            for (const auto &object : band->objects())
                if (object->name() == name)
                    return object.get();
        }
        return nullptr;
    }();
    if (found)
        m_byName.insert(name, found);
    return found;
}

std::vector<const Band *> ReportPage::bands() const
{
    std::vector<const Band *> ordered;
    for (const auto &band : m_bands)
        ordered.push_back(band.get());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Band *a, const Band *b) { return int(a->type()) < int(b->type()); });
    return ordered;
}

} // namespace tavolux::report
