#include "PdfText.h"
#include "TestPrintQueue.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "printing/EnvelopeChoices.h"
#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeSettings.h"
#include "printing/EnvelopeLayout.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/LineFit.h"
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
#include "reportui/ReportPrinter.h"
#include "report/TextBox.h"
#include "report/Units.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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

    // Envelope formats, the sender and the preview
    void envelopeFormats_data();
    void envelopeFormats();
    void envelopeFormatSettingsSaved();
    void envelopeFormatsKeepTheirEdits();
    void envelopePreview_data();
    void envelopePreview();
    void envelopePreviewOfBadMargin();
    void envelopeLinesFitEveryFormat();
    void envelopeLayoutForEachCard_data();
    void envelopeLayoutForEachCard();

    // The address window opens its two dialogs
    void addressWindowOpensDialogs();

    // Printed for real through the cups-pdf test queue
    void cupsFullLabelPage();
    void cupsOneAddressPage();
    void cupsEnvelope_data();
    void cupsEnvelope();
    void cupsEnvelopeFormats_data();
    void cupsEnvelopeFormats();
    void cupsEnvelopesInOneJob();

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
    // The designed controls keep their 498 x 470; the envelope's own lie below.
    QCOMPARE(dialog->width(), 498);
    QVERIFY2(dialog->height() > 470 && dialog->height() <= 720, qPrintable(QString::number(dialog->height())));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(dialog->cboFormato->currentText(), QStringLiteral("Foglio A4 (210 × 297 mm)"));
    QVERIFY(!dialog->chkMittente->isChecked());
    QVERIFY(!dialog->txtLatoCorto->isEnabled() && !dialog->txtLatoLungo->isEnabled());
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
    QCOMPARE(dialog->panStampa->geometry(), QRect(0, 0, 498, 470));
    const QList<QWidget *> designed{dialog->imgIstruzioni, dialog->panOrientamento, dialog->panMargini,
                                    dialog->lblAttendere, dialog->btnAnnulla, dialog->btnStampa};
    QList<QWidget *> added{dialog->panBusta, dialog->panMittente};
    for (QWidget *control : designed)
        QVERIFY2(QRect(0, 0, 498, 470).contains(QRect(control->mapTo(dialog.get(), QPoint(0, 0)), control->size())),
                 qPrintable(control->objectName()));
    for (QWidget *control : added)
        QVERIFY2(control->mapTo(dialog.get(), QPoint(0, 0)).y() >= 470, qPrintable(control->objectName()));
    // Tab reaches the designed controls first, then the added ones from the top down.
    const QList<QWidget *> order{dialog->optVerticale, dialog->btnTopMinus, dialog->btnLeftPlus, dialog->btnAnnulla,
                                 dialog->btnStampa, dialog->cboFormato, dialog->txtLatoCorto, dialog->btnAnteprima,
                                 dialog->btnGuida, dialog->chkMittente, dialog->txtMittente[0], dialog->txtMittente[3]};
    QList<QWidget *> chain;
    for (QWidget *w = dialog->nextInFocusChain(); w != dialog.get() && chain.size() < 200; w = w->nextInFocusChain())
        chain << w;
    for (int i = 1; i < order.size(); ++i)
        QVERIFY2(chain.indexOf(order.at(i - 1)) < chain.indexOf(order.at(i)), qPrintable(order.at(i)->objectName()));
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
        << "unwritable" << QStringLiteral("Non è possibile creare il file né sostituire quello esistente: il file o la sua cartella sono protetti.");
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

// ------------------------------------------------- envelope formats, sender

namespace {

int formatIndex(const QString &key)
{
    const QList<EnvelopeFormat> &formats = envelopeFormats::all();
    for (int i = 0; i < formats.size(); ++i)
        if (formats.at(i).key == key)
            return i;
    return -1;
}

const QStringList kSender{QStringLiteral("Mitt1 Studio Bianchi"), QStringLiteral("Mitt2 Corso Italia 5"),
                          QStringLiteral("Mitt3 10121 Torino")};

// Where sender line n starts, in mm from the paper's corner, whatever the margins.
QPointF senderLineMm(int line)
{
    return QPointF(10, 10 + 4 * (line - 1));
}

} // namespace

