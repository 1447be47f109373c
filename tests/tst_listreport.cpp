#include "PdfText.h"
#include "TestPrintQueue.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "platform/Conventions.h"
#include "printing/ListReportTemplate.h"
#include "report/Band.h"
#include "reportui/PrintRecorder.h"
#include "report/Report.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"

#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace tavolux;

namespace {

TSchedaIndirizzo card(int n)
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = QStringLiteral("Cliente%1").arg(n, 3, 10, QLatin1Char('0'));
    c[TSchedaIndirizzo::Tipo] = QStringLiteral("Tipo%1").arg(n % 7);
    c[TSchedaIndirizzo::Note] = n % 3 ? QStringLiteral("Nota%1").arg(n) : QString();
    return c;
}

QString footerText()
{
    return QStringLiteral("Stampa eseguita in data ") + conventions::shortDate(QDate::currentDate());
}

} // namespace

class TestListReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void templateAsDesigned();
    void emptyListPrintsTitleAndDatedFooter();
    void longListSetsHeightsAndContinues();
    void cancelPrintsNothingAndKeepsTheList();
    void printFailuresShowTheirMessage_data();
    void printFailuresShowTheirMessage();
    void importDialogPrintsTheSameList();
    void pageCount_data();
    void pageCount();
    void printedThroughTheQueue_data();
    void printedThroughTheQueue();

private:
    void fill(int cards);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_window;
};

void TestListReport::initTestCase()
{
    conventions::apply();
}

void TestListReport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(m_dir->path()));
}

void TestListReport::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

void TestListReport::fill(int cards)
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (int n = 1; n <= cards; ++n)
        QVERIFY(archive.append(card(n)) > 0);
}

void TestListReport::templateAsDesigned()
{
    const auto document = ListReportTemplate::create();
    QCOMPARE(document->name(), QStringLiteral("Riepilogo dati"));
    const report::ReportPage &page = document->page();
    QCOMPARE(page.Orientation, report::Orientation::Landscape);
    QCOMPARE(page.paperSize(), QSizeF(297, 210));
    QCOMPARE(page.LeftMargin, 10.0);
    QCOMPARE(page.BottomMargin, 10.0);
    const auto *title = document->text(QStringLiteral("txtTitolo"));
    QCOMPARE(title->text(), QStringLiteral("Riepilogo"));
    QCOMPARE(title->rect(), QRectF(report::mmToUnits(2), report::mmToUnits(1), report::mmToUnits(273), report::mmToUnits(5)));
    QCOMPARE(title->Fill, QColor(0x70, 0x80, 0x90));
    QCOMPARE(title->FontColor, QColor(Qt::white));
    QCOMPARE(title->Font.family, QStringLiteral("Verdana"));
    QCOMPARE(title->Font.pointSize, 9.0);
    QVERIFY(title->Font.bold);
    QCOMPARE(title->HAlign, report::TextBox::Align::Center);
    const auto *list = document->text(QStringLiteral("txtRiepilogo"));
    QCOMPARE(list->Font.family, QStringLiteral("Courier New"));
    QCOMPARE(list->Font.pointSize, 8.0);
    QVERIFY(!list->WordWrap);
    QVERIFY(!list->Fill.isValid());
    QCOMPARE(list->rect(), QRectF(report::mmToUnits(3), 0, report::mmToUnits(273), report::mmToUnits(27)));
    const auto *footer = document->text(QStringLiteral("txtPagina"));
    QCOMPARE(footer->text(), QStringLiteral("Stampa eseguita in data [DATE]"));
    QCOMPARE(footer->rect(), QRectF(report::mmToUnits(3), report::mmToUnits(2), report::mmToUnits(272), report::mmToUnits(5)));
    QCOMPARE(footer->Font.pointSize, 8.0);
    QCOMPARE(document->band(QStringLiteral("ReportTitle"))->Height, report::mmToUnits(8));
    QCOMPARE(document->band(QStringLiteral("MasterData"))->Height, report::mmToUnits(28));
    QVERIFY(document->band(QStringLiteral("MasterData"))->AllowSplit);
    QCOMPARE(document->band(QStringLiteral("Footer"))->Height, report::mmToUnits(8));
}

