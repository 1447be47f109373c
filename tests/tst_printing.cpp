#include "PdfText.h"
#include "TestPrintQueue.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/LabelPageTemplate.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmStampaPagina.h"
#include "report/TextFont.h"
#include "reportui/PreviewRecorder.h"
#include "reportui/PrintRecorder.h"
#include "report/Report.h"
#include "reportui/ReportHooks.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>
#include <QTimer>

#include <memory>

using namespace tavolux;
using report::PlacedItem;
using report::PreparedPage;

namespace {

constexpr double kExact = 1e-3;    // mm, for layout
constexpr double kPrinted = 0.3;   // mm, for positions read back from a PDF
const QColor kLightYellow(0xFF, 0xFF, 0xE0);

// Where line n of a slot's label starts, in mm from the paper's corner:
// 10 mm margin, labels 64 mm apart across and 35 mm down, the text 2 mm in
// from the label's left and 2 mm down from its top (1.8 mm in the top row),
// lines 5 mm apart.
QPointF labelLineMm(int slot, int line)
{
    const int row = (slot - 1) / 3;
    const int column = (slot - 1) % 3;
    return QPointF(10 + 64 * column + 2, 10 + 35 * row + (row == 0 ? 1.8 : 2.0) + 5 * (line - 1));
}

QString distinctLine(int slot, int line)
{
    return QStringLiteral("S%1L%2 riga di prova").arg(slot, 2, 10, QLatin1Char('0')).arg(line);
}

QPointF topLeftMm(const PlacedItem &item)
{
    return item.rect.topLeft() / report::kUnitsPerMm;
}

bool near(const QPointF &a, const QPointF &b, double tolerance)
{
    return qAbs(a.x() - b.x()) < tolerance && qAbs(a.y() - b.y()) < tolerance;
}

QString where(const QPointF &found, const QPointF &expected)
{
    return QStringLiteral("at %1, %2 mm; expected %3, %4 mm")
        .arg(found.x(), 0, 'f', 3).arg(found.y(), 0, 'f', 3).arg(expected.x(), 0, 'f', 3).arg(expected.y(), 0, 'f', 3);
}

// The ascent of Arial at a size, in mm: the baseline lies that far below
// the top of the line.
double arialAscentMm(double pointSize)
{
    return report::FontMeasure(report::TextFont{QStringLiteral("Arial"), pointSize}).ascent() / report::kUnitsPerMm;
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// Every run of the PDF at "points", or a description of the first that is not.
QString wrongSize(const PdfRuns &runs, double points)
{
    if (!runs.error.isEmpty())
        return runs.error;
    if (runs.runs.isEmpty())
        return QStringLiteral("no text in the PDF");
    for (const PdfRun &run : runs.runs)
        if (qAbs(run.pointSize - points) >= 0.01)
            return QStringLiteral("\"%1\" at %2 pt, expected %3 pt").arg(run.text).arg(run.pointSize).arg(points);
    return QString();
}

// A line longer than a label's box (58.2 mm in Arial 7 pt).
const QString kLongTail = QStringLiteral(" e poi una coda molto lunga che non entra nella casella dell'etichetta");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Label-page template
    void labelGeometry_data();
    void labelGeometry();
    void labelBackgrounds();
    void labelLinesAsSet_data();
    void labelLinesAsSet();

    // Label-page dialogs
    void labelDialogsFrame_data();
    void labelDialogsFrame();
    void pagePreviewReadsLinesWhenPressed();
    void pagePrint();
    void labelDialogsCancel_data();
    void labelDialogsCancel();
    void labelDialogsReportFailures_data();
    void labelDialogsReportFailures();
    void oneAddressPreview_data();
    void oneAddressPreview();

    // Envelope
    void envelopeTemplate();
    void envelopeOpens_data();
    void envelopeOpens();
    void envelopeLayout_data();
    void envelopeLayout();
    void envelopeFirstPrintWritesFile();
    void envelopeKeepsOtherSettings();
    void envelopeSaveSteps();
    void envelopeSteps_data();
    void envelopeSteps();
    void envelopeStepOnBadValueFails();
    void envelopeFailuresWarn_data();
    void envelopeFailuresWarn();
    void envelopeCancelSavesNothing();
    void envelopeWaitNotice();
    void envelopeBlankCard();

    // The address window opens its two dialogs
    void addressWindowOpensDialogs();

    // Printed for real through the cups-pdf test queue
    void cupsFullLabelPage();
    void cupsOneAddressPage();
    void cupsEnvelope_data();
    void cupsEnvelope();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Impostazioni.ini")); }
    std::unique_ptr<TfrmStampaBusta> envelope(const QStringList &lines);
    QString printQueuePdf(const QString &title, const std::function<void()> &print);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ui::MessageRecorder> m_messages;
    QStringList m_lines;
};

void TestPrinting::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_lines = QStringList{QStringLiteral("Spett.le"), QStringLiteral("Studio Rossi"), QStringLiteral("Via Roma 1"),
                          QStringLiteral("20121 Milano"), QStringLiteral("MI"), QStringLiteral("Italia")};
}

void TestPrinting::cleanup()
{
    m_messages.reset();
    m_dir.reset();
}

std::unique_ptr<TfrmStampaBusta> TestPrinting::envelope(const QStringList &lines)
{
    m_lines = lines;
    return std::make_unique<TfrmStampaBusta>(ProgramFolder(m_dir->path()), [this] { return m_lines; });
}

// ---------------------------------------------------------------- label page

void TestPrinting::labelGeometry_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("line");
    QTest::addColumn<QPointF>("expected");
    // Hand-worked corners of the sheet.
    QTest::newRow("E01 line 1, 1.8 mm down") << 1 << 1 << QPointF(12, 11.8);
    QTest::newRow("E03 line 1") << 3 << 1 << QPointF(140, 11.8);
    QTest::newRow("E04 line 1, 2 mm down") << 4 << 1 << QPointF(12, 47);
    QTest::newRow("E02 line 6") << 2 << 6 << QPointF(76, 36.8);
    QTest::newRow("E24 line 6") << 24 << 6 << QPointF(140, 282);
    // And every slot and line by the rule.
    for (int slot = 1; slot <= 24; ++slot)
        for (int line = 1; line <= 6; ++line)
            QTest::addRow("E%02d line %d", slot, line) << slot << line << labelLineMm(slot, line);
}

