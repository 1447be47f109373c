// Printing on the label formats of the catalogue and of the user: where each
// label's lines go on the chosen sheet, how a label page and a one-address
// page fill it, and a table of real catalogue products printed through the
// cups-pdf queue and read back.
#include "PdfText.h"
#include "TestPrintQueue.h"

#include "labelformats/LabelCatalogue.h"
#include "labelformats/LabelFormatSettings.h"
#include "platform/IniFile.h"
#include "printing/CalibrationSheet.h"
#include "printing/LabelCalibration.h"
#include "printing/LabelMailing.h"
#include "printing/LabelPageTemplate.h"
#include "printing/LineFit.h"
#include "printing/SheetFormat.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmStampaPagina.h"
#include "report/PageSequence.h"
#include "report/Report.h"
#include "report/TextFont.h"
#include "report/Units.h"
#include "reportui/PreviewRecorder.h"
#include "reportui/PrintRecorder.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavolux;
using report::unitsToMm;

namespace {

// "P07L3": line 3 of label 7 of the label page; short enough for every label.
QString token(int slot, int line)
{
    return QStringLiteral("P%1L%2").arg(slot, 2, 10, QLatin1Char('0')).arg(line);
}

double arialAscentMm(double pointSize)
{
    return report::FontMeasure(report::TextFont{QStringLiteral("Arial"), pointSize}).ascent() / report::kUnitsPerMm;
}

LabelProduct own(const QString &name, int columns, int rows, double width, double height, QSizeF page = {210, 297})
{
    LabelProduct p;
    p.part = name;
    p.paperId = QStringLiteral("A4");
    p.pageMm = page;
    p.labelMm = QSizeF(width, height);
    p.layouts << LabelProduct::Layout{columns, rows, 5, 6, width + 1, height + 1};
    return p;
}

QRectF mmOf(const QRectF &units)
{
    return QRectF(unitsToMm(units.left()), unitsToMm(units.top()), unitsToMm(units.width()), unitsToMm(units.height()));
}

} // namespace

class TestLabelSheets : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void linesInsideLabels_data();
    void linesInsideLabels();
    void builtInUnchanged();
    void labelPageFlows_data();
    void labelPageFlows();
    void oneAddressFillsSheet();
    void fitAgainstLabelWidth();
    void calibrationPerFormat();
    void testSheetOfFormat();
    void catalogueThroughQueue_data();
    void catalogueThroughQueue();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramFolder folder() const { return ProgramFolder(m_dir->path()); }
    void choose(LabelFormatSettings::Use use, const LabelProduct &product)
    {
        LabelFormatSettings settings(folder());
        if (product.source == LabelProduct::Source::Own)
            QVERIFY(settings.saveOwnFormat(product));
        QVERIFY(settings.writeChosenId(use, product.id()));
    }
};

void TestLabelSheets::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestLabelSheets::linesInsideLabels_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("lines");
    QTest::newRow("32 mm: six") << 32.0 << 6;
    QTest::newRow("30.5 mm: the sixth box ends on the edge") << 30.5 << 6;
    QTest::newRow("30.4 mm: five") << 30.4 << 5;
    QTest::newRow("25.4 mm (1 in): four") << 25.4 << 4;
    QTest::newRow("21.2 mm: four") << 21.2 << 4;
    QTest::newRow("10 mm: one") << 10.0 << 1;
    QTest::newRow("5 mm: none") << 5.0 << 0;
}

void TestLabelSheets::linesInsideLabels()
{
    QFETCH(double, height);
    QFETCH(int, lines);
    const SheetFormat format = SheetFormat::of(own(QStringLiteral("T"), 2, 3, 50.8, height));
    QCOMPARE(format.labelsPerSheet(), 6);
    QCOMPARE(format.linesPerLabel(), lines);
    QCOMPARE(format.droppedLines, 6 - lines);
    QCOMPARE(format.leftMm, 0.0);
    for (const SheetFormat::Label &label : format.labels) {
        const QRectF rect = mmOf(label.rect);
        for (int n = 0; n < lines; ++n) {
            const QRectF box = mmOf(label.lines.at(n));
            QVERIFY(qAbs(box.left() - rect.left() - 2) < 1e-9);
            QVERIFY(qAbs(box.top() - rect.top() - 2 - 5 * n) < 1e-9);
            QVERIFY(qAbs(box.width() - (50.8 - 3.8)) < 1e-9);
            QVERIFY(box.bottom() <= rect.bottom() + 1e-6);
        }
    }
    // Label 4 is the second row's first: 5 mm in, 6 + (height + 1) mm down.
    QVERIFY(qAbs(mmOf(format.labels.at(2).rect).top() - (6 + height + 1)) < 1e-9);
}