void TestPrinting::envelopeFormats_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSizeF>("media");     // the printer's paper, short side across
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QPointF>("firstLine"); // mm from the page's corner
    QTest::addColumn<bool>("sender");

    const auto ini = [](const char *format, const char *section) {
        return QByteArray("[Formato Busta]\r\nFormato=") + format + "\r\n" + section
               + "[Mittente]\r\nRigo01=Mitt1 Studio Bianchi\r\nRigo02=Mitt2 Corso Italia 5\r\nRigo03=Mitt3 10121 Torino\r\n";
    };
    QTest::newRow("A4 page, sender off as designed")
        << QByteArray("[Margini Busta]\r\nSuperiore=-3\r\nSinistro=12\r\n") + ini("A4", "") << "A4" << QSizeF(210, 297)
        << false << QPointF(131, 54) << false;
    QTest::newRow("A4 page, sender turned on")
        << QByteArray("[Margini Busta]\r\nSuperiore=-3\r\nSinistro=12\r\n") + ini("A4", "") + "A4=S\xEC\r\n" << "A4"
        << QSizeF(210, 297) << false << QPointF(131, 54) << true;
    QTest::newRow("DL as designed") << ini("DL", "") << "DL" << QSizeF(110, 220) << true << QPointF(110, 60.5) << true;
    QTest::newRow("DL -3, 12") << ini("dl", "[Busta DL]\r\nSuperiore=-3\r\nSinistro=12\r\n") << "DL" << QSizeF(110, 220)
                               << true << QPointF(122, 57.5) << true;
    QTest::newRow("DL portrait, sender off")
        << ini("DL", "[Busta DL]\r\nOrientamento=Verticale\r\n") + "DL=No\r\n" << "DL" << QSizeF(110, 220) << false
        << QPointF(55, 121) << false;
    QTest::newRow("DL, orientation in lower case is landscape")
        << ini("DL", "[Busta DL]\r\nOrientamento=verticale\r\n") << "DL" << QSizeF(110, 220) << true
        << QPointF(110, 60.5) << true;
    QTest::newRow("commerciale") << ini("Commerciale", "") << "Commerciale" << QSizeF(110, 230) << true
                                 << QPointF(115, 60.5) << true;
    QTest::newRow("C6 -3, 12") << ini("C6", "[Busta C6]\r\nSuperiore=-3\r\nSinistro=12\r\n") << "C6" << QSizeF(114, 162)
                               << true << QPointF(93, 59.7) << true;
    QTest::newRow("C5 decimal comma") << ini("C5", "[Busta C5]\r\nSuperiore=2,5\r\nSinistro=-0,5\r\n") << "C5"
                                      << QSizeF(162, 229) << true << QPointF(114, 91.6) << true;
    QTest::newRow("C4") << ini("C4", "") << "C4" << QSizeF(229, 324) << true << QPointF(162, 125.95) << true;
    QTest::newRow("own 125 x 176, -3, 12")
        << ini("Personalizzata", "[Busta Personalizzata]\r\nLato corto=125\r\nLato lungo=176\r\nSuperiore=-3\r\nSinistro=12\r\n")
        << "Personalizzata" << QSizeF(125, 176) << true << QPointF(100, 65.75) << true;
    QTest::newRow("own, sides the other way round")
        << ini("Personalizzata", "[Busta Personalizzata]\r\nLato corto=240\r\nLato lungo=120\r\n") << "Personalizzata"
        << QSizeF(120, 240) << true << QPointF(120, 66) << true;
    QTest::newRow("own, sides out of bounds as designed")
        << ini("Personalizzata", "[Busta Personalizzata]\r\nLato corto=10\r\nLato lungo=lungo\r\n") << "Personalizzata"
        << QSizeF(114, 229) << true << QPointF(114.5, 62.7) << true;
    QTest::newRow("unknown format is the A4 page") << ini("B6", "") << "A4" << QSizeF(210, 297) << false
                                                   << QPointF(119, 57) << false;
}