void TestPrinting::labelGeometry()
{
    QFETCH(int, slot);
    QFETCH(int, line);
    QFETCH(QPointF, expected);

    auto document = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
    const QString name = QStringLiteral("txtRigo%1_E%2").arg(line, 2, 10, QLatin1Char('0')).arg(slot, 2, 10, QLatin1Char('0'));
    report::TextBox *box = document->text(name);
    QCOMPARE(box->Font.family, QStringLiteral("Arial"));
    QCOMPARE(box->Font.pointSize, 7.0);
    QVERIFY(!box->Font.bold && !box->Font.italic);
    QCOMPARE(box->FontColor, QColor(Qt::black));
    QVERIFY(!box->Fill.isValid());
    QVERIFY(!box->WordWrap);
    QVERIFY(!box->AllowExpressions);
    QVERIFY(qAbs(box->Width - 219.96850394) < 1e-6);
    QVERIFY(qAbs(box->Height - 13.22834646) < 1e-6);

    box->setText(QStringLiteral("Testo"));
    document->PrepareReport();
    const QList<PlacedItem> placed = document->preparedPages().first().texts(name);
    QCOMPARE(placed.size(), 1);
    QVERIFY2(near(topLeftMm(placed.first()), expected, kExact), qPrintable(where(topLeftMm(placed.first()), expected)));
    // The box's edges: text is cut 58.2 mm to the right and 3.5 mm down.
    const QRectF clip(placed.first().clip.topLeft() / report::kUnitsPerMm, placed.first().clip.size() / report::kUnitsPerMm);
    QVERIFY(qAbs(clip.width() - 58.2) < kExact && qAbs(clip.height() - 3.5) < kExact);
}

void TestPrinting::labelBackgrounds()
{
    // An empty page: 24 light-yellow labels, no text.
    auto document = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
    const report::ReportPage &page = document->page();
    QCOMPARE(page.name(), QStringLiteral("Page1"));
    QCOMPARE(page.paperSize(), QSizeF(210, 297));
    QCOMPARE(page.LeftMargin, 10.0);
    QCOMPARE(page.TopMargin, 10.0);
    QCOMPARE(page.RightMargin, 10.0);
    QCOMPARE(page.BottomMargin, 10.0);
    QCOMPARE(document->previewButtons(), report::Report::PreviewButtons(report::Report::PreviewPrint | report::Report::PreviewZoom
                                                                         | report::Report::PreviewFullScreen | report::Report::PreviewClose));
    document->PrepareReport();
    QCOMPARE(document->preparedPages().size(), 1);
    const PreparedPage &prepared = document->preparedPages().first();
    QVERIFY(prepared.texts().isEmpty());
    QCOMPARE(prepared.rects().size(), 24);

    const QStringList names{"Shape2", "Shape1", "Shape3", "Shape4", "Shape11", "Shape18", "Shape5", "Shape12", "Shape19",
                            "Shape6", "Shape13", "Shape20", "Shape7", "Shape14", "Shape21", "Shape8", "Shape15", "Shape22",
                            "Shape9", "Shape16", "Shape23", "Shape10", "Shape17", "Shape24"};
    for (int slot = 1; slot <= 24; ++slot) {
        const QList<PlacedItem> rect = prepared.rects(names.at(slot - 1));
        QCOMPARE(rect.size(), 1);
        QCOMPARE(rect.first().fill, kLightYellow);
        QCOMPARE(rect.first().outline, kLightYellow);
        const QPointF corner = labelLineMm(slot, 1) - QPointF(2, slot <= 3 ? 1.8 : 2.0);
        QVERIFY2(near(topLeftMm(rect.first()), corner, kExact), qPrintable(where(topLeftMm(rect.first()), corner)));
        QVERIFY(qAbs(rect.first().rect.width() / report::kUnitsPerMm - 62) < kExact);
        QVERIFY(qAbs(rect.first().rect.height() / report::kUnitsPerMm - 32) < kExact);
    }
    // The last label ends 10 mm from the paper's right and bottom edges.
    const QRectF last = prepared.rects(QStringLiteral("Shape24")).first().rect;
    QVERIFY(qAbs(last.right() / report::kUnitsPerMm - 200) < kExact);
    QVERIFY(qAbs(last.bottom() / report::kUnitsPerMm - 287) < kExact);
}

void TestPrinting::labelLinesAsSet_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("printed");
    QTest::newRow("trimmed") << " \t Via Roma 1  \r" << "Via Roma 1";
    QTest::newRow("date as typed") << "Consegna entro [DATE]" << "Consegna entro [DATE]";
    QTest::newRow("empty") << "   " << "";
}

void TestPrinting::labelLinesAsSet()
{
    QFETCH(QString, typed);
    QFETCH(QString, printed);
    report::PreviewRecorder previews;
    TfrmAnteprima_Etichette dialog([&](int slot, int line) { return slot == 5 && line == 2 ? typed : QString(); });
    dialog.btnStampa->click();
    QCOMPARE(previews.count(), 1);
    const PreparedPage &page = previews.previews().first().pages.first();
    QCOMPARE(page.rects().size(), 24);
    const QList<PlacedItem> texts = page.texts();
    QCOMPARE(texts.size(), printed.isEmpty() ? 0 : 1);
    if (!printed.isEmpty()) {
        QCOMPARE(texts.first().source, QStringLiteral("txtRigo02_E05"));
        QCOMPARE(texts.first().text, printed);
    }
}

// ----------------------------------------------------------- label dialogs

void TestPrinting::labelDialogsFrame_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("action");
    QTest::newRow("page preview") << "TfrmAnteprima_Etichette" << " Anteprima di stampa" << "Mostra anteprima";
    QTest::newRow("page print") << "TfrmStampaPagina" << " Stampa pagina etichette" << "Stampa";
    QTest::newRow("one address") << "TfrmAnteprima_Etichetta" << " Anteprima di stampa" << "Mostra anteprima";
}