void TestLabelSheets::builtInUnchanged()
{
    // The built-in product is the label page's own sheet, with its 1.8 mm top row.
    const SheetFormat &format = SheetFormat::of(LabelProduct::builtIn());
    QCOMPARE(format.labelsPerSheet(), 24);
    QVERIFY(format.isStandard());
    for (int slot = 1; slot <= 24; ++slot) {
        QCOMPARE(format.labels.at(slot - 1).rect, LabelPageTemplate::labelRect(slot));
        for (int line = 1; line <= 6; ++line)
            QCOMPARE(format.labels.at(slot - 1).lines.at(line - 1), LabelPageTemplate::lineRect(slot, line));
    }
    // Nothing chosen, the built-in id or one no longer there: the label page's own print.
    QVERIFY(!LabelMailing::forChosenFormat(folder(), LabelFormatSettings::Use::LabelPages, QString(), false));
    QVERIFY(LabelFormatSettings(folder()).writeChosenId(LabelFormatSettings::Use::LabelPages, QStringLiteral("catalogo:Nessuno:X")));
    QVERIFY(!LabelMailing::forChosenFormat(folder(), LabelFormatSettings::Use::LabelPages, QString(), false));
    QVERIFY(LabelFormatSettings(folder()).writeChosenId(LabelFormatSettings::Use::LabelPages, LabelProduct::builtInId()));
    QVERIFY(!LabelMailing::forChosenFormat(folder(), LabelFormatSettings::Use::LabelPages, QString(), false));
}

void TestLabelSheets::labelPageFlows_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("sheets");
    QTest::newRow("21 labels: 22 to 24 start the next sheet") << 3 << 7 << 2;
    QTest::newRow("30 labels: one sheet, 6 left") << 3 << 10 << 1;
    QTest::newRow("10 labels: three sheets") << 2 << 5 << 3;
    QTest::newRow("1 label: 24 pages") << 1 << 1 << 24;
}

void TestLabelSheets::labelPageFlows()
{
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, sheets);
    const LabelProduct product = own(QStringLiteral("Flusso"), columns, rows, 60, 25);
    choose(LabelFormatSettings::Use::LabelPages, product);
    report::PreviewRecorder previews;
    {
        TfrmAnteprima_Etichette dialog(folder(), [](int slot, int line) { return token(slot, line); });
        dialog.btnStampa->click();
    }
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.previews().first().caption, QStringLiteral("Pagina Etichette"));
    const QList<report::PreparedPage> &pages = previews.previews().first().pages;
    QCOMPARE(pages.size(), sheets);
    const int perSheet = columns * rows;
    const SheetFormat format = SheetFormat::of(product);
    for (int slot = 1; slot <= 24; ++slot) {
        const int sheet = (slot - 1) / perSheet;
        const int label = (slot - 1) % perSheet + 1;
        for (int line = 1; line <= 6; ++line) {
            const QList<report::PlacedItem> texts = pages.at(sheet).texts(LabelPageTemplate::lineName(label, line));
            if (line > 4) { // 25 mm high: lines 5 and 6 have no room
                QVERIFY(texts.isEmpty());
                continue;
            }
            QCOMPARE(texts.size(), 1);
            QCOMPARE(texts.first().text, token(slot, line));
            QCOMPARE(texts.first().rect.topLeft(), format.labels.at(label - 1).lines.at(line - 1).topLeft());
        }
    }
}

