#include "PdfText.h"
#include "TestPrintQueue.h"

#include "platform/Conventions.h"
#include "report/Band.h"
#include "report/Layout.h"
#include "report/PagePainter.h"
#include "reportui/PreviewRecorder.h"
#include "reportui/PreviewWindow.h"
#include "reportui/PrintRecorder.h"
#include "report/Report.h"
#include "reportui/ReportPrinter.h"
#include "reportui/ReportSteps.h"
#include "report/Shape.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace tavolux;
using namespace tavolux::report;

namespace {

const QDate kToday(2024, 3, 7);
constexpr double kTolerance = 0.3; // mm

// A list report shaped like the program's summary printout: a title band,
// a master-data band that may split, a footer with the date.
std::unique_ptr<Report> listReport(int lines)
{
    auto report = std::make_unique<Report>(QStringLiteral("Riepilogo dati"));
    ReportPage &page = report->page();
    page.Orientation = Orientation::Landscape;
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 10;

    Band *title = page.addBand(QStringLiteral("ReportTitle"), Band::Type::ReportTitle, mmToUnits(8));
    TextBox *txtTitolo = page.addText(QStringLiteral("txtTitolo"), QRectF(mmToUnits(2), mmToUnits(1), mmToUnits(273), mmToUnits(5)), title);
    txtTitolo->setText(QStringLiteral("Riepilogo etichette in archivio"));
    txtTitolo->Font = TextFont{QStringLiteral("Verdana"), 9, true};
    txtTitolo->FontColor = Qt::white;
    txtTitolo->Fill = QColor(0x70, 0x80, 0x90);
    txtTitolo->HAlign = TextBox::Align::Center;

    // Bands are added out of order on purpose: they print by type.
    Band *footer = page.addBand(QStringLiteral("Footer"), Band::Type::Footer, mmToUnits(8));
    TextBox *txtPagina = page.addText(QStringLiteral("txtPagina"), QRectF(mmToUnits(3), mmToUnits(2), mmToUnits(272), mmToUnits(5)), footer);
    txtPagina->setText(QStringLiteral("Stampa eseguita in data [DATE]"));
    txtPagina->Font = TextFont{QStringLiteral("Verdana"), 8, true};
    txtPagina->HAlign = TextBox::Align::Center;

    Band *data = page.addBand(QStringLiteral("MasterData"), Band::Type::MasterData, mmToUnits(28));
    data->AllowSplit = true;
    TextBox *txtRiepilogo = page.addText(QStringLiteral("txtRiepilogo"), QRectF(mmToUnits(3), 0, mmToUnits(273), mmToUnits(27)), data);
    txtRiepilogo->Font = TextFont{QStringLiteral("Courier New"), 8};
    txtRiepilogo->WordWrap = false;
    txtRiepilogo->LinePitch = 12.822;

    txtRiepilogo->clearLines();
    for (int i = 1; i <= lines; ++i)
        txtRiepilogo->addLine(QStringLiteral("Riga%1 Nome etichetta numero %1  Tipo: Cliente  Note: nessuna").arg(i, 3, 10, QLatin1Char('0')));
    txtRiepilogo->setHeight(lines * 12.822);
    data->setHeight(txtRiepilogo->Height + 10);
    return report;
}

// One text box on an A4 page.
std::unique_ptr<Report> oneBox(const QString &text, const QRectF &units, const TextFont &font = TextFont{})
{
    auto report = std::make_unique<Report>(QStringLiteral("Prova"));
    report->page().LeftMargin = report->page().TopMargin = 0;
    report->page().RightMargin = report->page().BottomMargin = 0;
    TextBox *box = report->page().addText(QStringLiteral("txtProva"), units);
    box->Font = font;
    box->WordWrap = false;
    box->AllowExpressions = false;
    box->setText(text);
    return report;
}

QPointF mm(const QPointF &units)
{
    return units / kUnitsPerMm;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void model();
    void textPosition_data();
    void textPosition();
    void expressions_data();
    void expressions();
    void textIsCutAtTheBox_data();
    void textIsCutAtTheBox();
    void wordWrap();
    void drawingOrder();
    void listBandSplits_data();
    void listBandSplits();
    void prepareDiscardsEarlierPages();
    void paintsOnePath();
    void paintsAtTrueSize_data();
    void paintsAtTrueSize();

    void printToPdfFile_data();
    void printToPdfFile();
    void pageRangeAndCopies();
    void cancelPrintsNothing();
    void noPrinterOffersPdf();
    void printerThatCannotStart();

    void showReportIsModalAndMaximised();
    void previewWindow();
    void previewRecorder();

    void cupsCollatedCopies();
};

void TestReport::initTestCase()
{
    conventions::apply();
}

void TestReport::model()
{
    auto report = listReport(3);
    QCOMPARE(report->name(), QStringLiteral("Riepilogo dati"));
    QCOMPARE(report->page().name(), QStringLiteral("Page1"));
    QVERIFY(report->FindObject(QStringLiteral("txtRiepilogo")));
    QVERIFY(report->FindObject(QStringLiteral("MasterData")));
    QVERIFY(!report->FindObject(QStringLiteral("txtNessuno")));
    QCOMPARE(report->text(QStringLiteral("txtRiepilogo"))->Lines.size(), 3);
    QCOMPARE(report->band(QStringLiteral("MasterData"))->Height, 3 * 12.822 + 10);
    QVERIFY(!report->failed());
    // A look-up of a missing name, or of another kind, fails with a message.
    QVERIFY(!report->text(QStringLiteral("MasterData")));
    QCOMPARE(report->errorString(), QStringLiteral("Attenzione: il modello di stampa \"Riepilogo dati\" non contiene il testo MasterData.\r\n\r\nSi consiglia di reinstallare il software."));
    QVERIFY(!report->band(QStringLiteral("txtNessuno")));
    QCOMPARE(report->errorString(), QStringLiteral("Attenzione: il modello di stampa \"Riepilogo dati\" non contiene la banda txtNessuno.\r\n\r\nSi consiglia di reinstallare il software."));
    QVERIFY(report->band(QStringLiteral("MasterData")));
    QVERIFY(!report->failed());
    // A second object of a name is refused.
    const int objects = int(report->page().objects().size());
    QVERIFY(!report->page().addShape(QStringLiteral("txtTitolo"), QRectF(0, 0, 1, 1)));
    QVERIFY(!report->page().addBand(QStringLiteral("txtTitolo"), Band::Type::Footer, 10));
    QCOMPARE(report->page().errorString(), QStringLiteral("Attenzione: il modello di stampa contiene già un oggetto di nome txtTitolo.\r\n\r\nSi consiglia di reinstallare il software."));
    QCOMPARE(int(report->page().objects().size()), objects);
    QCOMPARE(report->page().bands().size(), size_t(3));

    TextBox *box = report->text(QStringLiteral("txtTitolo"));
    box->setText(QStringLiteral("uno\r\ndue\ntre\rquattro"));
    QCOMPARE(box->Lines, QStringList({"uno", "due", "tre", "quattro"}));
    box->setText(QString());
    QVERIFY(box->Lines.isEmpty());
    box->addLine(QStringLiteral("  a  "));
    QCOMPARE(box->text(), QStringLiteral("  a  "));

    // Landscape exchanges the paper's sides; margins may be negative.
    ReportPage &page = report->page();
    QCOMPARE(page.paperSize(), QSizeF(297, 210));
    page.Orientation = Orientation::Portrait;
    page.LeftMargin = -3;
    page.TopMargin = 12.5;
    QCOMPARE(page.paperSize(), QSizeF(210, 297));
    QCOMPARE(page.printableArea().topLeft(), QPointF(mmToUnits(-3), mmToUnits(12.5)));
}

void TestReport::textPosition_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("leftMargin");
    QTest::addColumn<double>("topMargin");
    QTest::addColumn<QPointF>("boxMm");
    QTest::addColumn<QSizeF>("paperMm");

