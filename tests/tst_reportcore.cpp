// The report engine's core on its own, with no widgets: a template is laid out
// into pages and painted, as a batch printer or another program would use it.
#include "report/PagePainter.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tavolux::report;

class TestReportCore : public QObject
{
    Q_OBJECT
private slots:
    void layOutAndPaint();
    void missingObjectIsAnError();
};

void TestReportCore::layOutAndPaint()
{
    Report report(QStringLiteral("Prova"));
    ReportPage &page = report.page();
    Shape *shape = page.addShape(QStringLiteral("Shape1"), QRectF(0, 0, mmToUnits(62), mmToUnits(32)));
    shape->Fill = QColor(0xFF, 0xFF, 0xE0);
    shape->Outline = shape->Fill;
    TextBox *line = page.addText(QStringLiteral("txtRigo01"), QRectF(mmToUnits(2), mmToUnits(2), mmToUnits(58.2), mmToUnits(3.5)));
    line->Font.pointSize = 7;
    line->WordWrap = false;
    line->setText(QStringLiteral("Via Roma, 1"));
    report.PrepareReport();
    QCOMPARE(report.preparedPages().size(), 1);
    const PreparedPage &prepared = report.preparedPages().first();
    QCOMPARE(prepared.texts().size(), 1);
    QCOMPARE(prepared.texts().first().text, QStringLiteral("Via Roma, 1"));
    // The label's background lies 10 mm from the paper's corner.
    QCOMPARE(prepared.rects(QStringLiteral("Shape1")).first().rect.topLeft(), QPointF(mmToUnits(10), mmToUnits(10)));

    // Painted at 1 pixel per unit: the yellow label and some dark text.
    QImage image(prepared.paper.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(prepared, painter);
    painter.end();
    QCOMPARE(image.pixelColor(int(mmToUnits(40)), int(mmToUnits(30))), QColor(0xFF, 0xFF, 0xE0));
    int dark = 0;
    for (int y = int(mmToUnits(12)); y < int(mmToUnits(15.5)); ++y)
        for (int x = int(mmToUnits(12)); x < int(mmToUnits(40)); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    QVERIFY(dark > 20);
}

void TestReportCore::missingObjectIsAnError()
{
    Report report(QStringLiteral("Prova"));
    QVERIFY(!report.text(QStringLiteral("nessuno")));
    QVERIFY(report.failed());
    QVERIFY(report.errorString().contains(QStringLiteral("nessuno")));
}

QTEST_MAIN(TestReportCore)
#include "tst_reportcore.moc"