void TestListReport::emptyListPrintsTitleAndDatedFooter()
{
    report::PrintRecorder printer;
    QTemporaryDir out;
    printer.answerPrintToFile(out.filePath(QStringLiteral("lista.pdf")));
    TfrmTrovaIndirizzi dialog(*m_window);
    dialog.show();
    dialog.btnStampa->click();
    QCOMPARE(printer.count(), 1);
    const auto &request = printer.requests().first();
    QCOMPARE(request.title, QStringLiteral("Riepilogo dati"));
    QCOMPARE(request.orientation, QPageLayout::Landscape);
    QCOMPARE(request.pages.size(), 1);
    const auto page = request.pages.first();
    QCOMPARE(page.texts(QStringLiteral("txtTitolo")).first().text, QStringLiteral("Riepilogo etichette in archivio"));
    QCOMPARE(page.texts(QStringLiteral("txtPagina")).first().text, footerText());
    QVERIFY(page.texts(QStringLiteral("txtRiepilogo")).isEmpty());
    QCOMPARE(dialog.frxReport->text(QStringLiteral("txtRiepilogo"))->Height, 0.0);
    QCOMPARE(dialog.frxReport->band(QStringLiteral("MasterData"))->Height, 10.0);
}

void TestListReport::longListSetsHeightsAndContinues()
{
    fill(120);
    report::PrintRecorder printer;
    QTemporaryDir out;
    printer.answerPrintToFile(out.filePath(QStringLiteral("lista.pdf")));
    TfrmTrovaIndirizzi dialog(*m_window);
    dialog.show();
    dialog.btnStampa->click();
    QCOMPARE(dialog.frxReport->text(QStringLiteral("txtRiepilogo"))->Height, 120 * 12.822);
    QCOMPARE(dialog.frxReport->band(QStringLiteral("MasterData"))->Height, 120 * 12.822 + 10);
    QCOMPARE(printer.count(), 1);
    const auto &pages = printer.requests().first().pages;
    QVERIFY2(pages.size() >= 2, "120 lines of 3.39 mm do not fit one landscape page");
    // Every entry once, in list order, unchanged; the title on page 1 only,
    // the footer after the last line.
    QStringList printed;
    for (int p = 0; p < pages.size(); ++p) {
        for (const auto &item : pages.at(p).texts(QStringLiteral("txtRiepilogo")))
            printed << item.text;
        QCOMPARE(pages.at(p).texts(QStringLiteral("txtTitolo")).size(), p == 0 ? 1 : 0);
        QCOMPARE(pages.at(p).texts(QStringLiteral("txtPagina")).size(), p == pages.size() - 1 ? 1 : 0);
    }
    QCOMPARE(printed, dialog.lines());
    const auto last = pages.last();
    QVERIFY(last.texts(QStringLiteral("txtPagina")).first().rect.top()
            > last.texts(QStringLiteral("txtRiepilogo")).last().rect.top());
}

void TestListReport::cancelPrintsNothingAndKeepsTheList()
{
    fill(5);
    report::PrintRecorder printer; // answers Cancel
    TfrmTrovaIndirizzi dialog(*m_window);
    dialog.show();
    dialog.txtTrova->setText(QStringLiteral("cliente003"));
    dialog.find();
    dialog.btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(dialog.currentLine(), 2);
    QCOMPARE(dialog.searchMemory(), QStringLiteral("cliente003"));
    QCOMPARE(dialog.lines().size(), 5);
    QVERIFY(dialog.isVisible());
}