    QTest::newRow("portrait, no margins") << false << 0.0 << 0.0 << QPointF(119, 57) << QSizeF(210, 297);
    QTest::newRow("portrait, 10 mm") << false << 10.0 << 10.0 << QPointF(2, 1.8) << QSizeF(210, 297);
    QTest::newRow("negative left, top 12") << false << -3.0 << 12.0 << QPointF(119, 82) << QSizeF(210, 297);
    QTest::newRow("fractional margins") << false << 2.5 << -0.75 << QPointF(0, 0) << QSizeF(210, 297);
    QTest::newRow("landscape") << true << 5.0 << 7.0 << QPointF(119, 57) << QSizeF(297, 210);
}

void TestReport::textPosition()
{
    QFETCH(bool, landscape);
    QFETCH(double, leftMargin);
    QFETCH(double, topMargin);
    QFETCH(QPointF, boxMm);
    QFETCH(QSizeF, paperMm);

    auto report = oneBox(QStringLiteral("Testo"), QRectF(boxMm * kUnitsPerMm, QSizeF(mmToUnits(90), mmToUnits(4.4))));
    ReportPage &page = report->page();
    page.Orientation = landscape ? Orientation::Landscape : Orientation::Portrait;
    page.LeftMargin = leftMargin;
    page.TopMargin = topMargin;
    report->PrepareReport();

    QCOMPARE(report->preparedPages().size(), 1);
    const PreparedPage &prepared = report->preparedPages().first();
    QCOMPARE(prepared.paper.width() / kUnitsPerMm, paperMm.width());
    QCOMPARE(prepared.paper.height() / kUnitsPerMm, paperMm.height());
    const QList<PlacedItem> texts = prepared.texts(QStringLiteral("txtProva"));
    QCOMPARE(texts.size(), 1);
    const QPointF at = mm(texts.first().rect.topLeft());
    QVERIFY2(qAbs(at.x() - (leftMargin + boxMm.x())) < 1e-9, qPrintable(QString::number(at.x())));
    QVERIFY2(qAbs(at.y() - (topMargin + boxMm.y())) < 1e-9, qPrintable(QString::number(at.y())));
    QCOMPARE(texts.first().text, QStringLiteral("Testo"));
}

