#pragma once

#include <QRectF>
#include <QString>

namespace tavolux::report {

// An object of a template, placed in units of 1/96 inch: on a page from the
// corner of the printable area, in a band from the band's corner.
class ReportObject
{
public:
    enum class Kind { Text, Shape, Band };

    virtual ~ReportObject() = default;

    Kind kind() const { return m_kind; }
    QString name() const { return m_name; }

    void setHeight(double units) { Height = units; }
    QRectF rect() const { return QRectF(Left, Top, Width, Height); }

    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    // A hidden object is laid out as if it were not there.
    bool Visible = true;

protected:
    ReportObject(Kind kind, const QString &name)
        : m_kind(kind), m_name(name)
    {
    }

private:
    Kind m_kind;
    QString m_name;
};

} // namespace tavolux::report