void TestListReport::printFailuresShowTheirMessage_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("printer cannot start") << "printer" << "Attenzione: non è possibile scrivere il file \"%1\".\r\n\r\nAccertarsi che la cartella esista e di possedere i privilegi di scrittura.";
    QTest::newRow("no title box") << "title" << "Attenzione: il modello di stampa \"Riepilogo dati\" non contiene il testo txtTitolo.\r\n\r\nSi consiglia di reinstallare il software.";
    QTest::newRow("no data band") << "band" << "Attenzione: il modello di stampa \"Riepilogo dati\" non contiene la banda MasterData.\r\n\r\nSi consiglia di reinstallare il software.";
}

void TestListReport::printFailuresShowTheirMessage()
{
    // The dialog does not catch its printing failures: the program's general
    // handling shows their own message in an error box, and the dialog stays.
    QFETCH(QString, failure);
    QFETCH(QString, message);
    fill(3);
    ui::MessageRecorder messages;
    report::PrintRecorder printer;
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("missing/folder/lista.pdf"));
    printer.answerPrintToFile(target);
    TfrmTrovaIndirizzi dialog(*m_window);
    if (failure == QLatin1String("title")) {
        dialog.frxReport = std::make_unique<report::Report>(QStringLiteral("Riepilogo dati"));
    } else if (failure == QLatin1String("band")) {
        // The list box without its band: a page object of the same name.
        dialog.frxReport = std::make_unique<report::Report>(QStringLiteral("Riepilogo dati"));
        dialog.frxReport->page().addText(QStringLiteral("txtTitolo"), QRectF(0, 0, 10, 10));
        dialog.frxReport->page().addText(QStringLiteral("txtRiepilogo"), QRectF(0, 20, 10, 10));
    }
    dialog.show();
    try {
        dialog.btnStampa->click();
    } catch (...) {
        QFAIL("an exception crossed the print button's slot");
    }
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, ui::MessageKind::Error);
    QCOMPARE(messages.last().buttons, ui::MessageButtons::Ok);
    QCOMPARE(messages.last().text, failure == QLatin1String("printer") ? message.arg(target) : message);
    QCOMPARE(printer.count(), failure == QLatin1String("printer") ? 1 : 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.lines().size(), 3);
}

void TestListReport::importDialogPrintsTheSameList()
{
    fill(3);
    report::PrintRecorder printer;
    QTemporaryDir out;
    printer.answerPrintToFile(out.filePath(QStringLiteral("lista.pdf")));
    TfrmArchivio_Etichette labels{ProgramFolder(m_dir->path())};
    TfrmImportaIndirizzi dialog(labels);
    dialog.lblMemory->setText(TfrmArchivio_Etichette::slotTag(1));
    dialog.show();
    dialog.btnStampa->click();
    const auto page = printer.requests().first().pages.first();
    QCOMPARE(page.texts(QStringLiteral("txtTitolo")).first().text, QStringLiteral("Riepilogo etichette in archivio"));
    QCOMPARE(page.texts(QStringLiteral("txtRiepilogo")).size(), 3);
}

// Lines on each page of a list of n lines, worked out from the room alone:
// the printable area of landscape A4 inside 10 mm margins is 190 mm high, the
// title takes 8 mm of the first page, a line 12.822 units, and the 8 mm
// footer follows on the page of the last line. A page holds the whole lines
// that fit; when the rest of the list fits a page but the footer does not fit
// under it, the last line goes on to the next page with the footer, so that
// no page holds the footer alone.
QList<int> linesPerPage(int n)
{
    const double area = report::mmToUnits(190);
    const double strip = report::mmToUnits(8); // the title, and the footer
    QList<int> pages;
    int rest = n;
    double room = area - strip;
    for (;;) {
        const int whole = int(std::floor((room + 1e-6) / ListReportTemplate::kLineHeight));
        if (rest * ListReportTemplate::kLineHeight + strip <= room + 1e-6) {
            pages << rest;
            return pages;
        }
        if (rest <= whole) {
            pages << rest - 1;
            rest = 1;
        } else {
            pages << whole;
            rest -= whole;
        }
        room = area;
    }
}