void TestReport::expressions_data()
{
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed");

    QTest::newRow("date") << true << "Stampa eseguita in data [DATE]" << "Stampa eseguita in data 07/03/2024";
    QTest::newRow("date twice") << true << "[DATE]-[DATE]" << "07/03/2024-07/03/2024";
    QTest::newRow("unknown stays") << true << "[NOME] e [DATE" << "[NOME] e [DATE";
    QTest::newRow("expressions off") << false << "Stampa eseguita in data [DATE]" << "Stampa eseguita in data [DATE]";
}

void TestReport::expressions()
{
    QFETCH(bool, allow);
    QFETCH(QString, text);
    QFETCH(QString, printed);

    auto report = oneBox(text, QRectF(0, 0, 2000, 40));
    report->text(QStringLiteral("txtProva"))->AllowExpressions = allow;
    const QList<PreparedPage> pages = layoutPage(report->page(), kToday);
    QCOMPARE(pages.first().texts().size(), 1);
    QCOMPARE(pages.first().texts().first().text, printed);
    QCOMPARE(expandExpressions(QStringLiteral("[DATE]"), QDate(1999, 12, 31)), QStringLiteral("31/12/1999"));
}

void TestReport::textIsCutAtTheBox_data()
{
    QTest::addColumn<int>("align");
    QTest::newRow("left") << int(TextBox::Align::Left);
    QTest::newRow("centred") << int(TextBox::Align::Center);
    QTest::newRow("right") << int(TextBox::Align::Right);
}

void TestReport::textIsCutAtTheBox()
{
    QFETCH(int, align);
    const QString longLine = QStringLiteral("Una riga molto lunga che non entra nella sua casella di testo, nemmeno per sogno");
    const QRectF box(mmToUnits(10), mmToUnits(20), mmToUnits(30), mmToUnits(8));
    auto report = oneBox(longLine + QStringLiteral("\nseconda\nterza\nquarta"), box, TextFont{QStringLiteral("Arial"), 10});
    report->text(QStringLiteral("txtProva"))->HAlign = TextBox::Align(align);
    report->PrepareReport();

    const QList<PlacedItem> texts = report->preparedPages().first().texts();
    // 8 mm hold two lines of 10 pt text (and the top of none other).
    QCOMPARE(texts.size(), 2);
    const PlacedItem &first = texts.first();
    QCOMPARE(first.clip, box);
    QVERIFY(longLine.contains(first.text));
    QVERIFY(first.text.size() < longLine.size());
    // What is kept starts inside the box and reaches its far edge.
    QVERIFY(first.rect.left() < box.right());
    QVERIFY(first.rect.right() >= box.right() - 1e-6);
    if (align == int(TextBox::Align::Left)) {
        QVERIFY(longLine.startsWith(first.text));
        QCOMPARE(first.rect.left(), box.left());
    } else {
        QVERIFY(first.rect.left() <= box.left() + 1e-6);
    }
    QCOMPARE(texts.at(1).text, QStringLiteral("seconda"));
    QVERIFY(texts.at(1).rect.top() > first.rect.top());
}

