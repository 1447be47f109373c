// The report engine's core on its own, with no widgets: a template is laid out
// into pages and painted, as a batch printer or another program would use it.
#include "report/PagePainter.h"
#include "report/Report.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tavolux::report;

Q_DECLARE_METATYPE(TextBox::Align)

class TestReportCore : public QObject
{
    Q_OBJECT
private slots:
    void layOutAndPaint();
    void guidesOnlyInThePreview();
    void missingObjectIsAnError();
    void namesAreFoundAndKeptUnique();
    void clipOnlyWhereInkCrosses_data();
    void clipOnlyWhereInkCrosses();
    void inkBoundsHoldTheShapedText_data();
    void inkBoundsHoldTheShapedText();
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

void TestReportCore::guidesOnlyInThePreview()
{
    Report report(QStringLiteral("Prova"));
    report.page().LeftMargin = report.page().TopMargin = 0;
    Shape *edge = report.page().addShape(QStringLiteral("shpBordo"), QRectF(0, 0, 100, 60));
    edge->Fill = QColor();
    edge->Outline = Qt::black;
    edge->Guide = true;
    report.PrepareReport();
    const PreparedPage &prepared = report.preparedPages().first();
    QCOMPARE(prepared.rects().size(), 1);
    QVERIFY(prepared.rects().first().guide);
    const auto inkAt = [&prepared](PaintFor target) {
        QImage image(prepared.paper.toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPage(prepared, painter, target);
        painter.end();
        int dark = 0;
        for (int x = 0; x < 100; ++x)
            dark += qGray(image.pixel(x, 0)) < 128;
        return dark;
    };
    QVERIFY(inkAt(PaintFor::Preview) > 90);
    QCOMPARE(inkAt(PaintFor::Print), 0);
}

void TestReportCore::missingObjectIsAnError()
{
    Report report(QStringLiteral("Prova"));
    QVERIFY(!report.text(QStringLiteral("nessuno")));
    QVERIFY(report.failed());
    QVERIFY(report.errorString().contains(QStringLiteral("nessuno")));
}

void TestReportCore::namesAreFoundAndKeptUnique()
{
    ReportPage page;
    TextBox *onPage = page.addText(QStringLiteral("txtTitolo"), QRectF(0, 0, 100, 20));
    Band *band = page.addBand(QStringLiteral("MasterData"), Band::Type::MasterData, 40);
    TextBox *inBand = page.addText(QStringLiteral("txtRigo"), QRectF(0, 0, 100, 20), band);
    // Added to the band without the page: still found by its name.
    ReportObject *direct = band->add(std::make_unique<TextBox>(QStringLiteral("txtDiretto")));
    QCOMPARE(page.find(QStringLiteral("txtTitolo")), onPage);
    QCOMPARE(page.find(QStringLiteral("txtRigo")), inBand);
    QCOMPARE(page.find(QStringLiteral("MasterData")), band);
    QCOMPARE(page.find(QStringLiteral("txtDiretto")), direct);
    QCOMPARE(page.find(QStringLiteral("txtDiretto")), direct);
    QVERIFY(!page.find(QStringLiteral("txtrigo")));
    QVERIFY(!page.find(QString()));
    // A second object of a name already used, anywhere, is refused.
    QVERIFY(!page.addText(QStringLiteral("txtRigo"), QRectF(0, 0, 10, 10)));
    QVERIFY(page.errorString().contains(QStringLiteral("txtRigo")));
    QVERIFY(!page.addShape(QStringLiteral("txtTitolo"), QRectF(0, 0, 10, 10), band));
    QVERIFY(!page.addBand(QStringLiteral("txtRigo"), Band::Type::MasterData, 10));
    QVERIFY(!page.addText(QStringLiteral("MasterData"), QRectF(0, 0, 10, 10)));
    QCOMPARE(page.find(QStringLiteral("txtRigo")), inBand);
    QCOMPARE(int(page.objects().size()), 1);
    QCOMPARE(int(band->objects().size()), 2);
}

void TestReportCore::clipOnlyWhereInkCrosses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::addColumn<TextBox::Align>("align");
    QTest::addColumn<bool>("underline");
    // Per line laid out: whether it is drawn through its box's clip.
    QTest::addColumn<QList<bool>>("clipped");

    const auto left = TextBox::Align::Left;
    QTest::newRow("fitting line") << "Via Roma, 1" << 58.2 << 3.5 << left << false << QList<bool>{false};
    QTest::newRow("fitting, centred") << "Via Roma, 1" << 58.2 << 3.5 << TextBox::Align::Center << false
                                      << QList<bool>{false};
    QTest::newRow("too long, cut at the edge")
        << "Via dei Mille e dei Cinquecento Garibaldini, 1234" << 20.0 << 3.5 << left << false << QList<bool>{true};
    QTest::newRow("right-aligned, too long") << "Via dei Mille e dei Cinquecento Garibaldini, 1234" << 20.0 << 3.5
                                             << TextBox::Align::Right << false << QList<bool>{true};
    QTest::newRow("box lower than the line") << "Giorgio" << 58.2 << 1.5 << left << false << QList<bool>{true};
    QTest::newRow("bottom line partly outside")
        << "Mario Rossi\nVia Roma, 1" << 58.2 << 5.0 << left << false << QList<bool>{false, true};
    QTest::newRow("underlined") << "Via Roma, 1" << 58.2 << 3.5 << left << true << QList<bool>{true};
    QTest::newRow("beyond Latin") << QStringLiteral("Ελλάδα") << 58.2 << 3.5 << left << false << QList<bool>{true};
}

void TestReportCore::clipOnlyWhereInkCrosses()
{
    QFETCH(QString, text);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    QFETCH(TextBox::Align, align);
    QFETCH(bool, underline);
    QFETCH(QList<bool>, clipped);

    Report report(QStringLiteral("Prova"));
    TextBox *box = report.page().addText(QStringLiteral("txtRigo01"),
                                         QRectF(mmToUnits(2), mmToUnits(2), mmToUnits(widthMm), mmToUnits(heightMm)));
    box->Font.pointSize = 7;
    box->Font.underline = underline;
    box->WordWrap = false;
    box->HAlign = align;
    box->setText(text);
    report.PrepareReport();
    const QList<PlacedItem> items = report.preparedPages().first().texts();
    QCOMPARE(items.size(), clipped.size());
    const FontMeasure measure(box->Font);
    for (int i = 0; i < items.size(); ++i) {
        const PlacedItem &item = items.at(i);
        QCOMPARE(item.clipped, clipped.at(i));
        // The shaped ink of the line as drawn.
        QFont font = box->Font.drawingFont();
        const double s = box->Font.unitsPerPixel();
        const QRectF shaped = QFontMetricsF(font).tightBoundingRect(item.text);
        const QRectF ink(item.rect.left() + shaped.left() * s, item.rect.top() + item.baseline + shaped.top() * s,
                         shaped.width() * s, shaped.height() * s);
        if (!item.clipped)
            QVERIFY2(item.clip.contains(ink), qPrintable(item.text));
    }
    if (QTest::currentDataTag() == QLatin1String("too long, cut at the edge")) {
        // Still cut to the characters that start inside the box.
        QVERIFY(items.first().text.size() < text.size());
        QVERIFY(items.first().rect.right() > items.first().clip.right());
    }
}

void TestReportCore::inkBoundsHoldTheShapedText_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("text");