void TestPrinting::envelopeFormats()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, format);
    QFETCH(QSizeF, media);
    QFETCH(bool, landscape);
    QFETCH(QPointF, firstLine);
    QFETCH(bool, sender);
    writeFile(iniPath(), ini);
    report::PrintRecorder printer;
    auto dialog = envelope(m_lines);
    QCOMPARE(dialog->cboFormato->currentIndex(), formatIndex(format));
    QCOMPARE(dialog->chkMittente->isChecked(), sender);
    QCOMPARE(dialog->txtMittente[0]->text(), kSender.first());
    QCOMPARE(dialog->txtLatoCorto->isEnabled(), format == QLatin1String("Personalizzata"));
    dialog->btnStampa->click();
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(printer.count(), 1);
    const auto &request = printer.requests().first();
    QCOMPARE(request.title, QStringLiteral("Indirizzo su Busta"));
    // The job goes with the envelope's own paper (to the whole point a
    // printer's paper is given in), in the orientation chosen.
    QVERIFY2(qAbs(request.paperMm.width() - media.width()) < 0.36 && qAbs(request.paperMm.height() - media.height()) < 0.36,
             qPrintable(QStringLiteral("%1 x %2 mm").arg(request.paperMm.width()).arg(request.paperMm.height())));
    QCOMPARE(request.orientation, landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const PreparedPage &page = request.pages.first();
    const QSizeF paper = page.paper / report::kUnitsPerMm;
    const QSizeF expectedPaper = landscape ? media.transposed() : media;
    QVERIFY(qAbs(paper.width() - expectedPaper.width()) < kExact && qAbs(paper.height() - expectedPaper.height()) < kExact);
    for (int line = 1; line <= 6; ++line) {
        const QList<PlacedItem> item = page.texts(EnvelopeTemplate::lineName(line));
        QCOMPARE(item.size(), 1);
        QCOMPARE(item.first().text, m_lines.at(line - 1));
        QCOMPARE(item.first().font.family, QStringLiteral("Arial"));
        QCOMPARE(item.first().font.pointSize, 10.0);
        const QPointF expected = firstLine + QPointF(0, 5 * (line - 1));
        QVERIFY2(near(topLeftMm(item.first()), expected, kExact), qPrintable(where(topLeftMm(item.first()), expected)));
    }
    for (int line = 1; line <= 4; ++line) {
        const QList<PlacedItem> item = page.texts(EnvelopeTemplate::senderLineName(line));
        QCOMPARE(item.size(), sender && line <= 3 ? 1 : 0);
        if (item.isEmpty())
            continue;
        QCOMPARE(item.first().text, kSender.at(line - 1));
        QCOMPARE(item.first().font.family, QStringLiteral("Arial"));
        QCOMPARE(item.first().font.pointSize, 8.0);
        QVERIFY2(near(topLeftMm(item.first()), senderLineMm(line), kExact),
                 qPrintable(where(topLeftMm(item.first()), senderLineMm(line))));
    }
    QCOMPARE(page.texts().size(), sender ? 9 : 6);
    // Only the preview shows the outline.
    for (const PlacedItem &rect : page.rects())
        QVERIFY(rect.guide);
}