void TestReport::wordWrap()
{
    const QRectF box(0, 0, mmToUnits(40), mmToUnits(50));
    auto report = oneBox(QStringLiteral("Una riga molto lunga che non entra nella sua casella di testo"), box,
                         TextFont{QStringLiteral("Arial"), 10});
    report->text(QStringLiteral("txtProva"))->WordWrap = true;
    report->PrepareReport();
    const QList<PlacedItem> texts = report->preparedPages().first().texts();
    QVERIFY(texts.size() > 1);
    QStringList words;
    for (const PlacedItem &item : texts) {
        QVERIFY2(item.rect.right() <= box.right() + 1e-6, qPrintable(item.text));
        words << item.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    QCOMPARE(words.join(QLatin1Char(' ')), QStringLiteral("Una riga molto lunga che non entra nella sua casella di testo"));
}

void TestReport::drawingOrder()
{
    Report report(QStringLiteral("Ordine"));
    Shape *shape = report.page().addShape(QStringLiteral("Shape1"), QRectF(0, 0, 100, 50));
    shape->Fill = shape->Outline = QColor(0xFF, 0xFF, 0xE0);
    report.page().addText(QStringLiteral("txtSopra"), QRectF(5, 5, 90, 20))->setText(QStringLiteral("sopra"));
    TextBox *empty = report.page().addText(QStringLiteral("txtVuoto"), QRectF(5, 30, 90, 20));
    empty->Fill = Qt::gray;
    report.PrepareReport();
    const QList<PlacedItem> &items = report.preparedPages().first().items;
    QCOMPARE(items.size(), 3);
    QCOMPARE(items.at(0).source, QStringLiteral("Shape1"));
    QCOMPARE(items.at(0).fill, QColor(0xFF, 0xFF, 0xE0));
    QCOMPARE(items.at(0).outline, QColor(0xFF, 0xFF, 0xE0));
    QCOMPARE(items.at(1).kind, PlacedItem::Kind::Text);
    // An empty box with a fill still prints its fill.
    QCOMPARE(items.at(2).source, QStringLiteral("txtVuoto"));
    QCOMPARE(items.at(2).kind, PlacedItem::Kind::Rect);
}

void TestReport::listBandSplits_data()
{
    QTest::addColumn<int>("lines");
    for (int n : {0, 1, 40, 54, 55, 56, 57, 58, 59, 120, 250})
        QTest::newRow(qPrintable(QStringLiteral("%1 lines").arg(n))) << n;
}

void TestReport::listBandSplits()
{
    QFETCH(int, lines);
    auto report = listReport(lines);
    const QRectF area = report->page().printableArea();
    const QList<PreparedPage> pages = layoutPage(report->page(), kToday);
    QVERIFY(!pages.isEmpty());

    // The title once, on top of the first page.
    for (int p = 0; p < pages.size(); ++p)
        QCOMPARE(pages.at(p).texts(QStringLiteral("txtTitolo")).size(), p == 0 ? 1 : 0);
    const PlacedItem title = pages.first().texts(QStringLiteral("txtTitolo")).first();
    QCOMPARE(title.text, QStringLiteral("Riepilogo etichette in archivio"));
    QVERIFY(title.rect.top() < area.top() + mmToUnits(8));

    // Every line once, in order, whole and inside the printable area.
    int expected = 1;
    double lastBottom = 0;
    int lastPage = 0;
    for (int p = 0; p < pages.size(); ++p) {
        double previousTop = -1;
        for (const PlacedItem &item : pages.at(p).texts(QStringLiteral("txtRiepilogo"))) {
            QVERIFY2(item.text.startsWith(QStringLiteral("Riga%1 ").arg(expected, 3, 10, QLatin1Char('0'))),
                     qPrintable(item.text));
            QVERIFY(item.rect.top() > previousTop);
            QVERIFY(item.rect.top() >= area.top() - 1e-6);
            QVERIFY2(item.rect.bottom() <= area.bottom() + 1e-6, qPrintable(item.text));
            // Whole inside its clip (lines may end exactly at a page's cut).
            QVERIFY(item.clip.adjusted(0, -1e-6, 0, 1e-6).contains(QRectF(item.clip.left(), item.rect.top(), 1, item.rect.height())));
            previousTop = item.rect.top();
            lastBottom = item.rect.bottom();
            lastPage = p;
            ++expected;
        }
    }
    QCOMPARE(expected - 1, lines);

    // A page only where there is something to print on it, and the footer
    // once, after the last line.
    int footers = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const QList<PlacedItem> footer = pages.at(p).texts(QStringLiteral("txtPagina"));
        footers += int(footer.size());
        if (footer.isEmpty())
            continue;
        QCOMPARE(p, pages.size() - 1);
        QVERIFY(p >= lastPage);
        if (p == lastPage && lines > 0)
            QVERIFY(footer.first().rect.top() >= lastBottom);
        QVERIFY(footer.first().rect.bottom() <= area.bottom() + 1e-6);
        QCOMPARE(footer.first().text, QStringLiteral("Stampa eseguita in data 07/03/2024"));
    }
    QCOMPARE(footers, 1);
    if (lines <= 40)
        QCOMPARE(pages.size(), 1);
    if (lines == 120)
        QVERIFY(pages.size() >= 3);
}