void TestPrinting::labelDialogsFrame()
{
    QFETCH(QString, dialog);
    QFETCH(QString, caption);
    QFETCH(QString, action);

    // Creation sets the process-wide conventions, whatever they were.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::unique_ptr<LabelPrintDialog> frame;
    if (dialog == QLatin1String("TfrmAnteprima_Etichette"))
        frame = std::make_unique<TfrmAnteprima_Etichette>([](int, int) { return QString(); });
    else if (dialog == QLatin1String("TfrmStampaPagina"))
        frame = std::make_unique<TfrmStampaPagina>([](int, int) { return QString(); });
    else
        frame = std::make_unique<TfrmAnteprima_Etichetta>([] { return QStringList(); });
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));

    QCOMPARE(frame->objectName(), dialog);
    QCOMPARE(frame->windowTitle(), caption);
    QCOMPARE(frame->size(), QSize(364, 287));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
    QVERIFY(!(frame->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(frame->btnAnnulla->text(), QStringLiteral("Annulla"));
    QCOMPARE(frame->btnStampa->text(), action);
    QVERIFY(!frame->imgInfo01->pixmap().isNull());
    QVERIFY(!frame->imgInfo02->pixmap().isNull());
    frame->show();
    QVERIFY(frame->btnAnnulla->geometry().center().x() < frame->btnStampa->geometry().center().x());
}

void TestPrinting::pagePreviewReadsLinesWhenPressed()
{
    QString stored = QStringLiteral("prima");
    report::PreviewRecorder previews;
    TfrmAnteprima_Etichette dialog([&](int slot, int line) { return QStringLiteral("%1 %2.%3").arg(stored).arg(slot).arg(line); });
    dialog.show();
    stored = QStringLiteral("dopo"); // an edit made after the dialog opened
    dialog.btnStampa->click();

    QCOMPARE(previews.count(), 1);
    const auto &preview = previews.previews().first();
    QCOMPARE(preview.caption, QStringLiteral("Pagina Etichette"));
    QCOMPARE(preview.buttons, dialog.repDocumento->previewButtons());
    QCOMPARE(preview.pages.size(), 1);
    const QList<PlacedItem> texts = preview.pages.first().texts();
    QCOMPARE(texts.size(), 144);
    for (int slot = 1; slot <= 24; ++slot)
        for (int line = 1; line <= 6; ++line) {
            const QList<PlacedItem> item = preview.pages.first().texts(LabelPageTemplate::lineName(slot, line));
            QCOMPARE(item.size(), 1);
            QCOMPARE(item.first().text, QStringLiteral("dopo %1.%2").arg(slot).arg(line));
        }
    // The dialog closes when the preview does.
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestPrinting::pagePrint()
{
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    TfrmStampaPagina dialog([](int slot, int line) { return distinctLine(slot, line); });
    dialog.show();
    dialog.btnStampa->click(); // the print dialog answers Cancel
    QCOMPARE(previews.count(), 0);
    QCOMPARE(printer.count(), 1);
    const auto &request = printer.requests().first();
    QCOMPARE(request.title, QStringLiteral("Pagina Etichette"));
    QCOMPARE(request.orientation, QPageLayout::Portrait);
    QVERIFY(qAbs(request.paperMm.width() - 210) < 0.5 && qAbs(request.paperMm.height() - 297) < 0.5);
    QCOMPARE(request.pages.size(), 1);
    QCOMPARE(request.pages.first().texts().size(), 144);
    QCOMPARE(request.pages.first().texts(QStringLiteral("txtRigo04_E17")).first().text, distinctLine(17, 4));
    // Cancelled, and closed all the same.
    QVERIFY(!dialog.isVisible());
}

void TestPrinting::labelDialogsCancel_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("page preview") << 0;
    QTest::newRow("page print") << 1;
    QTest::newRow("one address") << 2;
}

void TestPrinting::labelDialogsCancel()
{
    QFETCH(int, which);
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    int reads = 0;
    auto lineOf = [&](int, int) { ++reads; return QStringLiteral("x"); };
    std::unique_ptr<LabelPrintDialog> dialog;
    if (which == 0)
        dialog = std::make_unique<TfrmAnteprima_Etichette>(lineOf);
    else if (which == 1)
        dialog = std::make_unique<TfrmStampaPagina>(lineOf);
    else
        dialog = std::make_unique<TfrmAnteprima_Etichetta>([&] { ++reads; return QStringList(); });
    dialog->show();
    dialog->btnAnnulla->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(reads, 0);
    QCOMPARE(printer.count() + previews.count(), 0);
}

void TestPrinting::labelDialogsReportFailures_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("badTemplate"); // else the printer cannot start
    QTest::addColumn<QString>("message");
    const QString noPrinter = QStringLiteral("Attenzione: non è possibile scrivere il file \"%1\".\r\n\r\nAccertarsi che la cartella esista e di possedere i privilegi di scrittura.");
    QTest::newRow("page print, printer") << 1 << false << noPrinter;
    QTest::newRow("page print, template") << 1 << true
                                          << "Attenzione: il modello di stampa \"Pagina Etichette\" non contiene il testo txtRigo01_E01.\r\n\r\nSi consiglia di reinstallare il software.";
    QTest::newRow("page preview, template") << 0 << true
                                            << "Attenzione: il modello di stampa \"Pagina Etichette\" non contiene il testo txtRigo01_E01.\r\n\r\nSi consiglia di reinstallare il software.";
    QTest::newRow("page preview, printed from it") << 0 << false << noPrinter;
    QTest::newRow("one address, printed from it") << 2 << false << noPrinter;
}