void TestPrinting::envelopeFormatSettingsSaved()
{
    report::PrintRecorder printer;
    {
        auto dialog = envelope(m_lines);
        dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("DL")));
        QVERIFY(dialog->optOrizzontale->isChecked()); // an envelope is fed landscape unless told
        QVERIFY(dialog->chkMittente->isChecked());
        QCOMPARE(dialog->txtTop->text(), QStringLiteral("0"));
        dialog->btnTopMinus->click();
        dialog->btnLeftPlus->click();
        dialog->btnLeftPlus->click();
        dialog->txtMittente[0]->setText(QStringLiteral("  Studio Bianchi "));
        dialog->txtMittente[1]->setText(QStringLiteral("'Corso Italia 5'"));
        dialog->btnStampa->click();
    }
    QCOMPARE(m_messages->count(), 0);
    // The A4 page's sections stay as they were: not there.
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Busta DL]\r\nSuperiore=-1\r\nOrientamento=Orizzontale\r\nSinistro=2\r\n"
                                                 "[Formato Busta]\r\nFormato=DL\r\n"
                                                 "[Mittente]\r\nRigo01=Studio Bianchi\r\nRigo02=\"'Corso Italia 5'\"\r\n"));
    {
        auto dialog = envelope(m_lines);
        QCOMPARE(dialog->cboFormato->currentIndex(), formatIndex(QStringLiteral("DL")));
        QCOMPARE(dialog->txtTop->text(), QStringLiteral("-1"));
        QCOMPARE(dialog->txtLeft->text(), QStringLiteral("2"));
        QVERIFY(dialog->optOrizzontale->isChecked());
        QCOMPARE(dialog->txtMittente[0]->text(), QStringLiteral("Studio Bianchi"));
        QCOMPARE(dialog->txtMittente[1]->text(), QStringLiteral("'Corso Italia 5'"));
        // Back to the A4 page: its own values, its sender off; printing it
        // writes its sections as always, and the sender's switch once turned on.
        dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("A4")));
        QCOMPARE(dialog->txtTop->text(), QStringLiteral("0"));
        QVERIFY(dialog->optVerticale->isChecked());
        QVERIFY(!dialog->chkMittente->isChecked());
        dialog->chkMittente->setChecked(true);
        dialog->btnStampa->click();
    }
    QCOMPARE(readFile(iniPath()), QStringLiteral("[Busta DL]\r\nSuperiore=-1\r\nOrientamento=Orizzontale\r\nSinistro=2\r\n"
                                                 "[Formato Busta]\r\nFormato=A4\r\n"
                                                 "[Mittente]\r\nRigo01=Studio Bianchi\r\nRigo02=\"'Corso Italia 5'\"\r\n"
                                                 "A4=S\u00ec\r\n\r\n"
                                                 "[Margini Busta]\r\nSuperiore=0\r\nSinistro=0\r\n\r\n"
                                                 "[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
    QCOMPARE(printer.count(), 2);
    QCOMPARE(printer.requests().last().pages.first().texts(EnvelopeTemplate::senderLineName(2)).first().text,
             QStringLiteral("'Corso Italia 5'"));
}

void TestPrinting::envelopeFormatsKeepTheirEdits()
{
    auto dialog = envelope(m_lines);
    dialog->btnTopPlus->click(); // the A4 page: 1
    dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("C5")));
    dialog->btnTopMinus->click(); // C5: -1
    dialog->optVerticale->setChecked(true);
    dialog->chkMittente->setChecked(false);
    dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("Personalizzata")));
    QVERIFY(dialog->txtLatoCorto->isEnabled());
    QCOMPARE(dialog->txtLatoCorto->value(), 114);
    QCOMPARE(dialog->txtLatoLungo->value(), 229);
    dialog->txtLatoCorto->setValue(140);
    QCOMPARE(dialog->txtLatoCorto->maximum(), envelopeFormats::kOwnMaxMm);
    QCOMPARE(dialog->txtLatoCorto->minimum(), envelopeFormats::kOwnMinMm);
    dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("C5")));
    QCOMPARE(dialog->txtTop->text(), QStringLiteral("-1"));
    QVERIFY(dialog->optVerticale->isChecked());
    QVERIFY(!dialog->chkMittente->isChecked());
    QCOMPARE(dialog->txtLatoCorto->value(), 162);
    QVERIFY(!dialog->txtLatoCorto->isEnabled());
    dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("Personalizzata")));
    QCOMPARE(dialog->txtLatoCorto->value(), 140);
    dialog->cboFormato->setCurrentIndex(formatIndex(QStringLiteral("A4")));
    QCOMPARE(dialog->txtTop->text(), QStringLiteral("1"));
    QVERIFY(dialog->optVerticale->isChecked());
    dialog->btnAnnulla->click();
    QVERIFY(!QFile::exists(iniPath()));
}