void TestReport::prepareDiscardsEarlierPages()
{
    auto report = listReport(200);
    report->PrepareReport();
    QVERIFY(report->preparedPages().size() > 1);
    TextBox *lines = report->text(QStringLiteral("txtRiepilogo"));
    lines->clearLines();
    lines->addLine(QStringLiteral("sola"));
    lines->setHeight(12.822);
    report->band(QStringLiteral("MasterData"))->setHeight(12.822 + 10);
    report->PrepareReport();
    QCOMPARE(report->preparedPages().size(), 1);
    QCOMPARE(report->preparedPages().first().texts(QStringLiteral("txtRiepilogo")).size(), 1);
}

void TestReport::paintsOnePath()
{
    // A yellow shape and black text, painted at 96 dpi: 1 unit is 1 pixel.
    Report report(QStringLiteral("Pittura"));
    report.page().LeftMargin = report.page().TopMargin = 0;
    Shape *shape = report.page().addShape(QStringLiteral("Shape1"), QRectF(10, 10, 200, 100));
    shape->Fill = shape->Outline = QColor(0xFF, 0xFF, 0xE0);
    TextBox *box = report.page().addText(QStringLiteral("txtNero"), QRectF(20, 20, 60, 40));
    box->Font = TextFont{QStringLiteral("Arial"), 20, true};
    box->WordWrap = false;
    box->setText(QStringLiteral("MMMMMMMMMMMMMMMMMMMM"));
    report.PrepareReport();

    QImage image(300, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(96 / 0.0254));
    image.setDotsPerMeterY(qRound(96 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPage(report.preparedPages().first(), painter);
    }
    QCOMPARE(image.pixelColor(150, 90), QColor(0xFF, 0xFF, 0xE0));
    QCOMPARE(image.pixelColor(250, 150), QColor(Qt::white));
    auto darkIn = [&](int x0, int x1) {
        int dark = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 20; y < 60; ++y)
                dark += image.pixelColor(x, y).lightness() < 100;
        return dark;
    };
    QVERIFY(darkIn(20, 80) > 100);
    // Cut at the box's right edge, though the text runs on.
    QCOMPARE(darkIn(81, 210), 0);
}

void TestReport::paintsAtTrueSize_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::newRow("Arial 7") << "Arial" << 7.0;
    QTest::newRow("Courier New 8") << "Courier New" << 8.0;
    QTest::newRow("Verdana 9 bold") << "Verdana" << 9.0;
    QTest::newRow("Arial 10") << "Arial" << 10.0;
}

void TestReport::paintsAtTrueSize()
{
    // Painted as the preview paints, at 4 pixels a unit: the distance from
    // the first "I" to the last is the advance of the text before it at the
    // template's size, not at a size rounded to whole units.
    QFETCH(QString, family);
    QFETCH(double, points);
    TextFont font{family, points, family == QLatin1String("Verdana")};
    const QString text = QStringLiteral("IMMMMMMMMMMMMI");
    auto report = oneBox(text, QRectF(10, 10, 1000, 40), font);
    report->PrepareReport();

    constexpr double scale = 4;
    QImage image(1100 * scale, 60 * scale, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(96 / 0.0254));
    image.setDotsPerMeterY(qRound(96 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        paintPage(report->preparedPages().first(), painter);
    }
    // Left ink edges of the first and of the last "I".
    QList<int> edges;
    bool inInk = false;
    for (int x = 0; x < image.width(); ++x) {
        bool dark = false;
        for (int y = 0; y < image.height() && !dark; ++y)
            dark = image.pixelColor(x, y).lightness() < 128;
        if (dark && !inInk)
            edges << x;
        inInk = dark;
    }
    QVERIFY(edges.size() >= 2);
    const double expected = FontMeasure(font).width(text.chopped(1)) * scale;
    const double found = edges.last() - edges.first();
    QVERIFY2(qAbs(found - expected) <= 2.0,
             qPrintable(QStringLiteral("%1 px between the I's, expected %2 px").arg(found).arg(expected)));
}

void TestReport::printToPdfFile_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::newRow("portrait") << false;
    QTest::newRow("landscape") << true;
}