void TestLabelSheets::oneAddressFillsSheet()
{
    const LabelProduct product = own(QStringLiteral("Pacchi"), 2, 7, 99, 38);
    choose(LabelFormatSettings::Use::OneAddress, product);
    // Another use's choice does not count here.
    choose(LabelFormatSettings::Use::LabelPages, own(QStringLiteral("Altro"), 3, 7, 60, 30));
    report::PreviewRecorder previews;
    {
        TfrmAnteprima_Etichetta dialog(folder(), [] { return QStringList{"Uno", "Due", "", "", "", "Sei"}; });
        dialog.options().setFirstLabel(3); // the built-in sheet's options are not the ones used
        dialog.btnStampa->click();
    }
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.previews().first().caption, QStringLiteral("Anteprima Etichetta"));
    const QList<report::PreparedPage> &pages = previews.previews().first().pages;
    QCOMPARE(pages.size(), 1);
    for (int label = 1; label <= 14; ++label) {
        QCOMPARE(pages.first().texts(LabelPageTemplate::lineName(label, 1)).first().text, QStringLiteral("Uno"));
        QCOMPARE(pages.first().texts(LabelPageTemplate::lineName(label, 6)).first().text, QStringLiteral("Sei"));
    }
    QVERIFY(pages.first().texts(LabelPageTemplate::lineName(15, 1)).isEmpty());

    // From label 5 of 14: ten labels filled, one sheet, and the start counts to 14.
    LabelMailing sheet(SheetFormat::of(product), QStringLiteral("Anteprima Etichetta"), nullptr);
    sheet.options().setFirstLabel(5);
    sheet.setSheetOf([](int line) { return QStringLiteral("R%1").arg(line); });
    QCOMPARE(sheet.layout().sheets(), 1);
    QCOMPARE(sheet.layout().labels(), 10);
    sheet.options().setFirstLabel(99);
    QCOMPARE(sheet.options().firstLabel(), 14);
}

void TestLabelSheets::fitAgainstLabelWidth()
{
    // A line of about 45 mm in Arial 7 pt: whole on the built-in label, cut on a 40 mm one.
    const QString line = QStringLiteral("Via Giuseppe Garibaldi 125, scala B interno");
    const SheetFormat narrow = SheetFormat::of(own(QStringLiteral("Stretta"), 4, 10, 40, 25.4));
    const SheetFormat wide = SheetFormat::of(own(QStringLiteral("Larga"), 2, 7, 99, 38));
    QVERIFY(fitsLabelLine(line));
    QCOMPARE(fitsLabelLine(line, SheetFormat::standard(), 1), fitsLabelLine(line));
    QVERIFY(!fitsLabelLine(line, narrow, 1));
    QVERIFY(fitsLabelLine(line, wide, 1));
    QVERIFY(fitsLabelLine(QStringLiteral("Roma"), narrow, 4));
    // Line 5 has no room on a 25.4 mm label: only an empty one fits.
    QVERIFY(!fitsLabelLine(QStringLiteral("Roma"), narrow, 5));
    QVERIFY(fitsLabelLine(QStringLiteral("  "), narrow, 5));
}

void TestLabelSheets::calibrationPerFormat()
{
    const LabelProduct product = own(QStringLiteral("Tarato"), 3, 7, 60, 30);
    const SheetFormat format = SheetFormat::of(product);
    QVERIFY(LabelCalibration(folder()).write(LabelShift{1.5, -0.7}));
    QVERIFY(LabelCalibration(folder(), LabelFormatSettings::calibrationSection(format.id)).write(LabelShift{-2, 3}));
    LabelSheetOptions options(folder());
    QCOMPARE(options.shift(), (LabelShift{1.5, -0.7})); // the built-in sheet's own keys
    options.setSheet(format);
    QCOMPARE(options.shift(), (LabelShift{-2, 3}));
    IniFile ini(folder().file(QStringLiteral("Impostazioni.ini")));
    QCOMPARE(ini.readString(QStringLiteral("Calibrazione Etichette"), QStringLiteral("Orizzontale")), QStringLiteral("1,5"));
    QCOMPARE(ini.readString(QStringLiteral("Calibrazione Etichette proprio:Tarato"), QStringLiteral("Verticale")),
             QStringLiteral("3"));

    // The print of the format moves by its own shift.
    choose(LabelFormatSettings::Use::LabelPages, product);
    report::PreviewRecorder previews;
    {
        TfrmAnteprima_Etichette dialog(folder(), [](int slot, int line) { return token(slot, line); });
        dialog.btnStampa->click();
    }
    const report::PreparedPage &page = previews.previews().first().pages.first();
    const QRectF placed = page.texts(LabelPageTemplate::lineName(1, 1)).first().rect;
    const QRectF designed = format.labels.first().lines.first();
    QVERIFY(qAbs(unitsToMm(placed.left() - designed.left()) + 2) < 1e-6);
    QVERIFY(qAbs(unitsToMm(placed.top() - designed.top()) - 3) < 1e-6);
}

