#include "PdfText.h"
#include "TestPrintQueue.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "platform/Conventions.h"
#include "printing/ListReportTemplate.h"
#include "report/Band.h"
#include "report/PrintRecorder.h"
#include "report/Report.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "storage/AddressArchive.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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
    void importDialogPrintsTheSameList();
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

void TestListReport::printedThroughTheQueue()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    fill(70);
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
    QVERIFY(pdf.pagesMm.size() >= 2);
    QString all;
    for (int p = 0; p < pdf.pagesMm.size(); ++p)
        all += pdf.pageText(p) + QLatin1Char(' ');
    for (int n = 1; n <= 70; ++n)
        QVERIFY2(all.contains(QStringLiteral("Cliente%1").arg(n, 3, 10, QLatin1Char('0'))), qPrintable(QString::number(n)));
    QVERIFY(all.contains(QStringLiteral("Riepilogo etichette in archivio")));
    QVERIFY(all.contains(footerText()));
    // In list order: Cliente001 comes before Cliente070.
    QVERIFY(all.indexOf(QStringLiteral("Cliente001")) < all.indexOf(QStringLiteral("Cliente070")));
}

QTEST_MAIN(TestListReport)
#include "tst_listreport.moc"