void TestReport::printToPdfFile()
{
    QFETCH(bool, landscape);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pdf"));

    Report report(QStringLiteral("Prova di stampa"));
    ReportPage &page = report.page();
    page.Orientation = landscape ? Orientation::Landscape : Orientation::Portrait;
    page.LeftMargin = 7;
    page.TopMargin = -2;
    const QList<QPointF> boxesMm{{5, 10}, {119, 57}, {180, 150}, {20, 195}};
    for (int i = 0; i < boxesMm.size(); ++i) {
        TextBox *box = page.addText(QStringLiteral("txt%1").arg(i), QRectF(boxesMm.at(i) * kUnitsPerMm, QSizeF(mmToUnits(60), mmToUnits(5))));
        box->Font = TextFont{i % 2 ? QStringLiteral("Arial") : QStringLiteral("Courier New"), 7.0 + 3 * i};
        box->setText(QStringLiteral("Parola%1 seguito").arg(i));
    }
    report.PrepareReport();

    PrintRecorder printer;
    printer.answerPrintToFile(path);
    QVERIFY(report::Print(report));
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, QStringLiteral("Prova di stampa"));
    QCOMPARE(printer.requests().first().orientation, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);

    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 1);
    const QSizeF paper = landscape ? QSizeF(297, 210) : QSizeF(210, 297);
    QVERIFY(qAbs(pdf.pagesMm.first().width() - paper.width()) < 0.5);
    QVERIFY(qAbs(pdf.pagesMm.first().height() - paper.height()) < 0.5);
    double worst = 0;
    for (int i = 0; i < boxesMm.size(); ++i) {
        const QList<PdfWord> words = pdf.find(QStringLiteral("Parola%1").arg(i));
        QCOMPARE(words.size(), 1);
        const QPointF expected = boxesMm.at(i) + QPointF(7, -2);
        const QPointF found = words.first().mm.topLeft();
        worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
        QVERIFY2(qAbs(found.x() - expected.x()) < kTolerance && qAbs(found.y() - expected.y()) < kTolerance,
                 qPrintable(QStringLiteral("Parola%1 at %2, %3 mm, expected %4, %5")
                                .arg(i).arg(found.x()).arg(found.y()).arg(expected.x()).arg(expected.y())));
    }
    qInfo("largest position error in the PDF: %.3f mm", worst);
    QCOMPARE(pdfTitle(path), QStringLiteral("Prova di stampa"));

    // Every run at its box's size.
    const PdfRuns runs = readPdfRuns(path);
    QVERIFY2(runs.error.isEmpty(), qPrintable(runs.error));
    QCOMPARE(runs.runs.size(), boxesMm.size());
    for (const PdfRun &run : runs.runs) {
        const int i = run.text.mid(6, 1).toInt();
        QVERIFY2(run.text.startsWith(QStringLiteral("Parola")), qPrintable(run.text));
        QVERIFY2(qAbs(run.pointSize - (7.0 + 3 * i)) < 0.01,
                 qPrintable(QStringLiteral("%1 at %2 pt, expected %3 pt").arg(run.text).arg(run.pointSize).arg(7.0 + 3 * i)));
    }
}