void TestPrinting::envelopePreview_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("A4 page") << "A4";
    QTest::newRow("DL") << "DL";
    QTest::newRow("own") << "Personalizzata";
}

void TestPrinting::envelopePreview()
{
    QFETCH(QString, format);
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    auto dialog = envelope(m_lines);
    dialog->show();
    dialog->cboFormato->setCurrentIndex(formatIndex(format));
    dialog->btnTopPlus->click();
    dialog->txtMittente[0]->setText(kSender.first());
    dialog->chkMittente->setChecked(true);
    m_lines[1] = QStringLiteral("Scritto ora"); // read when the preview opens
    dialog->btnAnteprima->click();
    QCOMPARE(previews.count(), 1);
    const auto &shown = previews.previews().first();
    QCOMPARE(shown.caption, QStringLiteral("Indirizzo su Busta"));
    QVERIFY(!(shown.buttons & report::Report::PreviewPrint));
    QVERIFY(shown.buttons & report::Report::PreviewClose);
    const PreparedPage &page = shown.pages.first();
    QCOMPARE(page.texts(EnvelopeTemplate::lineName(2)).first().text, QStringLiteral("Scritto ora"));
    QCOMPARE(page.texts(EnvelopeTemplate::senderLineName(1)).first().text, kSender.first());
    // An envelope is shown with its outline, a guide along the paper's edge.
    const QList<PlacedItem> outline = page.rects(EnvelopeTemplate::outlineName());
    QCOMPARE(outline.size(), format == QLatin1String("A4") ? 0 : 1);
    if (!outline.isEmpty()) {
        QVERIFY(outline.first().guide);
        QVERIFY(outline.first().outline.isValid() && !outline.first().fill.isValid());
        QVERIFY(qAbs(outline.first().rect.left()) < 1e-9 && qAbs(outline.first().rect.top()) < 1e-9);
        QVERIFY(qAbs(outline.first().rect.width() - page.paper.width()) < 1e-9);
        QVERIFY(qAbs(outline.first().rect.height() - page.paper.height()) < 1e-9);
    }
    // The preview saves and prints nothing; the dialog stays open, and
    // printing then prints what the preview showed.
    QVERIFY(!QFile::exists(iniPath()));
    QCOMPARE(printer.count(), 0);
    QVERIFY(dialog->isVisible());
    dialog->btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().pages.first().items.size(), page.items.size());
    for (int i = 0; i < page.items.size(); ++i) {
        QCOMPARE(printer.requests().first().pages.first().items.at(i).text, page.items.at(i).text);
        QCOMPARE(printer.requests().first().pages.first().items.at(i).rect, page.items.at(i).rect);
    }
    QCOMPARE(m_messages->count(), 0);
}

void TestPrinting::envelopePreviewOfBadMargin()
{
    writeFile(iniPath(), "[Margini Busta]\r\nSuperiore=abc\r\n");
    report::PreviewRecorder previews;
    auto dialog = envelope(m_lines);
    dialog->show();
    dialog->btnAnteprima->click();
    QCOMPARE(previews.count(), 0);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Warning);
    QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: l'anteprima non può essere mostrata perché un margine "
                                                     "non è un numero valido.\n\r\n\rCorreggere il valore del margine "
                                                     "nel file Impostazioni.ini."));
    QVERIFY(dialog->isVisible());
}

