#include "printing/ListReportTemplate.h"

#include "report/Band.h"
#include "report/Report.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "ui/Look.h"

namespace tavolux {

namespace {

const QColor kSlateGray(0x70, 0x80, 0x90);

QRectF mm(double left, double top, double width, double height)
{
    return QRectF(report::mmToUnits(left), report::mmToUnits(top), report::mmToUnits(width),
                  report::mmToUnits(height));
}

report::TextBox *strip(report::ReportPage &page, const char *name, const QRectF &rect, report::Band *band,
                       double points, const QString &text)
{
    report::TextBox *box = page.addText(QLatin1String(name), rect, band);
    if (!box) // names are unique: never refused
        return nullptr;
    box->Font = report::TextFont{ui::kTextFace, points, true};
    box->FontColor = Qt::white;
    box->Fill = kSlateGray;
    box->HAlign = report::TextBox::Align::Center;
    box->setText(text);
    return box;
}

} // namespace

std::unique_ptr<report::Report> ListReportTemplate::create()
{
    auto document = std::make_unique<report::Report>(QStringLiteral("Riepilogo dati"));
    report::ReportPage &page = document->page();
    page.PaperWidth = 210;
    page.PaperHeight = 297;
    page.Orientation = report::Orientation::Landscape;
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 10;

    report::Band *title = page.addBand(QStringLiteral("ReportTitle"), report::Band::Type::ReportTitle,
                                       report::mmToUnits(8));
    strip(page, "txtTitolo", mm(2, 1, 273, 5), title, 9, QStringLiteral("Riepilogo"));

    report::Band *data = page.addBand(QStringLiteral("MasterData"), report::Band::Type::MasterData,
                                      report::mmToUnits(28));
    data->AllowSplit = true;
    if (report::TextBox *list = page.addText(QStringLiteral("txtRiepilogo"), mm(3, 0, 273, 27), data)) {
        list->Font = report::TextFont{QStringLiteral("Courier New"), 8};
        list->FontColor = Qt::black;
        list->WordWrap = false;
        list->LinePitch = kLineHeight;
    }

    report::Band *footer = page.addBand(QStringLiteral("Footer"), report::Band::Type::Footer, report::mmToUnits(8));
    strip(page, "txtPagina", mm(3, 2, 272, 5), footer, 8, QStringLiteral("Stampa eseguita in data [DATE]"));
    return document;
}

bool ListReportTemplate::fill(report::Report &document, const QStringList &lines)
{
    report::TextBox *title = document.text(QStringLiteral("txtTitolo"));
    if (!title)
        return false;
    title->setText(QStringLiteral("Riepilogo etichette in archivio"));
    report::TextBox *list = document.text(QStringLiteral("txtRiepilogo"));
    if (!list)
        return false;
    list->clearLines();
    for (const QString &line : lines)
        list->addLine(line);
    const double height = list->Lines.size() * kLineHeight;
    list->setHeight(height);
    report::Band *data = document.band(QStringLiteral("MasterData"));
    if (!data)
        return false;
    data->setHeight(height + 10);
    return true;
}

} // namespace tavolux