void TestLabelSheets::testSheetOfFormat()
{
    const LabelProduct product = own(QStringLiteral("Prova"), 4, 12, 45, 20);
    const SheetFormat format = SheetFormat::of(product);
    const std::unique_ptr<report::Report> sheet = CalibrationSheet::create(format, LabelShift{});
    sheet->PrepareReport();
    const report::PreparedPage page = sheet->pages().at(0);
    const QList<QRectF> outlines = CalibrationSheet::outlinesMm(format);
    QCOMPARE(outlines.size(), 48);
    QCOMPARE(outlines.at(5), QRectF(5 + 46, 6 + 21, 45, 20));
    for (int slot = 1; slot <= 48; ++slot) {
        const QString id = QStringLiteral("%1").arg(slot, 2, 10, QLatin1Char('0'));
        const QRectF top = mmOf(page.rects(QStringLiteral("bordoA_") + id).first().rect);
        QVERIFY(qAbs(top.left() - outlines.at(slot - 1).left()) < 1e-6 && qAbs(top.top() - outlines.at(slot - 1).top()) < 1e-6);
        QCOMPARE(page.texts(QStringLiteral("txtEtichetta_") + id).first().text, CalibrationSheet::labelText(slot));
        // 20 mm: no room for the reading text.
        QVERIFY(page.texts(QStringLiteral("txtLettura_") + id).isEmpty());
    }
    QVERIFY(page.rects(QStringLiteral("bordoA_49")).isEmpty());
    // The built-in format's sheet is the one it always was.
    const std::unique_ptr<report::Report> standard = CalibrationSheet::create(LabelShift{});
    QCOMPARE(CalibrationSheet::outlinesMm(SheetFormat::standard()).at(4), CalibrationSheet::outlineMm(5));
    standard->PrepareReport();
    QVERIFY(!standard->pages().at(0).texts(QStringLiteral("txtLettura_24")).isEmpty());
}

void TestLabelSheets::catalogueThroughQueue_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("labels");
    QTest::addColumn<bool>("roll");
    QTest::newRow("Avery L7160, A4, 21, equivalent of 7160") << "catalogo:Avery:L7160" << 21 << false;
    QTest::newRow("Avery J8160, equivalent of 7160") << "catalogo:Avery:J8160" << 21 << false;
    QTest::newRow("Avery L7651, A4, 65") << "catalogo:Avery:L7651" << 65 << false;
    QTest::newRow("Avery L7163, A4, 14") << "catalogo:Avery:L7163" << 14 << false;
    QTest::newRow("Herma 4677, A4") << "catalogo:Herma:4677" << -1 << false;
    QTest::newRow("Zweckform 3475, A4, 24, no radius") << "catalogo:Zweckform:3475" << 24 << false;
    QTest::newRow("Herma 4102, A4, 44, no radius") << "catalogo:Herma:4102" << 44 << false;
    QTest::newRow("Avery 5160, US-Letter, 30") << "catalogo:Avery:5160" << 30 << false;
    QTest::newRow("Avery 5163, US-Letter, 10") << "catalogo:Avery:5163" << 10 << false;
    QTest::newRow("Online Labels OL5050, two layouts") << "catalogo:Online Labels:OL5050 (case first)" << 4 << false;
    QTest::newRow("Brother DK-1201, roll") << "catalogo:Brother:DK-1201" << 1 << true;
    QTest::newRow("Dymo 99012, roll") << "catalogo:Dymo:99012" << 1 << true;
    QTest::newRow("Dymo 30256, roll") << "catalogo:Dymo:30256" << 1 << true;
}