void TestPrinting::envelopeLinesFitEveryFormat()
{
    // The address window marks a line by the 90 mm box of Arial 10 pt: every
    // format prints in that box, so a line is cut on each exactly when marked.
    QString longest = QStringLiteral("Via");
    while (fitsEnvelopeLine(longest + QLatin1Char('m')))
        longest += QLatin1Char('m');
    const QString cut = longest + QStringLiteral("mm");
    QVERIFY(!fitsEnvelopeLine(cut));
    for (const EnvelopeFormat &format : envelopeFormats::all()) {
        const std::unique_ptr<report::Report> document = EnvelopeTemplate::create(format);
        const auto *box = static_cast<const report::TextBox *>(document->FindObject(EnvelopeTemplate::lineName(1)));
        QVERIFY(qAbs(box->Width - report::mmToUnits(90)) < 1e-6);
        QCOMPARE(box->Font.family, QStringLiteral("Arial"));
        QCOMPARE(box->Font.pointSize, 10.0);
        const PreparedPage page = layOutEnvelope(format, EnvelopePlacement{report::Orientation::Landscape, -3, 12}, {},
                                                 {longest, cut});
        QCOMPARE(page.texts(EnvelopeTemplate::lineName(1)).first().text, longest);
        QVERIFY2(page.texts(EnvelopeTemplate::lineName(2)).first().text.size() < cut.size(), qPrintable(format.key));
    }
}

void TestPrinting::envelopeLayoutForEachCard_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("no file: the A4 page") << QByteArray();
    QTest::newRow("A4 page landscape, -3, 12")
        << QByteArray("[Margini Busta]\r\nSuperiore=-3\r\nSinistro=12\r\n[Stampa Busta]\r\nOrientamento=Orizzontale\r\n");
    QTest::newRow("A4 page with its sender") << QByteArray("[Mittente]\r\nRigo01=Mitt1 Studio Bianchi\r\nA4=S\xEC\r\n");
    QTest::newRow("C5 -3, 12 with a sender")
        << QByteArray("[Formato Busta]\r\nFormato=C5\r\n[Busta C5]\r\nSuperiore=-3\r\nSinistro=12\r\n"
                      "[Mittente]\r\nRigo01=Mitt1 Studio Bianchi\r\nRigo03=Mitt3 Torino\r\n");
    QTest::newRow("own, portrait, sender off")
        << QByteArray("[Formato Busta]\r\nFormato=Personalizzata\r\n[Busta Personalizzata]\r\nLato corto=130\r\n"
                      "Lato lungo=190\r\nOrientamento=Verticale\r\n[Mittente]\r\nRigo01=Mitt1\r\nPersonalizzata=No\r\n");
}