void TestPrinting::labelDialogsReportFailures()
{
    // The dialogs catch nothing: a failure shows its own message in the
    // program's error box, and no exception crosses the button's slot.
    QFETCH(int, which);
    QFETCH(bool, badTemplate);
    QFETCH(QString, message);
    const QString target = m_dir->filePath(QStringLiteral("missing/folder/out.pdf"));
    report::PrintRecorder printer;
    printer.answerPrintToFile(target);
    report::PreviewRecorder previews;
    previews.pressPrint();
    std::unique_ptr<LabelPrintDialog> dialog;
    std::unique_ptr<report::Report> *document = nullptr;
    if (which == 0) {
        auto preview = std::make_unique<TfrmAnteprima_Etichette>([](int, int) { return QStringLiteral("x"); });
        document = &preview->repDocumento;
        dialog = std::move(preview);
    } else if (which == 1) {
        auto print = std::make_unique<TfrmStampaPagina>([](int, int) { return QStringLiteral("x"); });
        document = &print->repDocumento;
        dialog = std::move(print);
    } else {
        auto preview = std::make_unique<TfrmAnteprima_Etichetta>([] { return QStringList{"x"}; });
        document = &preview->repDocumento;
        dialog = std::move(preview);
    }
    if (badTemplate)
        *document = std::make_unique<report::Report>((*document)->name());
    dialog->show();
    try {
        dialog->btnStampa->click();
    } catch (...) {
        QFAIL("an exception crossed the button's slot");
    }
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Error);
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    QCOMPARE(m_messages->last().text, message.contains(QLatin1String("%1")) ? message.arg(target) : message);
    QCOMPARE(printer.count(), badTemplate ? 0 : 1);
    QVERIFY(!dialog->isVisible());
}

void TestPrinting::oneAddressPreview_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("lines 1 to 3") << QStringList{"  Mario Rossi ", "Via Roma 1", "20121 Milano", "", "", ""};
    QTest::newRow("all six") << QStringList{"a", "b", "c", "d", "e", "f"};
    QTest::newRow("all empty") << QStringList{"", "", "", "", "", ""};
}

void TestPrinting::oneAddressPreview()
{
    QFETCH(QStringList, lines);
    report::PreviewRecorder previews;
    QStringList shown;
    TfrmAnteprima_Etichetta dialog([&] { return shown; });
    shown = lines; // read when the button is pressed
    dialog.btnStampa->click();
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.previews().first().caption, QStringLiteral("Anteprima Etichetta"));
    const PreparedPage &page = previews.previews().first().pages.first();
    QCOMPARE(page.rects().size(), 24);
    int filled = 0;
    for (int line = 1; line <= 6; ++line) {
        const QString expected = lines.at(line - 1).trimmed();
        filled += expected.isEmpty() ? 0 : 1;
        for (int slot = 1; slot <= 24; ++slot) {
            const QList<PlacedItem> item = page.texts(LabelPageTemplate::lineName(slot, line));
            QCOMPARE(item.size(), expected.isEmpty() ? 0 : 1);
            if (!expected.isEmpty()) {
                QCOMPARE(item.first().text, expected);
                QVERIFY(near(topLeftMm(item.first()), labelLineMm(slot, line), kExact));
            }
        }
    }
    QCOMPARE(page.texts().size(), 24 * filled);
    QVERIFY(!dialog.isVisible());
}

// ------------------------------------------------------------------ envelope

void TestPrinting::envelopeTemplate()
{
    auto document = EnvelopeTemplate::create();
    QCOMPARE(document->name(), QStringLiteral("Indirizzo su Busta"));
    const report::ReportPage &page = document->page();
    QCOMPARE(page.paperSize(), QSizeF(210, 297));
    QCOMPARE(page.Orientation, report::Orientation::Portrait);
    QCOMPARE(page.LeftMargin + page.TopMargin + page.RightMargin + page.BottomMargin, 0.0);
    for (int line = 1; line <= 6; ++line) {
        report::TextBox *box = document->text(QStringLiteral("txtRigo0%1").arg(line));
        QVERIFY(qAbs(box->Left - 449.76407) < 1e-6);
        QVERIFY(qAbs(box->Top - (215.4330708661417 + (line - 1) * 5 * 96 / 25.4)) < 1e-6);
        QVERIFY(qAbs(box->Width - 340.15748031) < 1e-6);
        QVERIFY(qAbs(box->Height - 16.62992126) < 1e-6);
        QCOMPARE(box->Font.family, QStringLiteral("Arial"));
        QCOMPARE(box->Font.pointSize, 10.0);
        QVERIFY(!box->Font.bold && !box->WordWrap && !box->AllowExpressions);
    }
}

void TestPrinting::envelopeOpens_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("portrait");

    QTest::newRow("no file") << QByteArray() << "0" << "0" << true;
    QTest::newRow("stored") << QByteArray("[Margini Busta]\r\nSuperiore=-3\r\nSinistro=12\r\n[Stampa Busta]\r\nOrientamento=Orizzontale\r\n")
                            << "-3" << "12" << false;
    QTest::newRow("odd case of names") << QByteArray("[margini busta]\r\nSUPERIORE=4\r\n[STAMPA BUSTA]\r\norientamento=  Orizzontale \r\n")
                                       << "4" << "0" << false;
    QTest::newRow("lower-case value") << QByteArray("[Stampa Busta]\r\nOrientamento=orizzontale\r\n") << "0" << "0" << true;
    QTest::newRow("other value") << QByteArray("[Stampa Busta]\r\nOrientamento=Panorama\r\n") << "0" << "0" << true;
    QTest::newRow("empty top") << QByteArray("[Margini Busta]\r\nSuperiore=\r\nSinistro=7\r\n") << "0" << "7" << true;
    QTest::newRow("not a number, as stored") << QByteArray("[Margini Busta]\r\nSuperiore=abc\r\n") << "abc" << "0" << true;
}