void TestLabelSheets::catalogueThroughQueue()
{
    QFETCH(QString, id);
    QFETCH(int, labels);
    QFETCH(bool, roll);
    const LabelCatalogue &catalogue = LabelCatalogue::installed();
    if (catalogue.products().isEmpty())
        QSKIP("glabels-data is not installed");
    const LabelProduct *product = catalogue.find(id);
    QVERIFY2(product, qPrintable(id));
    QCOMPARE(product->roll, roll);
    if (labels > 0)
        QCOMPARE(product->labelsPerSheet(), labels);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));

    choose(LabelFormatSettings::Use::LabelPages, *product);
    const SheetFormat format = SheetFormat::of(*product);
    const int perSheet = format.labelsPerSheet();
    const int lines = format.linesPerLabel();
    QVERIFY(lines >= 1);

    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QString title = QStringLiteral("Pagina Etichette");
    const QSet<QString> before = queue.files(title);
    {
        TfrmStampaPagina dialog(folder(), [](int slot, int line) { return token(slot, line); });
        dialog.btnStampa->click();
    }
    QCOMPARE(printer.count(), 1);
    QString why;
    const QString path = queue.waitForPdf(title, before, &why);
    QVERIFY2(!path.isEmpty(), qPrintable(why));
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));

    const int sheets = (24 + perSheet - 1) / perSheet;
    QCOMPARE(pdf.pagesMm.size(), sheets);
    const QSizeF paper = roll ? product->labelMm : product->pageMm;
    // The queue takes a page of its own size in whole points.
    for (const QSizeF &page : pdf.pagesMm)
        QVERIFY2(qAbs(page.width() - paper.width()) < 0.36 && qAbs(page.height() - paper.height()) < 0.36,
                 qPrintable(QStringLiteral("%1 x %2 mm, the template says %3 x %4").arg(page.width()).arg(page.height())
                                .arg(paper.width()).arg(paper.height())));

    const QList<QRectF> rects = product->labelRectsMm();
    double worst = 0;
    int found = 0;
    for (int slot = 1; slot <= 24; ++slot) {
        const int sheet = (slot - 1) / perSheet;
        const QRectF label = roll ? QRectF(QPointF(0, 0), product->labelMm) : rects.at((slot - 1) % perSheet);
        for (int line = 1; line <= 6; ++line) {
            const QList<PdfWord> words = pdf.find(token(slot, line));
            if (line > lines) {
                QVERIFY2(words.isEmpty(), qPrintable(token(slot, line))); // no room: not printed
                continue;
            }
            QVERIFY2(words.size() == 1, qPrintable(token(slot, line)));
            const PdfWord &word = words.first();
            QCOMPARE(word.page, sheet);
            const QPointF start = pdf.lineStartMm(word, 7, arialAscentMm(7));
            const QPointF expected(label.left() + 2, label.top() + 2 + 5 * (line - 1));
            const double error = std::max(qAbs(start.x() - expected.x()), qAbs(start.y() - expected.y()));
            worst = std::max(worst, error);
            QVERIFY2(error < 0.01, qPrintable(QStringLiteral("%1 at %2, %3 mm, expected %4, %5 mm")
                                                 .arg(token(slot, line)).arg(start.x()).arg(start.y())
                                                 .arg(expected.x()).arg(expected.y())));
            QVERIFY2(label.adjusted(-0.01, -0.01, 0.01, 0.01).contains(word.mm), qPrintable(token(slot, line)));
            ++found;
        }
    }
    // Nothing else on the sheets.
    QCOMPARE(int(pdf.words.size()), found);
    qInfo("%s: %d sheets of %d labels, %d lines per label, largest position error %.4f mm", qPrintable(product->title()),
          sheets, perSheet, lines, worst);
    QFile::remove(path);
}

QTEST_MAIN(TestLabelSheets)
#include "tst_labelsheets.moc"