void TestPrinting::envelopeLayoutForEachCard()
{
    // What a mailing prints for each card: the stored choices read on their
    // own and one function, giving the very page the dialog prints.
    QFETCH(QByteArray, ini);
    if (!ini.isEmpty())
        writeFile(iniPath(), ini);
    const EnvelopeChoices stored{EnvelopeSettings(ProgramFolder(m_dir->path()))};
    const std::optional<EnvelopePlacement> placement = stored.placement();
    QVERIFY(placement);
    const PreparedPage laid = layOutEnvelope(stored.effectiveFormat(), *placement, stored.senderToPrint(), m_lines);
    report::PrintRecorder printer;
    envelope(m_lines)->btnStampa->click();
    QCOMPARE(printer.count(), 1);
    const PreparedPage printed = printer.requests().first().pages.first();
    QCOMPARE(laid.paper, printed.paper);
    QCOMPARE(laid.orientation, printed.orientation);
    QCOMPARE(laid.items.size(), printed.items.size());
    for (int i = 0; i < laid.items.size(); ++i) {
        QCOMPARE(laid.items.at(i).source, printed.items.at(i).source);
        QCOMPARE(laid.items.at(i).text, printed.items.at(i).text);
        QCOMPARE(laid.items.at(i).rect, printed.items.at(i).rect);
    }
    // Each card its own page, from the template as designed.
    const PreparedPage other = layOutEnvelope(stored.effectiveFormat(), *placement, {}, {QStringLiteral("Solo una riga")});
    QCOMPARE(other.texts().size(), 1);
    QCOMPARE(other.texts().first().text, QStringLiteral("Solo una riga"));
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
    // Every word where the A4 page printed it before the envelope formats
    // came: pdftotext's boxes of that print, byte for byte.
    QString error;
    const QStringList boxes = pdfBoxLines(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QFile before(QStringLiteral(ENVELOPE_A4_PRINTS "/%1_%2_%3.bbox").arg(orientation, top, left));
    QVERIFY2(before.open(QIODevice::ReadOnly), qPrintable(before.fileName()));
    const QStringList expected = QString::fromUtf8(before.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(boxes.size(), expected.size());
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(boxes.at(i), expected.at(i));
    QFile::remove(path);
}

void TestPrinting::cupsEnvelopeFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<QString>("media"); // the job's media as CUPS received it; empty: not checked
    QTest::newRow("DL 0, 0") << "DL" << "0" << "0" << "Orizzontale" << "EnvDL";
    QTest::newRow("DL -3, 12") << "DL" << "-3" << "12" << "Orizzontale" << "EnvDL";
    QTest::newRow("DL portrait -3, 12") << "DL" << "-3" << "12" << "Verticale" << "EnvDL";
    QTest::newRow("commerciale 0, 0") << "Commerciale" << "0" << "0" << "Orizzontale" << "";
    QTest::newRow("commerciale -3, 12") << "Commerciale" << "-3" << "12" << "Orizzontale" << "";
    QTest::newRow("C6 0, 0") << "C6" << "0" << "0" << "Orizzontale" << "";
    QTest::newRow("C6 -3, 12") << "C6" << "-3" << "12" << "Orizzontale" << "";
    QTest::newRow("C5 0, 0") << "C5" << "0" << "0" << "Orizzontale" << "EnvC5";
    QTest::newRow("C5 -3, 12") << "C5" << "-3" << "12" << "Orizzontale" << "EnvC5";
    QTest::newRow("C4 0, 0") << "C4" << "0" << "0" << "Orizzontale" << "";
    QTest::newRow("C4 -3, 12") << "C4" << "-3" << "12" << "Orizzontale" << "";
    QTest::newRow("own 0, 0") << "Personalizzata" << "0" << "0" << "Orizzontale" << "";
    QTest::newRow("own -3, 12") << "Personalizzata" << "-3" << "12" << "Orizzontale" << "";
}

void TestPrinting::cupsEnvelopeFormats()
{
    QFETCH(QString, format);
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QString, orientation);
    QFETCH(QString, media);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    // The user's own format: sides no paper size of the queue has.
    writeFile(iniPath(), QStringLiteral("[Formato Busta]\r\nFormato=%1\r\n[Busta %1]\r\nSuperiore=%2\r\nSinistro=%3\r\n"
                                        "Orientamento=%4\r\nLato corto=133\r\nLato lungo=187\r\n"
                                        "[Mittente]\r\nRigo01=%5\r\nRigo02=%6\r\nRigo03=%7\r\n")
                             .arg(format, top, left, orientation, kSender.at(0), kSender.at(1), kSender.at(2))
                             .toLatin1());
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QStringList lines{"Uno Spett.le", "Due Studio", "Tre Via", "Quattro 20121", "Cinque MI", "Sei Italia"};
    const QString path = printQueuePdf(QStringLiteral("Indirizzo su Busta"), [&] { envelope(lines)->btnStampa->click(); });
    QVERIFY(!path.isEmpty());
    QCOMPARE(m_messages->count(), 0);

    const EnvelopeFormat *known = envelopeFormats::find(format);
    const QSizeF sides = known->kind == EnvelopeFormat::Kind::Own ? QSizeF(133, 187) : known->sizeMm;
    const bool landscape = orientation == QLatin1String("Orizzontale");
    const QSizeF page = landscape ? sides.transposed() : sides;
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 1);
    // The sheet is the envelope, either way round (CUPS turns a landscape page
    // onto the envelope fed short side first), to the point the PDF stores.
    const QSizeF sheet = pdf.pagesMm.first();
    const QSizeF upright(std::min(sheet.width(), sheet.height()), std::max(sheet.width(), sheet.height()));
    QVERIFY2(qAbs(upright.width() - sides.width()) < 0.36 && qAbs(upright.height() - sides.height()) < 0.36,
             qPrintable(QStringLiteral("sheet %1 x %2 mm").arg(sheet.width()).arg(sheet.height())));
    double worst = 0;
    const QPointF first = known->addressMm(page) + QPointF(left.toDouble(), top.toDouble());
    const auto check = [&](const QString &text, double points, const QPointF &expected) {
        const QString word = text.section(QLatin1Char(' '), 0, 0);
        const QList<PdfWord> words = pdf.find(word);
        QVERIFY2(words.size() == 1, qPrintable(word));
        const QPointF found = pdf.lineStartMm(words.first(), points, arialAscentMm(points), landscape);
        worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
        QVERIFY2(near(found, expected, 0.01), qPrintable(word + QLatin1Char(' ') + where(found, expected)));
    };
    for (int line = 1; line <= 6; ++line)
        check(lines.at(line - 1), 10, first + QPointF(0, 5 * (line - 1)));
    for (int line = 1; line <= 3; ++line)
        check(kSender.at(line - 1), 8, senderLineMm(line));
    // Arial 10 pt for the address, 8 pt for the sender.
    const PdfRuns runs = readPdfRuns(path);
    QVERIFY2(runs.error.isEmpty(), qPrintable(runs.error));
    int sizes[2] = {0, 0};
    for (const PdfRun &run : runs.runs) {
        const bool sender = run.text.contains(QLatin1String("Mitt"));
        QVERIFY2(qAbs(run.pointSize - (sender ? 8 : 10)) < 0.01, qPrintable(run.text));
        QVERIFY2(run.font.contains(QLatin1String("Arial")) || run.font.contains(QLatin1String("Liberation")),
                 qPrintable(run.font));
        ++sizes[sender];
    }
    QVERIFY(sizes[0] >= 6 && sizes[1] >= 3);
    QString why;
    const QString received = TestPrintQueue::jobAttribute(path, QStringLiteral("media"), &why);
    QVERIFY2(!received.isEmpty(), qPrintable(why));
    if (!media.isEmpty())
        QCOMPARE(received, media);
    qInfo("%s through CUPS (%s, top %s, left %s): media %s, sheet %.2f x %.2f mm, largest position error %.4f mm",
          qPrintable(format), qPrintable(orientation), qPrintable(top), qPrintable(left), qPrintable(received),
          sheet.width(), sheet.height(), worst);
    QFile::remove(path);
}