void TestPrinting::envelopeOpens()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(bool, portrait);
    if (!ini.isEmpty())
        writeFile(iniPath(), ini);
    auto dialog = envelope(m_lines);
    QCOMPARE(dialog->txtTop->text(), top);
    QCOMPARE(dialog->txtLeft->text(), left);
    QCOMPARE(dialog->optVerticale->isChecked(), portrait);
    QCOMPARE(dialog->optOrizzontale->isChecked(), !portrait);
    // Opening writes nothing.
    QCOMPARE(QFile::exists(iniPath()), !ini.isEmpty());

    QCOMPARE(dialog->windowTitle(), QStringLiteral(" Stampa indirizzo su busta"));
    QCOMPARE(dialog->size(), QSize(498, 470));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(dialog->panOrientamento->title(), QStringLiteral("Orientamento:"));
    QVERIFY(dialog->txtTop->isReadOnly() && dialog->txtLeft->isReadOnly());
    QCOMPARE(dialog->txtTop->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(dialog->txtTop->font().bold());
    QCOMPARE(dialog->lblAttendere->text(), QStringLiteral("Elaborazione in corso. Attendere..."));
    dialog->show();
    QVERIFY(!dialog->lblAttendere->isVisible());
    QVERIFY(!dialog->btnApplicaTop->isVisible() && !dialog->btnApplicaLeft->isVisible());
    QVERIFY(dialog->btnAnnulla->geometry().center().x() < dialog->btnStampa->geometry().center().x());
}

void TestPrinting::envelopeLayout_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QPointF>("firstLine"); // mm from the paper's corner
    QTest::addColumn<QSizeF>("paper");

    QTest::newRow("portrait 0, 0") << "Verticale" << "0" << "0" << QPointF(119, 57) << QSizeF(210, 297);
    QTest::newRow("portrait -3, 12") << "Verticale" << "-3" << "12" << QPointF(131, 54) << QSizeF(210, 297);
    QTest::newRow("decimal comma") << "Verticale" << "2,5" << "-0,5" << QPointF(118.5, 59.5) << QSizeF(210, 297);
    QTest::newRow("landscape 0, 0") << "Orizzontale" << "0" << "0" << QPointF(119, 57) << QSizeF(297, 210);
    QTest::newRow("landscape -3, 12") << "Orizzontale" << "-3" << "12" << QPointF(131, 54) << QSizeF(297, 210);
}

void TestPrinting::envelopeLayout()
{
    QFETCH(QString, orientation);
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QPointF, firstLine);
    QFETCH(QSizeF, paper);
    writeFile(iniPath(), QStringLiteral("[Margini Busta]\r\nSuperiore=%1\r\nSinistro=%2\r\n[Stampa Busta]\r\nOrientamento=%3\r\n")
                             .arg(top, left, orientation).toLatin1());
    report::PrintRecorder printer;
    auto dialog = envelope({"Riga1", "Riga2", "", "Riga4", "Riga5", "Riga6"});
    dialog->show();
    m_lines[0] = QStringLiteral("  Riga1  "); // an edit after opening, printed trimmed
    dialog->btnStampa->click();

    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(printer.count(), 1);
    const auto &request = printer.requests().first();
    QCOMPARE(request.title, QStringLiteral("Indirizzo su Busta"));
    QCOMPARE(request.orientation, orientation == QLatin1String("Verticale") ? QPageLayout::Portrait : QPageLayout::Landscape);
    const PreparedPage &page = request.pages.first();
    QCOMPARE(page.paper / report::kUnitsPerMm, paper);
    QCOMPARE(page.texts().size(), 5);
    for (int line = 1; line <= 6; ++line) {
        const QList<PlacedItem> item = page.texts(QStringLiteral("txtRigo0%1").arg(line));
        if (line == 3) {
            QVERIFY(item.isEmpty()); // an empty line prints nothing; the others keep their places
            continue;
        }
        QCOMPARE(item.size(), 1);
        QCOMPARE(item.first().text, QStringLiteral("Riga%1").arg(line));
        const QPointF expected = firstLine + QPointF(0, 5 * (line - 1));
        QVERIFY2(near(topLeftMm(item.first()), expected, kExact), qPrintable(where(topLeftMm(item.first()), expected)));
    }
    QVERIFY(!dialog->isVisible());
}

void TestPrinting::envelopeFirstPrintWritesFile()
{
    report::PrintRecorder printer; // the print dialog is cancelled
    auto dialog = envelope(m_lines);
    dialog->btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=0\r\nSinistro=0\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
    // The next opening starts from what was saved.
    auto again = envelope(m_lines);
    again->btnTopMinus->click();
    again->btnLeftPlus->click();
    again->btnLeftPlus->click();
    again->optOrizzontale->setChecked(true);
    again->btnStampa->click();
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=-1\r\nSinistro=2\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Orizzontale\r\n"));
    auto third = envelope(m_lines);
    QCOMPARE(third->txtTop->text(), QStringLiteral("-1"));
    QCOMPARE(third->txtLeft->text(), QStringLiteral("2"));
    QVERIFY(third->optOrizzontale->isChecked());
}