    const QStringList texts{QStringLiteral("Via Roma, 1"), QStringLiteral("AVVOCATO W. WOLF"),
                            QStringLiteral("jfij ffl Àèéìòù"), QStringLiteral("f"), QStringLiteral("Tj"),
                            QStringLiteral("«Ça» ÅÉÎÕÜ 0123456789 @#&"), QStringLiteral("Łódź Œuvre ß")};
    const QStringList families{QStringLiteral("Arial"), QStringLiteral("Courier New"),
                               QStringLiteral("Times New Roman"), QStringLiteral("Verdana")};
    for (const QString &family : families)
        for (int style = 0; style < 4; ++style)
            for (int t = 0; t < texts.size(); ++t)
                QTest::addRow("%s %d, %d", qPrintable(family), style, t)
                    << family << bool(style & 1) << bool(style & 2) << texts.at(t);
}

void TestReportCore::inkBoundsHoldTheShapedText()
{
    QFETCH(QString, family);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, text);
    TextFont font{family, 7, bold, italic};
    const FontMeasure measure(font);
    const QRectF bound = measure.inkBounds(text);
    QVERIFY(!bound.isNull());
    const double s = font.unitsPerPixel();
    const QRectF shaped = QFontMetricsF(font.drawingFont()).tightBoundingRect(text);
    const QRectF ink(shaped.left() * s, shaped.top() * s, shaped.width() * s, shaped.height() * s);
    QVERIFY2(bound.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(ink),
             qPrintable(QStringLiteral("%1 %2 %3 %4 / %5 %6 %7 %8")
                            .arg(bound.left()).arg(bound.top()).arg(bound.right()).arg(bound.bottom())
                            .arg(ink.left()).arg(ink.top()).arg(ink.right()).arg(ink.bottom())));
}

QTEST_MAIN(TestReportCore)
#include "tst_reportcore.moc"