void TestListReport::pageCount_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("perPage"); // lines on each page

    // A few worked by hand: 53 lines fill the first page (179.8 of its 182
    // mm), 56 a later one (189.9 of 190); the footer fits under 51 lines on
    // the first page (18 + 173.0 + 8 = 199.0 mm down the sheet) and under 53
    // on a later one.
    const QList<QPair<int, QList<int>>> byHand{
        {0, {0}}, {1, {1}}, {50, {50}}, {51, {51}}, {52, {51, 1}}, {53, {52, 1}}, {54, {53, 1}},
        {106, {53, 53}}, {107, {53, 53, 1}}, {109, {53, 55, 1}}, {110, {53, 56, 1}}, {162, {53, 56, 53}},
        {165, {53, 56, 55, 1}}, {500, {53, 56, 56, 56, 56, 56, 56, 56, 54, 1}},
    };
    for (const auto &row : byHand) {
        QCOMPARE(linesPerPage(row.first), row.second);
        QTest::addRow("%d lines, by hand", row.first) << row.first << row.second;
    }
    for (int n = 0; n <= 1000; ++n)
        QTest::addRow("%d lines", n) << n << linesPerPage(n);
}

void TestListReport::pageCount()
{
    QFETCH(int, lines);
    QFETCH(QList<int>, perPage);
    QStringList list;
    for (int n = 1; n <= lines; ++n)
        list << QStringLiteral("Cliente%1  Tipo: Prova  Note: ").arg(n, 4, 10, QLatin1Char('0'));
    const auto document = ListReportTemplate::create();
    ListReportTemplate::fill(*document, list);
    document->PrepareReport();
    const auto &prepared = document->preparedPages();

    QList<int> found;
    QStringList printed;
    for (const auto &page : prepared) {
        found << int(page.texts(QStringLiteral("txtRiepilogo")).size());
        for (const auto &item : page.texts(QStringLiteral("txtRiepilogo")))
            printed << item.text;
        QVERIFY(!page.texts().isEmpty()); // no blank page
    }
    QCOMPARE(found, perPage);
    QCOMPARE(printed, list);
    for (int p = 0; p < prepared.size(); ++p)
        QCOMPARE(prepared.at(p).texts(QStringLiteral("txtPagina")).size(), p == prepared.size() - 1 ? 1 : 0);

    // Lines 12.822 units apart, the first of each page at the band's top.
    const double areaTop = report::mmToUnits(10);
    const double areaBottom = report::mmToUnits(200);
    for (int p = 0; p < prepared.size(); ++p) {
        const auto items = prepared.at(p).texts(QStringLiteral("txtRiepilogo"));
        const double top = areaTop + (p == 0 ? report::mmToUnits(8) : 0);
        for (int i = 0; i < items.size(); ++i)
            QVERIFY2(qAbs(items.at(i).rect.top() - (top + i * ListReportTemplate::kLineHeight)) < 1e-6,
                     qPrintable(QStringLiteral("page %1 line %2").arg(p + 1).arg(i + 1)));
    }
    // The footer: 10 units below the last line where there is room for it,
    // else as far down as the page allows, never over a line.
    const auto last = prepared.last();
    const auto footer = last.rects(QStringLiteral("txtPagina"));
    QCOMPARE(footer.size(), 1);
    const double footerBand = footer.first().rect.top() - report::mmToUnits(2);
    const auto items = last.texts(QStringLiteral("txtRiepilogo"));
    const double linesEnd = items.isEmpty() ? areaTop + (prepared.size() == 1 ? report::mmToUnits(8) : 0)
                                            : items.last().rect.top() + ListReportTemplate::kLineHeight;
    const double expected = std::min(linesEnd + 10, areaBottom - report::mmToUnits(8));
    QVERIFY2(qAbs(footerBand - expected) < 1e-6, qPrintable(QStringLiteral("footer at %1, expected %2").arg(footerBand).arg(expected)));
    QVERIFY(footerBand >= linesEnd - 1e-6);
}