void TestPrinting::envelopeKeepsOtherSettings()
{
    const QByteArray before = "; impostazioni\r\n[Altro]\r\nChiave=valore con spazi  \r\n\r\n"
                              "[margini busta]\r\n; commento\r\nsuperiore=5\r\nSinistro=1\r\n";
    writeFile(iniPath(), before);
    report::PrintRecorder printer;
    auto dialog = envelope(m_lines);
    dialog->btnTopPlus->click();
    dialog->btnStampa->click();
    QCOMPARE(readFile(iniPath()), QStringLiteral("; impostazioni\r\n[Altro]\r\nChiave=valore con spazi  \r\n\r\n"
                                                 "[margini busta]\r\n; commento\r\nSuperiore=6\r\nSinistro=1\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
}

void TestPrinting::envelopeSaveSteps()
{
    // The two hidden steps that printing runs: each saves its margin, then the orientation.
    auto dialog = envelope(m_lines);
    dialog->btnTopPlus->click();
    dialog->optOrizzontale->setChecked(true);
    dialog->btnApplicaTop->click();
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=1\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Orizzontale\r\n"));
    dialog->btnLeftMinus->click();
    dialog->optVerticale->setChecked(true);
    dialog->btnApplicaLeft->click();
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=1\r\nSinistro=-1\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
}

void TestPrinting::envelopeSteps_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<QString>("result");
    QTest::newRow("- on 0") << "0" << false << "-1";
    QTest::newRow("+ on -1") << "-1" << true << "0";
    QTest::newRow("+ on 9") << "9" << true << "10";
    QTest::newRow("- on -99") << "-99" << false << "-100";
    QTest::newRow("no upper bound") << "2147483647" << true << "2147483648";
    QTest::newRow("+ on the largest number stays") << "9223372036854775807" << true << "9223372036854775807";
    QTest::newRow("- on the smallest number stays") << "-9223372036854775808" << false << "-9223372036854775808";
    QTest::newRow("- on the largest number") << "9223372036854775807" << false << "9223372036854775806";
}

void TestPrinting::envelopeSteps()
{
    QFETCH(QString, start);
    QFETCH(bool, plus);
    QFETCH(QString, result);
    writeFile(iniPath(), QStringLiteral("[Margini Busta]\r\nSuperiore=%1\r\nSinistro=%1\r\n").arg(start).toLatin1());
    auto dialog = envelope(m_lines);
    (plus ? dialog->btnTopPlus : dialog->btnTopMinus)->click();
    (plus ? dialog->btnLeftPlus : dialog->btnLeftMinus)->click();
    QCOMPARE(dialog->txtTop->text(), result);
    QCOMPARE(dialog->txtLeft->text(), result);
    // Stepping saves nothing.
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=%1\r\nSinistro=%1\r\n").arg(start));
}

void TestPrinting::envelopeStepOnBadValueFails()
{
    // Only a hand-edited file puts text there; the step fails with the
    // general error box, its own message, and the value stays.
    writeFile(iniPath(), "[Margini Busta]\r\nSuperiore=abc\r\nSinistro=1,5\r\n");
    auto dialog = envelope(m_lines);
    try {
        dialog->btnTopMinus->click();
        dialog->btnLeftPlus->click();
    } catch (...) {
        QFAIL("an exception crossed the step button's slot");
    }
    QCOMPARE(dialog->txtTop->text(), QStringLiteral("abc"));
    QCOMPARE(dialog->txtLeft->text(), QStringLiteral("1,5"));
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->entries().at(0).kind, ui::MessageKind::Error);
    QCOMPARE(m_messages->entries().at(0).buttons, ui::MessageButtons::Ok);
    QCOMPARE(m_messages->entries().at(0).text, QStringLiteral("Attenzione: \"abc\" non è un numero intero valido."));
    QCOMPARE(m_messages->entries().at(1).text, QStringLiteral("Attenzione: \"1,5\" non è un numero intero valido."));
    QVERIFY(!QFile::exists(iniPath()) || readFile(iniPath()).contains(QStringLiteral("Superiore=abc")));
}

void TestPrinting::envelopeFailuresWarn_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason"); // after the message, where the settings were not saved
    const QString odd = QStringLiteral("Il file esistente non si può leggere per intero e non viene sostituito.");
    QTest::newRow("top not a number") << "top" << QString();
    QTest::newRow("left with a dot") << "left" << QString();
    QTest::newRow("settings cannot be written")
        << "unwritable" << QStringLiteral("Il file non si può creare né sostituire: il file o la sua cartella sono protetti.");
    QTest::newRow("printer cannot start") << "printer" << QString();
    QTest::newRow("settings file is a FIFO") << "fifo" << odd;
    QTest::newRow("top nan") << "nan" << QString();
    QTest::newRow("left inf") << "inf" << QString();
    QTest::newRow("top -inf") << "-inf" << QString();
    QTest::newRow("top 1e308") << "1e308" << QString();
    QTest::newRow("left beyond a metre") << "1000,5" << QString();
    QTest::newRow("settings file leads to /dev/zero") << "zero" << odd;
    QTest::newRow("template without its line boxes") << "template" << QString();
}

void TestPrinting::envelopeFailuresWarn()
{
    QFETCH(QString, failure);
    ProgramFolder folder(m_dir->path());
    if (failure == QLatin1String("top"))
        writeFile(iniPath(), "[Margini Busta]\r\nSuperiore=abc\r\n");
    else if (failure == QLatin1String("left"))
        writeFile(iniPath(), "[Margini Busta]\r\nSinistro=2.5\r\n");
    else if (failure == QLatin1String("unwritable")) {
        // The program folder runs through a regular file: nothing can be written there.
        writeFile(m_dir->filePath(QStringLiteral("file")), "x");
        folder = ProgramFolder(m_dir->filePath(QStringLiteral("file/folder")));
    } else if (QStringList{"nan", "-inf", "1e308"}.contains(failure)) {
        writeFile(iniPath(), "[Margini Busta]\r\nSuperiore=" + failure.toLatin1() + "\r\n");
    } else if (QStringList{"inf", "1000,5"}.contains(failure)) {
        writeFile(iniPath(), "[Margini Busta]\r\nSinistro=" + failure.toLatin1() + "\r\n");
    } else if (failure == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
    } else if (failure == QLatin1String("zero")) {
        QCOMPARE(::symlink("/dev/zero", QFile::encodeName(iniPath()).constData()), 0);
    }
    report::PrintRecorder printer;
    if (failure == QLatin1String("printer"))
        printer.answerPrintToFile(m_dir->filePath(QStringLiteral("missing/folder/out.pdf")));
    // An odd settings file reads as none, at once.
    TfrmStampaBusta dialog(folder, [this] { return m_lines; });
    if (failure == QLatin1String("template"))
        dialog.repModulo = std::make_unique<report::Report>(QStringLiteral("Indirizzo su Busta"));
    dialog.show();
    if (failure == QLatin1String("fifo") || failure == QLatin1String("zero"))
        QCOMPARE(dialog.txtTop->text(), QStringLiteral("0"));
    try {
        dialog.btnStampa->click();
    } catch (...) {
        QFAIL("an exception crossed the print button's slot");
    }

    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Warning);
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::OkCancel);
    QFETCH(QString, reason);
    QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: la stampa non è andata a buon fine.\n\r\n\r"
                                                     "Si consiglia di controllare le impostazioni della stampante.")
                                          + (reason.isEmpty() ? QString() : QStringLiteral("\n\r\n\r") + reason));
    QCOMPARE(printer.count(), failure == QLatin1String("printer") ? 1 : 0);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.lblAttendere->isVisible());
    if (failure == QLatin1String("fifo") || failure == QLatin1String("zero")) {
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(iniPath()).constData(), &st), 0);
        QVERIFY(failure == QLatin1String("fifo") ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
    }
    // What was saved before the failure stays saved.
    if (failure == QLatin1String("top"))
        QCOMPARE(readFile(iniPath()), QStringLiteral("[Margini Busta]\r\nSuperiore=abc\r\nSinistro=0\r\n\r\n"
                                                     "[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
}

void TestPrinting::envelopeCancelSavesNothing()
{
    report::PrintRecorder printer;
    auto dialog = envelope(m_lines);
    dialog->show();
    dialog->btnTopPlus->click();
    dialog->optOrizzontale->setChecked(true);
    dialog->btnAnnulla->click();
    QVERIFY(!dialog->isVisible());
    QVERIFY(!QFile::exists(iniPath()));
    QCOMPARE(printer.count(), 0);
}

void TestPrinting::envelopeWaitNotice()
{
    auto dialog = envelope(m_lines);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    bool shownWhilePrinting = false;
    report::hooks::setPrinterListHandler([] { return QStringList{QStringLiteral("prova")}; });
    report::hooks::setPrintDialogHandler([&](QPrinter &, const report::PrintRequest &) {
        shownWhilePrinting = dialog->lblAttendere->isVisible();
        return false;
    });
    QTest::mousePress(dialog->btnStampa, Qt::LeftButton);
    QVERIFY(dialog->lblAttendere->isVisible()); // before the click is processed
    QVERIFY(!QFile::exists(iniPath()));
    QTest::mouseRelease(dialog->btnStampa, Qt::LeftButton);
    report::hooks::setPrintDialogHandler({});
    report::hooks::setPrinterListHandler({});
    QVERIFY(shownWhilePrinting);
    QVERIFY(!dialog->lblAttendere->isVisible());
    QVERIFY(QFile::exists(iniPath()));
    QVERIFY(!dialog->isVisible());
}

void TestPrinting::envelopeBlankCard()
{
    report::PrintRecorder printer;
    auto dialog = envelope({"", " ", "", "", "", ""});
    dialog->btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().pages.size(), 1);
    QVERIFY(printer.requests().first().pages.first().items.isEmpty());
}

