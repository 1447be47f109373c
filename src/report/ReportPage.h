#pragma once

#include "report/Band.h"
#include "report/ReportObject.h"

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

namespace tavolux::report {

class Shape;
class TextBox;

enum class Orientation { Portrait, Landscape };

// The one page of a template: paper, orientation, margins and the objects on
// it. Objects on the page print on every prepared page; bands stack below.
class ReportPage
{
public:
    explicit ReportPage(const QString &name = QStringLiteral("Page1"));
    ~ReportPage();
    ReportPage(const ReportPage &) = delete;
    ReportPage &operator=(const ReportPage &) = delete;

    QString name() const { return m_name; }

    // Paper size in mm in the chosen orientation: landscape exchanges them.
    QSizeF paperSize() const;
    // The printable area in units from the paper's corner.
    QRectF printableArea() const;

    // Adds an object to the page, or to a band when one is given. Names are
    // unique in the template: a second object of the same name is refused,
    // nullptr is returned and errorString() says why.
    TextBox *addText(const QString &name, const QRectF &units, Band *band = nullptr);
    Shape *addShape(const QString &name, const QRectF &units, Band *band = nullptr);
    Band *addBand(const QString &name, Band::Type type, double heightUnits);

    ReportObject *find(const QString &name) const;
    // Why the last refused object was refused; empty when none was.
    QString errorString() const { return m_error; }

    const std::vector<std::unique_ptr<ReportObject>> &objects() const { return m_objects; }
    // The bands in printing order: report title, master data, footer.
    std::vector<const Band *> bands() const;

    double PaperWidth = 210;   // mm, as designed (portrait)
    double PaperHeight = 297;  // mm
    report::Orientation Orientation = Orientation::Portrait;
    double LeftMargin = 10;    // mm, any real value
    double TopMargin = 10;
    double RightMargin = 10;
    double BottomMargin = 10;
    // Moves everything the page prints, in mm: right and down when positive.
    // The margins, and so the printable area, stay where they are.
    double ShiftX = 0;
    double ShiftY = 0;

private:
    ReportObject *place(std::unique_ptr<ReportObject> object, Band *band);

    QString m_name;
    QString m_error;
    std::vector<std::unique_ptr<ReportObject>> m_objects;
    std::vector<std::unique_ptr<Band>> m_bands;
    // Objects and bands by name, for find(): filling a page looks up every
    // one of its objects.
    mutable QHash<QString, ReportObject *> m_byName;
};

} // namespace tavolux::report