void TestReport::pageRangeAndCopies()
{
    // A printer that cannot make copies itself (a PDF file) gets the pages
    // repeated; the range chosen in the dialog limits them.
    QTemporaryDir dir;
    auto report = listReport(250);
    report->PrepareReport();
    const int pages = int(report->preparedPages().size());
    QVERIFY(pages >= 3);

    const QString path = dir.filePath(QStringLiteral("range.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, report->name(), report->preparedPages());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printer.setCopyCount(2);
    printer.setCollateCopies(false);
    QString error;
    QVERIFY2(printPages(report->preparedPages(), printer, &error), qPrintable(error));

    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QStringList firstLines;
    for (int p = 0; p < pdf.pagesMm.size(); ++p)
        firstLines << pdf.pageText(p).section(QLatin1Char(' '), 0, 0);
    const QString page2 = report->preparedPages().at(1).texts(QStringLiteral("txtRiepilogo")).first().text.section(QLatin1Char(' '), 0, 0);
    const QString page3 = report->preparedPages().at(2).texts(QStringLiteral("txtRiepilogo")).first().text.section(QLatin1Char(' '), 0, 0);
    QVERIFY(!printer.supportsMultipleCopies());
    QCOMPARE(firstLines, QStringList({page2, page2, page3, page3}));
}

void TestReport::cancelPrintsNothing()
{
    QTemporaryDir dir;
    auto report = listReport(5);
    report->PrepareReport();
    PrintRecorder printer;
    QVERIFY(!report::Print(*report));
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().pages.size(), 1);
    QCOMPARE(printer.requests().first().orientation, QPageLayout::Landscape);
    QVERIFY(qAbs(printer.requests().first().paperMm.width() - 210) < 0.5);
}

void TestReport::noPrinterOffersPdf()
{
    QTemporaryDir dir;
    auto report = listReport(5);
    report->PrepareReport();
    PrintRecorder printer;
    printer.setPrinters({});
    ui::MessageRecorder messages;
    QString suggested;
    ui::setSaveFileChooserHandler([&](QWidget *, const QString &, const QString &, const QString &s) {
        suggested = s;
        return dir.filePath(QStringLiteral("salvato"));
    });

    // No: nothing is printed, no dialog.
    messages.answerNext(ui::MessageAnswer::No);
    QVERIFY(!report::Print(*report));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, ui::MessageKind::Confirmation);
    QCOMPARE(messages.last().text, noPrinterQuestion());
    QCOMPARE(printer.count(), 0);
    QVERIFY(suggested.isEmpty());

    // Yes: the pages go to the chosen PDF file.
    QVERIFY(report::Print(*report));
    ui::setSaveFileChooserHandler({});
    QCOMPARE(suggested, QStringLiteral("Riepilogo dati.pdf"));
    const PdfText pdf = readPdfText(dir.filePath(QStringLiteral("salvato.pdf")));
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QVERIFY(pdf.pageText(0).contains(QStringLiteral("Riga005")));
}

void TestReport::printerThatCannotStart()
{
    auto report = listReport(1);
    report->PrepareReport();
    PrintRecorder printer;
    printer.answerPrintToFile(QStringLiteral("/nonexistent/folder/out.pdf"));
    const QString message = QStringLiteral("Attenzione: non è possibile scrivere il file \"/nonexistent/folder/out.pdf\".\r\n\r\nAccertarsi che la cartella esista e di possedere i privilegi di scrittura.");
    ui::MessageRecorder messages;
    // Print gives the failure back; it shows nothing itself.
    QVERIFY(!report::Print(*report));
    QVERIFY(report->failed());
    QCOMPARE(report->errorString(), message);
    QCOMPARE(messages.count(), 0);
    // A cancelled dialog is no failure.
    printer.answerCancel();
    QVERIFY(!report::Print(*report));
    QVERIFY(!report->failed());

    // The preview's print button shows it in the program's error box.
    printer.answerPrintToFile(QStringLiteral("/nonexistent/folder/out.pdf"));
    PreviewWindow preview(*report);
    try {
        preview.btnStampa->click();
    } catch (...) {
        QFAIL("an exception crossed the preview's print button");
    }
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, ui::MessageKind::Error);
    QCOMPARE(messages.last().buttons, ui::MessageButtons::Ok);
    QCOMPARE(messages.last().text, message);
}

void TestReport::showReportIsModalAndMaximised()
{
    auto report = listReport(120);
    report->setPreviewButtons(Report::PreviewPrint | Report::PreviewZoom | Report::PreviewFullScreen | Report::PreviewClose);
    report->PrepareReport();
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *preview = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
        QVERIFY(preview);
        seen = true;
        QCOMPARE(preview->windowTitle(), QStringLiteral("Riepilogo dati"));
        QVERIFY(preview->windowState() & Qt::WindowMaximized);
        QCOMPARE(preview->zoom(), 1.0);
        preview->btnChiudi->click();
    });
    report::ShowReport(*report);
    QVERIFY(seen);
}