// ---------------------------------------------------------- address window

void TestPrinting::addressWindowOpensDialogs()
{
    TfrmArchivio_Indirizzi window{ProgramFolder(m_dir->path())};
    window.show();
    report::PrintRecorder printer;
    report::PreviewRecorder previews;

    QPointer<QDialog> opened;
    auto pressInModal = [&](const char *className, const char *button) {
        QTimer::singleShot(0, this, [&opened, className, button, &window] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QLatin1String(className));
            QCOMPARE(dialog->parentWidget(), &window);
            opened = dialog;
            window.txtRigo02->setText(QStringLiteral("Scritto ora")); // unsaved, read when printing
            dialog->findChild<QPushButton *>(QLatin1String(button))->click();
        });
    };

    window.txtRigo01->setText(QStringLiteral("Mario Rossi"));
    pressInModal("TfrmStampaBusta", "btnStampa");
    window.cmdStampa->click();
    QVERIFY(opened.isNull()); // destroyed on closing
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, QStringLiteral("Indirizzo su Busta"));
    const PreparedPage &envelopePage = printer.requests().first().pages.first();
    QCOMPARE(envelopePage.texts(QStringLiteral("txtRigo01")).first().text, QStringLiteral("Mario Rossi"));
    QCOMPARE(envelopePage.texts(QStringLiteral("txtRigo02")).first().text, QStringLiteral("Scritto ora"));

    window.txtRigo02->clear();
    pressInModal("TfrmAnteprima_Etichetta", "btnStampa");
    window.cmdAnteprima->click();
    QVERIFY(opened.isNull());
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.previews().first().caption, QStringLiteral("Anteprima Etichetta"));
    const PreparedPage &labels = previews.previews().first().pages.first();
    QCOMPARE(labels.texts(QStringLiteral("txtRigo01_E24")).first().text, QStringLiteral("Mario Rossi"));
    QCOMPARE(labels.texts(QStringLiteral("txtRigo02_E13")).first().text, QStringLiteral("Scritto ora"));

    // Annulla closes without printing.
    pressInModal("TfrmStampaBusta", "btnAnnulla");
    window.cmdStampa->click();
    QVERIFY(opened.isNull());
    QCOMPARE(printer.count(), 1);
}

// ------------------------------------------------------ printed through CUPS

QString TestPrinting::printQueuePdf(const QString &title, const std::function<void()> &print)
{
    const TestPrintQueue queue;
    const QSet<QString> before = queue.files(title);
    print();
    QString why;
    const QString path = queue.waitForPdf(title, before, &why);
    if (path.isEmpty())
        qWarning("%s", qPrintable(why));
    return path;
}