void TestListReport::printedThroughTheQueue_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("pages");
    QTest::newRow("70 cards") << 70 << 2;
    QTest::newRow("51 cards") << 51 << 1;
    QTest::newRow("53 cards") << 53 << 2;
    QTest::newRow("500 cards") << 500 << 10;
    QTest::newRow("1000 cards") << 1000 << 18;
}

void TestListReport::printedThroughTheQueue()
{
    QFETCH(int, cards);
    QFETCH(int, pages);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    fill(cards);
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QSet<QString> before = queue.files(QStringLiteral("Riepilogo dati"));
    TfrmTrovaIndirizzi dialog(*m_window);
    dialog.show();
    dialog.btnStampa->click();
    QString why;
    const QString path = queue.waitForPdf(QStringLiteral("Riepilogo dati"), before, &why);
    QVERIFY2(!path.isEmpty(), qPrintable(why));
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), pages);
    QString all;
    for (int p = 0; p < pdf.pagesMm.size(); ++p)
        all += pdf.pageText(p) + QLatin1Char(' ');
    for (int n = 1; n <= std::min(cards, 70); ++n)
        QVERIFY2(all.contains(QStringLiteral("Cliente%1").arg(n, 3, 10, QLatin1Char('0'))), qPrintable(QString::number(n)));
    QVERIFY(all.contains(QStringLiteral("Riepilogo etichette in archivio")));
    QVERIFY(all.contains(footerText()));
    // In list order: Cliente001 comes before Cliente070.
    if (cards >= 70)
        QVERIFY(all.indexOf(QStringLiteral("Cliente001")) < all.indexOf(QStringLiteral("Cliente070")));
    QCOMPARE(int(all.count(QStringLiteral("Tipo:"))), cards);

    // No blank page, and none with the footer alone.
    for (int p = 0; p < pdf.pagesMm.size(); ++p) {
        QVERIFY2(!pdf.pageText(p).isEmpty(), qPrintable(QStringLiteral("page %1 is blank").arg(p + 1)));
        QVERIFY2(pdf.pageText(p) != footerText(), qPrintable(QStringLiteral("page %1 holds only the footer").arg(p + 1)));
    }
    // The footer inside the printable area, on the page of the last line.
    for (const PdfWord &word : pdf.words) {
        if (word.page != pdf.pagesMm.size() - 1)
            continue;
        const bool turned = pdf.pagesMm.at(word.page).width() < pdf.pagesMm.at(word.page).height();
        QVERIFY2((turned ? word.mm.right() : word.mm.bottom()) < 200 + 0.01, qPrintable(word.text));
    }

    // Every run at its box's size: the title at 9 pt, the list and the footer at 8.
    const PdfRuns runs = readPdfRuns(path);
    QVERIFY2(runs.error.isEmpty(), qPrintable(runs.error));
    QCOMPARE(runs.pages, pages);
    double worst = 0;
    for (const PdfRun &run : runs.runs) {
        const double expected = run.text.contains(QStringLiteral("Riepilogo")) ? 9 : 8;
        worst = std::max(worst, qAbs(run.pointSize - expected));
        QVERIFY2(qAbs(run.pointSize - expected) < 0.01,
                 qPrintable(QStringLiteral("\"%1\" at %2 pt, expected %3 pt").arg(run.text).arg(run.pointSize).arg(expected)));
    }
    qInfo("%d cards through CUPS: %d pages, %d runs at their sizes within %.6f pt", cards, runs.pages,
          int(runs.runs.size()), worst);
    QFile::remove(path);
}

QTEST_MAIN(TestListReport)
#include "tst_listreport.moc"