void TestReport::previewWindow()
{
    auto report = listReport(120);
    report->setPreviewButtons(Report::PreviewPrint | Report::PreviewZoom | Report::PreviewFullScreen | Report::PreviewClose);
    report->PrepareReport();
    PreviewWindow preview(*report);
    QVERIFY(preview.btnStampa && preview.btnZoom && preview.btnSchermoIntero && preview.btnChiudi);
    QVERIFY(!preview.btnPrima && !preview.btnUltima && !preview.lblPagina);
    QStringList offered;
    for (QToolButton *button : preview.findChildren<QToolButton *>())
        if (button->objectName().startsWith(QLatin1String("btn")))
            offered << button->objectName();
    offered.sort();
    QCOMPARE(offered, QStringList({"btnChiudi", "btnSchermoIntero", "btnStampa", "btnZoom"}));

    // At 100 % a page of 297 mm is 297 mm on a 96 dpi screen.
    QVERIFY(preview.findChild<QWidget *>(QStringLiteral("pagesView")));
    const double perUnit = preview.logicalDpiX() / 96.0;
    QCOMPARE(preview.pageSizeOnScreen().width(), mmToUnits(297) * perUnit);
    preview.setZoom(0.5);
    QCOMPARE(preview.pageSizeOnScreen().width(), mmToUnits(297) * perUnit / 2);

    // Its print button is Print.
    PrintRecorder printer;
    preview.btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, QStringLiteral("Riepilogo dati"));
    QCOMPARE(printer.requests().first().pages.size(), report->preparedPages().size());

    // From the keyboard: Ctrl+P prints, Ctrl++ / Ctrl+- zoom, Ctrl+0 is 100 %.
    preview.show();
    QApplication::setActiveWindow(&preview);
    preview.setZoom(1.0);
    QTest::keyClick(&preview, Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(preview.zoom(), 1.25);
    QTest::keyClick(&preview, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&preview, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(preview.zoom(), 0.75);
    QTest::keyClick(&preview, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(preview.zoom(), 1.0);
    QTest::keyClick(&preview, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(printer.count(), 2);
    QVERIFY(preview.btnStampa->toolTip().contains(QKeySequence(Qt::CTRL | Qt::Key_P).toString(QKeySequence::NativeText)));
    preview.hide();

    // Every button offered by default, page buttons included.
    auto all = listReport(120);
    all->PrepareReport();
    PreviewWindow full(*all);
    QVERIFY(full.btnPrima && full.lblPagina);
    full.showPage(2);
    QCOMPARE(full.currentPage(), 2);
    QCOMPARE(full.lblPagina->text(), QStringLiteral("Pagina 3 di %1").arg(all->preparedPages().size()));
}

void TestReport::previewRecorder()
{
    auto report = listReport(2);
    PreviewRecorder previews;
    PrintRecorder printer;
    report::ShowReport(*report); // prepares when nobody did
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.previews().first().caption, QStringLiteral("Riepilogo dati"));
    QCOMPARE(previews.previews().first().pages.size(), 1);
    QCOMPARE(printer.count(), 0);
    previews.pressPrint();
    report::ShowReport(*report);
    QCOMPARE(printer.count(), 1);
}

void TestReport::cupsCollatedCopies()
{
    // cups-pdf leaves uncollated copies to the device, which its PDF does not
    // show; collated copies are made by CUPS and appear as pages.
    const bool collate = true;
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));

    auto report = listReport(100); // two pages
    report->PrepareReport();
    QCOMPARE(report->preparedPages().size(), 2);
    const QSet<QString> before = queue.files(report->name());
    PrintRecorder printer;
    printer.answerPrintTo(queue.name(), 2, collate);
    QVERIFY(report::Print(*report));

    QString why;
    const QString path = queue.waitForPdf(report->name(), before, &why);
    QVERIFY2(!path.isEmpty(), qPrintable(why));
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QStringList order;
    for (int p = 0; p < pdf.pagesMm.size(); ++p)
        order << (pdf.pageText(p).contains(QStringLiteral("Riga001")) ? QStringLiteral("1") : QStringLiteral("2"));
    QCOMPARE(order.join(QString()), QStringLiteral("1212"));
    QFile::remove(path);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