void TestPrinting::cupsEnvelopesInOneJob()
{
    // What a mailing prints: one envelope laid out for each card, all as one job.
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    const EnvelopeFormat *dl = envelopeFormats::find(QStringLiteral("DL"));
    QList<PreparedPage> pages;
    for (int card = 1; card <= 100; ++card)
        pages << layOutEnvelope(*dl, EnvelopePlacement{report::Orientation::Landscape, 0, 0}, kSender,
                                {QStringLiteral("Scheda%1 Rossi").arg(card, 3, 10, QLatin1Char('0')), QStringLiteral("Via Roma 1")});
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QString title = QStringLiteral("Buste DL");
    const QString path = printQueuePdf(title, [&] {
        QString error;
        QVERIFY2(report::printReport(title, pages, nullptr, &error), qPrintable(error));
    });
    QVERIFY(!path.isEmpty());
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 100);
    for (int card = 1; card <= 100; ++card)
        QVERIFY2(pdf.pageText(card - 1).contains(QStringLiteral("Scheda%1").arg(card, 3, 10, QLatin1Char('0'))),
                 qPrintable(pdf.pageText(card - 1)));
    QString why;
    QCOMPARE(TestPrintQueue::jobAttribute(path, QStringLiteral("media"), &why), QStringLiteral("EnvDL"));
    QFile::remove(path);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