void TestPrinting::cupsFullLabelPage()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    // Line 3 of E05 runs past its box's right edge, 10 + 64 + 2 + 58.2 mm from the paper's.
    const QString path = printQueuePdf(QStringLiteral("Pagina Etichette"), [] {
        TfrmStampaPagina dialog([](int slot, int line) {
            return distinctLine(slot, line) + (slot == 5 && line == 3 ? kLongTail : QString());
        });
        dialog.btnStampa->click();
    });
    QVERIFY(!path.isEmpty());

    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 1);
    QVERIFY(qAbs(pdf.pagesMm.first().width() - 210) < 0.5 && qAbs(pdf.pagesMm.first().height() - 297) < 0.5);
    double worst = 0;
    for (int slot = 1; slot <= 24; ++slot)
        for (int line = 1; line <= 6; ++line) {
            const QString first = distinctLine(slot, line).section(QLatin1Char(' '), 0, 0);
            const QList<PdfWord> words = pdf.find(first);
            QVERIFY2(words.size() == 1, qPrintable(first));
            const QPointF found = pdf.lineStartMm(words.first(), 7, arialAscentMm(7));
            const QPointF expected = labelLineMm(slot, line);
            worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
            QVERIFY2(near(found, expected, kPrinted), qPrintable(first + QLatin1Char(' ') + where(found, expected)));
        }
    qInfo("label page through CUPS: 144 lines, largest position error %.3f mm", worst);

    const PdfRuns runs = readPdfRuns(path);
    const QString wrong = wrongSize(runs, 7);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    double worstSize = 0;
    for (const PdfRun &run : runs.runs)
        worstSize = std::max(worstSize, qAbs(run.pointSize - 7));
    qInfo("label page through CUPS: %d runs at 7 pt within %.6f pt", int(runs.runs.size()), worstSize);
    // The long line keeps every character that starts inside its box, at
    // its true width: the last one kept reaches the box's edge.
    const QList<PdfRun> cut = runs.containing(QStringLiteral("S05L3"));
    QCOMPARE(cut.size(), 1);
    const QString full = distinctLine(5, 3) + kLongTail;
    QVERIFY(full.startsWith(cut.first().text.trimmed()));
    QVERIFY(cut.first().text.trimmed().size() < full.size());
    const PdfChar last = cut.first().chars.last();
    const double edge = 10 + 64 + 2 + 58.2;
    QVERIFY2(last.xMm < edge && last.xMm + last.advanceMm > edge - 0.02,
             qPrintable(QStringLiteral("last character '%1' from %2 to %3 mm, box edge at %4 mm")
                            .arg(last.c).arg(last.xMm).arg(last.xMm + last.advanceMm).arg(edge)));
    QFile::remove(path);
}

void TestPrinting::cupsOneAddressPage()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    report::PreviewRecorder previews;
    previews.pressPrint(); // printed from the preview's print button
    const QString path = printQueuePdf(QStringLiteral("Anteprima Etichetta"), [] {
        TfrmAnteprima_Etichetta dialog([] { return QStringList{"Primariga", "Secondariga", "Terzariga", "", "", ""}; });
        dialog.btnStampa->click();
    });
    QVERIFY(!path.isEmpty());
    QCOMPARE(previews.count(), 1);
    QVERIFY(previews.previews().first().printed);

    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 1);
    QCOMPARE(pdf.words.size(), 3 * 24); // nothing in lines 4 to 6
    double worst = 0;
    const QStringList texts{"Primariga", "Secondariga", "Terzariga"};
    for (int line = 1; line <= 3; ++line) {
        QList<QPointF> starts;
        for (const PdfWord &word : pdf.find(texts.at(line - 1)))
            starts << pdf.lineStartMm(word, 7, arialAscentMm(7));
        QCOMPARE(starts.size(), 24);
        for (int slot = 1; slot <= 24; ++slot) {
            const QPointF expected = labelLineMm(slot, line);
            const auto match = std::find_if(starts.begin(), starts.end(), [&](const QPointF &p) { return near(p, expected, kPrinted); });
            QVERIFY2(match != starts.end(), qPrintable(QStringLiteral("line %1 of E%2").arg(line).arg(slot)));
            worst = std::max({worst, qAbs(match->x() - expected.x()), qAbs(match->y() - expected.y())});
            starts.erase(match);
        }
    }
    qInfo("one-address page through CUPS: 72 lines, largest position error %.3f mm", worst);
    const QString wrong = wrongSize(readPdfRuns(path), 7);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QFile::remove(path);
}

void TestPrinting::cupsEnvelope_data()
{
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::newRow("portrait 0, 0") << "Verticale" << "0" << "0";
    QTest::newRow("portrait -3, 12") << "Verticale" << "-3" << "12";
    QTest::newRow("landscape 0, 0") << "Orizzontale" << "0" << "0";
    QTest::newRow("landscape -3, 12") << "Orizzontale" << "-3" << "12";
}

void TestPrinting::cupsEnvelope()
{
    QFETCH(QString, orientation);
    QFETCH(QString, top);
    QFETCH(QString, left);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    writeFile(iniPath(), QStringLiteral("[Margini Busta]\r\nSuperiore=%1\r\nSinistro=%2\r\n[Stampa Busta]\r\nOrientamento=%3\r\n")
                             .arg(top, left, orientation).toLatin1());
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QStringList lines{"Uno Spett.le", "Due Studio", "Tre Via", "Quattro 20121", "Cinque MI", "Sei Italia"};
    const QString path = printQueuePdf(QStringLiteral("Indirizzo su Busta"), [&] {
        auto dialog = envelope(lines);
        dialog->btnStampa->click();
    });
    QVERIFY(!path.isEmpty());
    QCOMPARE(m_messages->count(), 0);

    const bool landscape = orientation == QLatin1String("Orizzontale");
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 1);
    const QSizeF sheet = pdf.pagesMm.first();
    QVERIFY(qAbs(sheet.width() + sheet.height() - 507) < 0.5); // A4, either way round
    double worst = 0;
    for (int line = 1; line <= 6; ++line) {
        const QString first = lines.at(line - 1).section(QLatin1Char(' '), 0, 0);
        const QList<PdfWord> words = pdf.find(first);
        QVERIFY2(words.size() == 1, qPrintable(first));
        const QPointF found = pdf.lineStartMm(words.first(), 10, arialAscentMm(10), landscape);
        const QPointF expected(119 + left.toDouble(), 57 + top.toDouble() + 5 * (line - 1));
        worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
        QVERIFY2(near(found, expected, kPrinted), qPrintable(first + QLatin1Char(' ') + where(found, expected)));
    }
    if (landscape && sheet.width() < sheet.height()) {
        // Turned onto the portrait sheet: the words run up the page.
        const PdfWord word = pdf.find(QStringLiteral("Quattro")).first();
        QVERIFY(word.mm.height() > word.mm.width());
    }
    qInfo("envelope through CUPS (%s, top %s, left %s): largest position error %.3f mm", qPrintable(orientation),
          qPrintable(top), qPrintable(left), worst);
    const QString wrong = wrongSize(readPdfRuns(path), 10);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QFile::remove(path);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
