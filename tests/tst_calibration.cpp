#include "DrawnInk.h"
#include "PdfText.h"
#include "ShownWindow.h"
#include "NarrowFormat.h"
#include "TestPrintQueue.h"

#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "storage/AddressArchive.h"
#include "ui/FocusHighlight.h"
#include "ui/PictureButton.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labelformats/LabelFormatSettings.h"
#include "printing/SheetFormat.h"
#include "printing/CalibrationSheet.h"
#include "printing/EnvelopeTemplate.h"
#include "printing/LabelCalibration.h"
#include "printing/LabelPageTemplate.h"
#include "printing/LineFit.h"
#include "printing/TfrmAnteprima_Etichetta.h"
#include "printing/TfrmAnteprima_Etichette.h"
#include "printing/TfrmCalibrazione.h"
#include "printing/TfrmStampaBusta.h"
#include "printing/TfrmStampaPagina.h"
#include "report/Layout.h"
#include "report/PagePainter.h"
#include "reportui/PreviewRecorder.h"
#include "reportui/PreviewWindow.h"
#include "reportui/PrintRecorder.h"
#include "report/Report.h"
#include "report/TextBox.h"
#include "report/TextFont.h"
#include "report/Units.h"
#include "ui/Messages.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace tavolux;
using report::PlacedItem;
using report::PreparedPage;

namespace {

constexpr double kExact = 1e-6;     // units, for layout
constexpr double kPrinted = 0.3;    // mm, for a position read back against the design
constexpr double kShiftRead = 0.01; // mm, for a shift read back between two prints

QString distinctLine(int slot, int line)
{
    return QStringLiteral("S%1L%2 riga").arg(slot, 2, 10, QLatin1Char('0')).arg(line);
}

QStringList card()
{
    return {QStringLiteral("Primariga"), QStringLiteral("Secondariga"), QStringLiteral("Terzariga"),
            QString(), QString(), QString()};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray calibrationIni(const QString &x, const QString &y)
{
    return QStringLiteral("[Margini Busta]\r\nSuperiore=0\r\nSinistro=0\r\n[Calibrazione Etichette]\r\n"
                          "Orizzontale=%1\r\nVerticale=%2\r\n").arg(x, y).toLatin1();
}

// Lays out one of the two label templates as its dialog prints or previews it,
// with the settings in "folder" (none: as designed).
QList<PreparedPage> labelPages(const QString &kind, const ProgramFolder *folder, int firstLabel = 1)
{
    auto lineOf = [](int slot, int line) { return distinctLine(slot, line); };
    if (kind == QLatin1String("page")) {
        report::PrintRecorder printer; // answers Cancel
        auto dialog = folder ? std::make_unique<TfrmStampaPagina>(*folder, lineOf)
                             : std::make_unique<TfrmStampaPagina>(lineOf);
        dialog->btnStampa->click();
        return printer.requests().value(0).pages;
    }
    report::PreviewRecorder previews;
    auto lines = [] { return card(); };
    auto dialog = folder ? std::make_unique<TfrmAnteprima_Etichetta>(*folder, lines)
                         : std::make_unique<TfrmAnteprima_Etichetta>(lines);
    dialog->options().setFirstLabel(firstLabel);
    dialog->btnStampa->click();
    return previews.previews().value(0).pages;
}

// The PNG of page 1 of a PDF at "dpi".
QImage render(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                       pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

QRgb pixelAtMm(const QImage &image, int dpi, double xMm, double yMm)
{
    const double perMm = dpi / 25.4;
    return image.pixel(int(xMm * perMm), int(yMm * perMm));
}

bool dark(QRgb pixel)
{
    return qGray(pixel) < 100;
}

// Every word of one print matched with the same word of another: the
// largest difference of their offsets from "shift".
double worstShiftError(const PdfText &moved, const PdfText &designed, const QPointF &shift, QString *why)
{
    double worst = 0;
    for (const PdfWord &word : designed.words) {
        const QList<PdfWord> same = moved.find(word.text);
        QList<PdfWord> designedSame = designed.find(word.text);
        if (same.size() != designedSame.size()) {
            *why = QStringLiteral("\"%1\" printed %2 times instead of %3").arg(word.text).arg(same.size()).arg(designedSame.size());
            return 1e9;
        }
        // The nearest one once shifted: words that repeat (one address on every label).
        double best = 1e9;
        for (const PdfWord &candidate : same) {
            const QPointF d = candidate.mm.topLeft() - word.mm.topLeft() - shift;
            best = std::min(best, std::max(qAbs(d.x()), qAbs(d.y())));
        }
        worst = std::max(worst, best);
    }
    return worst;
}

// A line near a box's width: the longest start of "text" that fits, one
// character less, or one more.
QString aroundWidth(bool (*fits)(const QString &), int delta)
{
    const QString text = QStringLiteral("Via Giuseppe Garibaldi, Piazza della Repubblica, Corso Vittorio Emanuele II, "
                                        "Largo Augusto 1234567890 e poi ancora altre parole per la busta");
    int n = 0;
    while (n < text.size() && fits(text.left(n + 1)))
        ++n;
    return text.left(n + delta);
}

std::unique_ptr<report::Report> filledWith(const QString &where, const QString &text, QString *box)
{
    std::unique_ptr<report::Report> document;
    if (where == QLatin1String("label")) {
        document = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
        *box = LabelPageTemplate::lineName(5, 3);
    } else {
        document = EnvelopeTemplate::create();
        *box = EnvelopeTemplate::lineName(3);
    }
    document->text(*box)->setText(text);
    return document;
}

// A line ending in "last" whose advance ends between lo and hi mm left of the
// box's right edge (negative: past it), made of "Via " and fillers.
QString endingNearTheEdge(const QString &where, const QString &last, double lo, double hi)
{
    QString name;
    const auto document = filledWith(where, QString(), &name);
    const auto *box = static_cast<const report::TextBox *>(document->FindObject(name));
    const report::FontMeasure measure(box->Font);
    const double edge = report::unitsToMm(box->Width);
    auto slack = [&](const QString &text) { return edge - report::unitsToMm(measure.width(text)); };
    QString base = QStringLiteral("Via ");
    // 3,5 to 5,5 mm left, for fillers of three or four characters.
    while (slack(base + QLatin1Char('a') + last) > 3.5)
        base += QLatin1Char('a');
    // Most advances lie on a grid of 1/18 em; these few do not.
    const QString alphabet = QStringLiteral("ilr1|^~\u00B0\u00B1\u00D7\u00B5\u00A9\u00BD");
    QList<QString> tails{QString()};

    for (int length = 0; length <= 4; ++length) {
        QList<QString> longer;
        for (const QString &tail : tails) {
            const QString text = base + tail + last;
            const double s = slack(text);
            if (s >= lo && s <= hi)
                return text;

            for (const QChar c : alphabet)
                longer << tail + c;
        }
        tails = longer;
    }
    qWarning("no line ends %f..%f mm before the edge", lo, hi);
    return QString();
}

// Whether the label page or the envelope, filled with "text", prints it cut:
// characters dropped, or ink that the box's clip takes away. The line's end
// is drawn at 120 pixels a millimetre with the clip the print uses and
// without it; any pixel that differs is ink lost.
bool printedCut(const QString &where, const QString &text)
{
    QString box;
    const auto document = filledWith(where, text, &box);
    document->PrepareReport();
    const QList<PlacedItem> placed = document->preparedPages().first().texts(box);
    if (placed.size() != 1 || placed.first().text != text)
        return true;
    const PlacedItem item = placed.first();
    const double perUnit = 120 / report::kUnitsPerMm;
    const QRectF window(item.clip.right() - report::mmToUnits(4), item.clip.top() - report::mmToUnits(1),
                        report::mmToUnits(6), item.clip.height() + report::mmToUnits(2));
    auto draw = [&](bool clipped) {
        PreparedPage page;
        PlacedItem drawn = item;
        drawn.clipped = true;
        if (!clipped)
            drawn.clip = window;
        page.items << drawn;
        QImage image((window.size() * perUnit).toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(perUnit, perUnit);
        painter.translate(-window.topLeft());
        report::paintPage(page, painter);
        painter.end();
        return image;
    };
    return draw(true) != draw(false);
}

// Whether the preview's first page shows label background at (x, y) mm
// from the paper's corner.
bool previewShowsLabelAt(report::PreviewWindow *preview, double xMm, double yMm)
{
    // The pages are painted in the view's viewport, beside its scroll bar.
    QWidget *view = preview->findChild<QAbstractScrollArea *>(QStringLiteral("pagesView"))->viewport();
    const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const double perMm = preview->zoom() * view->logicalDpiX() / 25.4 * image.devicePixelRatio();
    // Centred, with the desk's margin at least, where the page is narrower than the view.
    const double margin = 16 * image.devicePixelRatio();
    const double left = std::max(margin, (image.width() - 210 * perMm) / 2);
    const double top = margin;
    return image.pixel(int(left + xMm * perMm), int(top + yMm * perMm)) == qRgb(0xFF, 0xFF, 0xE0);
}

TSchedaIndirizzo cardWith(const QString &name, const QString &longLine)
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = name;
    card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via Roma 1");
    card[TSchedaIndirizzo::Rigo02] = longLine;
    return card;
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // In the layout
    void shiftMovesEveryObject_data();
    void shiftMovesEveryObject();
    void envelopeIgnoresCalibration();
    void startLabelLeavesLabelsEmpty_data();
    void startLabelLeavesLabelsEmpty();
    void previewControls_data();
    void previewControls();
    void printOptionsTab();

    // The calibration dialog
    void calibrationDialogSteps_data();
    void calibrationDialogSteps();
    void calibrationDialogSaves_data();
    void calibrationDialogSaves();
    void testSheetLayout();

    // Lines that will be cut
    void fitsAtTheEdge();
    void cutLinesMarked_data();
    void cutLinesMarked();
    void cutMarkWhateverTheFocus_data();
    void cutMarkWhateverTheFocus();
    void cutMarksOnChosenFormat_data();
    void cutMarksOnChosenFormat();

    // Printed through CUPS
    void cupsShiftedSheets_data();
    void cupsShiftedSheets();
    void cupsTestSheet();
    void cupsStartLabel();
    void cupsPrintDialogOptions_data();
    void cupsPrintDialogOptions();

private:
    QString printQueuePdf(const QString &title, const std::function<void()> &print);
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Impostazioni.ini")); }
    ProgramFolder folder() const { return ProgramFolder(m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestCalibration::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
}

void TestCalibration::cleanup()
{
    m_messages.reset();
    m_dir.reset();
}

// ------------------------------------------------------------------ layout

void TestCalibration::shiftMovesEveryObject_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QPointF>("shift");
    for (const QString kind : {QStringLiteral("page"), QStringLiteral("one")}) {
        QTest::addRow("%s, no settings file", qPrintable(kind)) << kind << QByteArray() << QPointF(0, 0);
        QTest::addRow("%s, envelope settings only", qPrintable(kind))
            << kind << QByteArray("[Margini Busta]\r\nSuperiore=5\r\nSinistro=7\r\n") << QPointF(0, 0);
        QTest::addRow("%s, +1,5 -0,7", qPrintable(kind)) << kind << calibrationIni("1,5", "-0,7") << QPointF(1.5, -0.7);
        QTest::addRow("%s, at the limits", qPrintable(kind)) << kind << calibrationIni("-10", "10") << QPointF(-10, 10);
        QTest::addRow("%s, beyond the limit, not a number", qPrintable(kind))
            << kind << calibrationIni("12,5", "tre") << QPointF(10, 0);
    }
}

void TestCalibration::shiftMovesEveryObject()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, ini);
    QFETCH(QPointF, shift);
    if (!ini.isEmpty())
        writeFile(iniPath(), ini);
    const QList<PreparedPage> designed = labelPages(kind, nullptr);
    const ProgramFolder here = folder();
    const QList<PreparedPage> moved = labelPages(kind, &here);
    QCOMPARE(designed.size(), 1);
    QCOMPARE(moved.size(), 1);
    const QList<PlacedItem> &a = designed.first().items;
    const QList<PlacedItem> &b = moved.first().items;
    QCOMPARE(a.size(), 24 + 24 * (kind == QLatin1String("page") ? 6 : 3));
    QCOMPARE(b.size(), a.size());
    const QPointF units = shift * report::kUnitsPerMm;
    for (int i = 0; i < a.size(); ++i) {
        QCOMPARE(b.at(i).source, a.at(i).source);
        QCOMPARE(b.at(i).text, a.at(i).text);
        const QPointF d = b.at(i).rect.topLeft() - a.at(i).rect.topLeft() - units;
        const QPointF dc = b.at(i).clip.topLeft() - a.at(i).clip.topLeft() - units;
        QVERIFY2(qAbs(d.x()) < kExact && qAbs(d.y()) < kExact && qAbs(dc.x()) < kExact && qAbs(dc.y()) < kExact,
                 qPrintable(a.at(i).source));
        QCOMPARE(b.at(i).rect.size(), a.at(i).rect.size());
    }
    // Printing reads the settings and never writes them.
    QCOMPARE(readFile(iniPath()), ini);
    QCOMPARE(QFile::exists(iniPath()), !ini.isEmpty());
}

void TestCalibration::envelopeIgnoresCalibration()
{
    writeFile(iniPath(), calibrationIni("1,5", "-0,7"));
    report::PrintRecorder printer;
    TfrmStampaBusta dialog(folder(), [] { return card(); });
    dialog.btnStampa->click();
    QCOMPARE(printer.count(), 1);
    const QList<PlacedItem> line1 = printer.requests().first().pages.first().texts(EnvelopeTemplate::lineName(1));
    QCOMPARE(line1.size(), 1);
    // The template stores 119 and 57 mm to five decimals of a unit.
    QVERIFY(qAbs(line1.first().rect.left() - report::mmToUnits(119)) < 1e-3);
    QVERIFY(qAbs(line1.first().rect.top() - report::mmToUnits(57)) < 1e-3);
}

void TestCalibration::startLabelLeavesLabelsEmpty_data()
{
    QTest::addColumn<int>("first");
    QTest::newRow("1, as designed") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("7, the third row") << 7;
    QTest::newRow("24, the last label alone") << 24;
    QTest::newRow("0 is 1") << 0;
    QTest::newRow("30 is 24") << 30;
}

void TestCalibration::startLabelLeavesLabelsEmpty()
{
    QFETCH(int, first);
    const ProgramFolder here = folder();
    const QList<PreparedPage> pages = labelPages(QStringLiteral("one"), &here, first);
    QCOMPARE(pages.size(), 1);
    const int from = std::clamp(first, 1, 24);
    for (int slot = 1; slot <= 24; ++slot) {
        const bool used = slot < from;
        const QList<PlacedItem> background = pages.first().rects(LabelPageTemplate::shapeName(slot));
        QCOMPARE(background.size(), used ? 0 : 1);
        if (!used)
            QCOMPARE(background.first().rect, LabelPageTemplate::labelRect(slot).translated(report::mmToUnits(10),
                                                                                          report::mmToUnits(10)));
        for (int line = 1; line <= 6; ++line)
            QCOMPARE(pages.first().texts(LabelPageTemplate::lineName(slot, line)).size(), used || line > 3 ? 0 : 1);
    }
    QCOMPARE(pages.first().items.size(), (25 - from) * 4);
}

void TestCalibration::previewControls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("calibration");
    QTest::addColumn<bool>("start");
    QTest::newRow("label page preview") << "preview" << true << false;
    QTest::newRow("label page print") << "page" << true << false;
    QTest::newRow("one-address page") << "one" << true << true;
    QTest::newRow("envelope") << "envelope" << false << false;
}

void TestCalibration::previewControls()
{
    QFETCH(QString, kind);
    QFETCH(bool, calibration);
    QFETCH(bool, start);
    auto lineOf = [](int slot, int line) { return distinctLine(slot, line); };
    std::unique_ptr<QDialog> dialog;
    report::Report *document = nullptr;
    if (kind == QLatin1String("preview")) {
        auto d = std::make_unique<TfrmAnteprima_Etichette>(folder(), lineOf);
        document = d->repDocumento.get();
        dialog = std::move(d);
    } else if (kind == QLatin1String("page")) {
        auto d = std::make_unique<TfrmStampaPagina>(folder(), lineOf);
        document = d->repDocumento.get();
        dialog = std::move(d);
    } else if (kind == QLatin1String("one")) {
        auto d = std::make_unique<TfrmAnteprima_Etichetta>(folder(), [] { return card(); });
        document = d->repDocumento.get();
        dialog = std::move(d);
    } else {
        auto d = std::make_unique<TfrmStampaBusta>(folder(), [] { return card(); });
        document = d->repModulo.get();
        dialog = std::move(d);
    }
    document->PrepareReport();
    report::PreviewWindow window(*document);
    QCOMPARE(window.findChild<QToolButton *>(QStringLiteral("btnCalibrazione")) != nullptr, calibration);
    auto *spin = window.findChild<QSpinBox *>(QStringLiteral("txtInizio"));
    QCOMPARE(spin != nullptr, start);
    QCOMPARE(document->printControls().isEmpty(), !calibration && !start);
    if (!spin)
        return;
    QCOMPARE(spin->value(), 1);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 24);
    // The preview shows the sheet from the chosen label at once.
    spin->setValue(7);
    QCOMPARE(document->preparedPages().first().rects(LabelPageTemplate::shapeName(6)).size(), 0);
    QCOMPARE(document->preparedPages().first().rects(LabelPageTemplate::shapeName(7)).size(), 1);
    QVERIFY(!QFile::exists(iniPath()));
}

void TestCalibration::printOptionsTab()
{
    // The print dialog's options tab: the first label chosen there is printed.
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("foglio.pdf"));
    report::PreviewRecorder previews;
    previews.pressPrint();
    report::PrintRecorder printer;
    printer.answerPrintToFile(pdf);
    bool found = false;
    printer.setOptionsScript([&found](QWidget *tab) {
        auto *spin = tab->findChild<QSpinBox *>(QStringLiteral("txtInizio"));
        found = spin && tab->findChild<QPushButton *>(QStringLiteral("btnCalibrazione"));
        if (spin)
            spin->setValue(7);
    });
    TfrmAnteprima_Etichetta dialog(folder(), [] { return card(); });
    dialog.btnStampa->click();
    QCOMPARE(printer.count(), 1);
    QVERIFY(printer.requests().first().hadOptionsTab);
    QVERIFY(found);
    const PdfText text = readPdfText(pdf);
    QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
    QCOMPARE(text.find(QStringLiteral("Primariga")).size(), 18);
}

// ------------------------------------------------------- calibration dialog

void TestCalibration::calibrationDialogSteps_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shownBefore");
    QTest::addColumn<QString>("shownAfter");
    QTest::newRow("none, + across") << QByteArray() << "btnOrizzPlus" << "0" << "0,1";
    QTest::newRow("none, - down") << QByteArray() << "btnVertMinus" << "0" << "-0,1";
    QTest::newRow("1,5, -") << calibrationIni("1,5", "-0,7") << "btnOrizzMinus" << "1,5" << "1,4";
    QTest::newRow("-0,7, +") << calibrationIni("1,5", "-0,7") << "btnVertPlus" << "-0,7" << "-0,6";
    QTest::newRow("-0,1, + gives 0") << calibrationIni("-0,1", "0") << "btnOrizzPlus" << "-0,1" << "0";
    QTest::newRow("10, + stays") << calibrationIni("10", "-10") << "btnOrizzPlus" << "10" << "10";
    QTest::newRow("-10, - stays") << calibrationIni("10", "-10") << "btnVertMinus" << "-10" << "-10";
}

void TestCalibration::calibrationDialogSteps()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, button);
    QFETCH(QString, shownBefore);
    QFETCH(QString, shownAfter);
    if (!ini.isEmpty())
        writeFile(iniPath(), ini);
    TfrmCalibrazione dialog(folder());
    QLineEdit *box = button.startsWith(QLatin1String("btnOrizz")) ? dialog.txtOrizzontale : dialog.txtVerticale;
    QCOMPARE(box->text(), shownBefore);
    dialog.findChild<QPushButton *>(button)->click();
    QCOMPARE(box->text(), shownAfter);
    // Nothing is written before "Salva".
    QCOMPARE(readFile(iniPath()), ini);
}

void TestCalibration::calibrationDialogSaves_data()
{
    // The settings file before "Salva" and after it: only the calibration's
    // lines change or are added, every other byte stays as it was.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray envelope("[Margini Busta]\r\nSuperiore=3\r\nSinistro=-2\r\n");
    QTest::newRow("envelope settings") << envelope
                                       << envelope + "[Calibrazione Etichette]\r\nOrizzontale=1,5\r\nVerticale=-0,7\r\n";
    QTest::newRow("no file") << QByteArray() << QByteArray("[Calibrazione Etichette]\r\nOrizzontale=1,5\r\nVerticale=-0,7\r\n");
    QTest::newRow("LF line ends, no final line end")
        << QByteArray("[Margini Busta]\nSuperiore=3\n\n[Stampa Busta]\nOrientamento=Orizzontale")
        << QByteArray("[Margini Busta]\nSuperiore=3\n\n[Stampa Busta]\nOrientamento=Orizzontale\n"
                      "[Calibrazione Etichette]\nOrizzontale=1,5\nVerticale=-0,7\n");
    QTest::newRow("stored before, other sections around")
        << QByteArray("[Margini Busta]\r\nSuperiore=3\r\n\r\n[Calibrazione Etichette]\r\nOrizzontale=2\r\n"
                      "Verticale = 1 \r\n\r\n[Stampa Busta]\r\nOrientamento=Verticale\r\n")
        << QByteArray("[Margini Busta]\r\nSuperiore=3\r\n\r\n[Calibrazione Etichette]\r\nOrizzontale=1,5\r\n"
                      "Verticale=-0,7\r\n\r\n[Stampa Busta]\r\nOrientamento=Verticale\r\n");
}

void TestCalibration::calibrationDialogSaves()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        writeFile(iniPath(), before);
    auto setShift = [](TfrmCalibrazione &dialog) {
        dialog.txtOrizzontale->setText(QStringLiteral("0"));
        dialog.txtVerticale->setText(QStringLiteral("0"));
        for (int i = 0; i < 15; ++i)
            dialog.btnOrizzPlus->click();
        for (int i = 0; i < 7; ++i)
            dialog.btnVertMinus->click();
    };
    {
        TfrmCalibrazione dialog(folder());
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // fixed size
        setShift(dialog);
        dialog.btnAnnulla->click();
    }
    QCOMPARE(readFile(iniPath()), before);
    TfrmCalibrazione dialog(folder());
    setShift(dialog);
    dialog.btnSalva->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(readFile(iniPath()), after);
    QCOMPARE(LabelCalibration(folder()).read(), (LabelShift{1.5, -0.7}));
    // The next print reads it.
    const ProgramFolder here = folder();
    const QList<PreparedPage> pages = labelPages(QStringLiteral("page"), &here);
    const QList<PlacedItem> background = pages.first().rects(LabelPageTemplate::shapeName(1));
    QVERIFY(qAbs(background.first().rect.left() - report::mmToUnits(11.5)) < kExact);
    QVERIFY(qAbs(background.first().rect.top() - report::mmToUnits(9.3)) < kExact);
}

void TestCalibration::testSheetLayout()
{
    // The test sheet is printed through the print dialog with the shift the
    // dialog shows, saved or not.
    writeFile(iniPath(), calibrationIni("1,5", "-0,7"));
    report::PrintRecorder printer;
    TfrmCalibrazione dialog(folder());
    dialog.btnOrizzPlus->click();
    dialog.btnProva->click();
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, CalibrationSheet::name());
    QVERIFY(!readFile(iniPath()).contains("1,6"));
    const PreparedPage page = printer.requests().first().pages.first();
    const QPointF shift(1.6, -0.7);
    const double stroke = report::mmToUnits(0.2);
    auto near = [](double a, double b) { return qAbs(a - b) < kExact; };
    auto inMm = [](const QRectF &units) {
        return QRectF(report::unitsToMm(units.left()), report::unitsToMm(units.top()), report::unitsToMm(units.width()),
                      report::unitsToMm(units.height()));
    };
    for (const PlacedItem &item : page.items) {
        // Nothing in the 5 mm along the paper's edges that many printers leave blank.
        const QRectF at = inMm(item.rect).translated(-shift);
        QVERIFY2(at.left() >= 5 - 1e-6 && at.top() >= 5 - 1e-6 && at.right() <= 205 + 1e-6 && at.bottom() <= 292 + 1e-6,
                 qPrintable(item.source));
        if (item.kind == PlacedItem::Kind::Rect) {
            // Strokes 0.2 mm wide: a black fill with no outline around it.
            QVERIFY2(!item.outline.isValid() && item.fill == QColor(Qt::black), qPrintable(item.source));
            QVERIFY2(near(std::min(item.rect.width(), item.rect.height()), stroke), qPrintable(item.source));
        }
    }
    for (int slot = 1; slot <= 24; ++slot) {
        const QRectF label = CalibrationSheet::outlineMm(slot).translated(shift);
        const QRectF units(report::mmToUnits(label.left()), report::mmToUnits(label.top()),
                           report::mmToUnits(label.width()), report::mmToUnits(label.height()));
        const QString which = QStringLiteral("label %1").arg(slot);
        // The outline: four strokes along the edges, inside the label.
        int edges = 0;
        QStringList lines;
        QList<const PlacedItem *> texts;
        for (const PlacedItem &item : page.items) {
            const QRectF r = item.rect;
            if (item.kind == PlacedItem::Kind::Rect && units.adjusted(-kExact, -kExact, kExact, kExact).contains(r)
                && (near(r.width(), units.width()) || near(r.height(), units.height()))
                && (near(r.left(), units.left()) || near(r.top(), units.top()) || near(r.right(), units.right())
                    || near(r.bottom(), units.bottom())))
                ++edges;
            if (item.kind == PlacedItem::Kind::Text && units.contains(r.center()))
                texts << &item;
        }
        QVERIFY2(edges == 4, qPrintable(which));
        // A cross on each corner: one stroke across it and one down it, centred on it.
        for (const QPointF corner : {units.topLeft(), units.topRight(), units.bottomLeft(), units.bottomRight()}) {
            int across = 0, down = 0;
            for (const PlacedItem &item : page.rects()) {
                if (!near(item.rect.center().x(), corner.x()) || !near(item.rect.center().y(), corner.y()))
                    continue;
                across += item.rect.width() > 2 * stroke;
                down += item.rect.height() > 2 * stroke;
            }
            QVERIFY2(across == 1 && down == 1, qPrintable(which));
        }
        // Its number, the shift it was printed with and how to read it, inside the label.
        std::sort(texts.begin(), texts.end(), [](const PlacedItem *a, const PlacedItem *b) { return a->rect.top() < b->rect.top(); });
        for (const PlacedItem *item : texts) {
            QVERIFY2(units.contains(item->rect), qPrintable(item->text));
            lines << item->text;
        }
        QVERIFY2(lines.size() >= 3, qPrintable(which));
        QCOMPARE(lines.first(), QStringLiteral("Etichetta %1").arg(slot));
        QVERIFY(near(texts.first()->rect.left(), units.left() + report::mmToUnits(2)));
        QCOMPARE(lines.at(1), QStringLiteral("Stampato con Orizzontale 1,6 mm e Verticale -0,7 mm."));
        const QString reading = lines.mid(2).join(QLatin1Char(' '));
        QVERIFY2(reading.contains(QStringLiteral("Se la croce è spostata di x mm a destra, diminuire Orizzontale di x")),
                 qPrintable(reading));
        QVERIFY2(reading.contains(QStringLiteral("spostata di y mm in basso, diminuire Verticale di y")), qPrintable(reading));
    }
}

// ----------------------------------------------------------- cut lines

void TestCalibration::fitsAtTheEdge()
{
    // A box exactly as wide as its text prints it whole; a hair narrower cuts it.
    const report::TextFont font{QStringLiteral("Arial"), 7};
    const report::FontMeasure measure(font);
    const QString text = QStringLiteral("Via Giuseppe Garibaldi 12");
    const double width = measure.width(text);
    for (const double boxWidth : {width, width - 0.01}) {
        report::Report document(QStringLiteral("prova"));
        report::TextBox *box = document.page().addText(QStringLiteral("t"), QRectF(0, 0, boxWidth, 20));
        box->Font = font;
        box->setText(text);
        document.PrepareReport();
        const PlacedItem item = document.preparedPages().first().texts().first();
        const bool whole = item.text == text && item.rect.right() <= item.clip.right() + 1e-6;
        QCOMPARE(whole, report::fitsWidth(measure, text, boxWidth));
        QCOMPARE(whole, boxWidth == width);
    }
}

void TestCalibration::cutLinesMarked_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("labelCut");
    QTest::addColumn<bool>("envelopeCut");
    QTest::newRow("short") << "Via Roma 1" << false << false;
    QTest::newRow("label, just below") << aroundWidth(fitsLabelLine, -1) << false << false;
    QTest::newRow("label, at the edge") << aroundWidth(fitsLabelLine, 0) << false << false;
    QTest::newRow("label, just above") << aroundWidth(fitsLabelLine, 1) << true << false;
    QTest::newRow("label, above with blanks around")
        << QStringLiteral("  ") + aroundWidth(fitsLabelLine, 1) + QStringLiteral("  ") << true << false;
    QTest::newRow("label, at the edge with blanks around")
        << QStringLiteral("  ") + aroundWidth(fitsLabelLine, 0) + QStringLiteral(" ") << false << false;
    QTest::newRow("envelope, just below") << aroundWidth(fitsEnvelopeLine, -1) << true << false;
    QTest::newRow("envelope, at the edge") << aroundWidth(fitsEnvelopeLine, 0) << true << false;
    QTest::newRow("envelope, just above") << aroundWidth(fitsEnvelopeLine, 1) << true << true;
    // Judged by the ink: a last glyph that overhangs its advance is cut though
    // the advance fits; one drawn inside its advance is whole though the
    // advance passes the edge.
    QTest::newRow("label, \u00EE fits by its advance, its ink passes")
        << endingNearTheEdge(QStringLiteral("label"), QStringLiteral("\u00EE"), 0.0, 0.015) << true << false;
    QTest::newRow("label, full stop passes by its advance, its ink inside")
        << endingNearTheEdge(QStringLiteral("label"), QStringLiteral("."), -0.05, -0.001) << false << false;
    QTest::newRow("envelope, \u00EE fits by its advance, its ink passes")
        << endingNearTheEdge(QStringLiteral("envelope"), QStringLiteral("\u00EE"), 0.0, 0.03) << true << true;
    QTest::newRow("envelope, full stop passes by its advance, its ink inside")
        << endingNearTheEdge(QStringLiteral("envelope"), QStringLiteral("."), -0.05, -0.001) << true << false;
}

void TestCalibration::cutLinesMarked()
{
    QFETCH(QString, text);
    QFETCH(bool, labelCut);
    QFETCH(bool, envelopeCut);
    QVERIFY(!text.isEmpty());
    const QString printed = text.trimmed();
    // The hand-made expectation agrees with what the print does.
    QCOMPARE(printedCut(QStringLiteral("label"), printed), labelCut);
    QCOMPARE(printedCut(QStringLiteral("envelope"), printed), envelopeCut);
    QCOMPARE(!fitsLabelLine(text), labelCut);
    QCOMPARE(!fitsEnvelopeLine(text), envelopeCut);

    // The address window marks the field and says why while it has the focus.
    TfrmArchivio_Indirizzi window(folder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.txtRigo04->setText(text);
    window.txtRigo03->setText(QStringLiteral("Via Roma 1"));
    QCOMPARE(drawnInk(window.txtRigo04), labelCut ? QStringLiteral("orange") : QStringLiteral("black"));
    QCOMPARE(drawnInk(window.txtRigo03), QStringLiteral("black"));
    window.txtRigo04->setFocus();
    QApplication::processEvents();
    const QString status = window.panInfo->text();
    QCOMPARE(status.contains(QLatin1String("etichetta")), labelCut);
    QCOMPARE(status.contains(QLatin1String("busta")), envelopeCut);
    window.txtRigo05->setFocus();
    QApplication::processEvents();
    QVERIFY(!window.panInfo->text().contains(QStringLiteral("troppo lungo")));

    // The label-page window marks the slot's name.
    TfrmArchivio_Etichette labels(folder());
    labels.show();
    QVERIFY(QTest::qWaitForWindowExposed(&labels));
    labels.fillSlot(5, QStringLiteral("Rossi"), {QStringLiteral("Uno"), QStringLiteral("Due"), text});
    labels.fillSlot(6, QStringLiteral("Bianchi"), {QStringLiteral("Uno")});
    QCOMPARE(drawnInk(labels.txtNome_E(5)), labelCut ? QStringLiteral("orange") : QStringLiteral("black"));
    QCOMPARE(drawnInk(labels.txtNome_E(6)), QStringLiteral("black"));
}

void TestCalibration::cutMarksOnChosenFormat_data()
{
    QTest::addColumn<QString>("chosenFor"); // the uses the narrow format is chosen for
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("addressCut");
    QTest::addColumn<bool>("labelsCut");
    const QString wide = aroundWidth(fitsLabelLine, -1); // just fits the built-in label
    for (const char *uses : {"", "pages", "one", "mailing", "pages one mailing"}) {
        const bool pages = QByteArray(uses).contains("pages");
        const bool any = *uses != 0;
        QTest::addRow("wide line 2, narrow for '%s'", uses) << uses << 2 << wide << any << pages;
        QTest::addRow("short line 4, narrow for '%s'", uses) << uses << 4 << "Uno" << any << pages;
        QTest::addRow("short line 3, narrow for '%s'", uses) << uses << 3 << "Via Roma 1" << false << false;
    }
}

void TestCalibration::cutMarksOnChosenFormat()
{
    // A line is judged on the label it prints on: a line of the built-in
    // label is cut on a narrower chosen format, and so is a line its labels
    // have no room for. The label-page window judges on the format of label
    // pages, the address window on every format its lines go to.
    QFETCH(QString, chosenFor);
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(bool, addressCut);
    QFETCH(bool, labelsCut);
    const LabelProduct own = narrowLabels();
    {
        LabelFormatSettings settings(folder());
        QVERIFY(settings.saveOwnFormat(own));
        using Use = LabelFormatSettings::Use;
        const QList<QPair<QString, Use>> uses{
            {QStringLiteral("pages"), Use::LabelPages}, {QStringLiteral("one"), Use::OneAddress}, {QStringLiteral("mailing"), Use::Mailing}};
        for (const auto &[word, use] : uses)
            if (chosenFor.split(QLatin1Char(' ')).contains(word))
                QVERIFY(settings.writeChosenId(use, own.id()));
    }
    const auto ink = [](bool cut) { return cut ? QStringLiteral("orange") : QStringLiteral("black"); };

    TfrmArchivio_Indirizzi window(folder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QLineEdit *field = window.findChild<QLineEdit *>(QStringLiteral("txtRigo0%1").arg(line));
    QVERIFY(field);
    field->setText(text);
    QCOMPARE(drawnInk(field), ink(addressCut));
    field->setFocus();
    QApplication::processEvents();
    QCOMPARE(window.panInfo->text().contains(QLatin1String("per l'etichetta")), addressCut);
    // Told of another format, the window judges again.
    window.setSheetFormats({SheetFormat::standard()});
    QCOMPARE(drawnInk(field), ink(false));
    window.setSheetFormats({SheetFormat::of(own)});
    QCOMPARE(drawnInk(field), ink(line != 3));

    TfrmArchivio_Etichette labels(folder());
    labels.show();
    QVERIFY(QTest::qWaitForWindowExposed(&labels));
    QStringList lines(6);
    lines[line - 1] = text;
    labels.fillSlot(5, QStringLiteral("Rossi"), lines);
    QCOMPARE(drawnInk(labels.txtNome_E(5)), ink(labelsCut));
    labels.setSheetFormat(SheetFormat::standard());
    QCOMPARE(drawnInk(labels.txtNome_E(5)), ink(false));
    labels.setSheetFormat(SheetFormat::of(own));
    QCOMPARE(drawnInk(labels.txtNome_E(5)), ink(line != 3));
}

void TestCalibration::cutMarkWhateverTheFocus_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("how");
    for (const char *how : {"typed", "recalled"})
        QTest::addRow("address window, %s", how) << "address" << how;
    for (const char *how : {"imported", "recalled"})
        QTest::addRow("label window, %s", how) << "labels" << how;
}

void TestCalibration::cutMarkWhateverTheFocus()
{
    // The mark shows with the field focused (yellow), after the focus left
    // it, and however the line got there.
    QFETCH(QString, window);
    QFETCH(QString, how);
    const QString longLine = aroundWidth(fitsLabelLine, 1);
    {
        AddressArchive archive(folder());
        QVERIFY(archive.open());
        QVERIFY(archive.append(cardWith(QStringLiteral("Lunga"), longLine)) > 0);
        QVERIFY(archive.append(cardWith(QStringLiteral("Corta"), QStringLiteral("Via Verdi 2"))) > 0);
    }
    QLineEdit *marked = nullptr;
    QLineEdit *plain = nullptr;
    std::unique_ptr<QWidget> shown;
    if (window == QLatin1String("address")) {
        auto w = std::make_unique<TfrmArchivio_Indirizzi>(folder());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        marked = w->txtRigo02;
        plain = w->txtRigo01;
        if (how == QLatin1String("typed")) {
            plain->setText(QStringLiteral("Via Roma 1"));
            marked->setFocus();
            QTest::keyClicks(marked, longLine);
        } else {
            // Recalled by the find dialog, with the line's field focused.
            marked->setFocus();
            TfrmTrovaIndirizzi find(*w);
            find.show();
            find.setCurrentLine(find.lines().indexOf(find.lines().filter(QStringLiteral("Lunga")).value(0)));
            find.recallCurrent();
            QCOMPARE(marked->text(), longLine);
            w->activateWindow();
            marked->setFocus();
        }
        shown = std::move(w);
    } else {
        auto w = std::make_unique<TfrmArchivio_Etichette>(folder());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        marked = w->txtNome_E(5);
        plain = w->txtNome_E(6);
        w->fillSlot(6, QStringLiteral("Corta"), {QStringLiteral("Via Verdi 2")});
        marked->setFocus();
        if (how == QLatin1String("imported")) {
            TfrmImportaIndirizzi import(*w);
            import.lblMemory->setText(TfrmArchivio_Etichette::slotTag(5));
            import.show();
            import.setCurrentLine(import.lines().indexOf(import.lines().filter(QStringLiteral("Lunga")).value(0)));
            import.recallCurrent();
        } else {
            // A stored page recalled by navigation.
            w->fillSlot(1, QStringLiteral("Prima"), {QStringLiteral("Via Roma 1")});
            w->fillSlot(5, QStringLiteral("Lunga"), {QStringLiteral("Via Roma 1"), longLine});
            w->cmdSalva->click();
            w->cmdNuovo->click();
            w->cmdPrimo->click();
        }
        QCOMPARE(marked->text(), QStringLiteral("Lunga"));
        w->activateWindow();
        marked->setFocus();
        shown = std::move(w);
    }
    QApplication::setActiveWindow(shown.get());
    marked->setFocus();
    QTRY_VERIFY(marked->hasFocus());
    QCOMPARE(ui::FocusHighlight::currentBackground(marked), ui::colors::Focus);
    QCOMPARE(drawnInk(marked), QStringLiteral("orange"));
    QCOMPARE(drawnInk(plain), QStringLiteral("black"));
    plain->setFocus();
    QTRY_VERIFY(plain->hasFocus());
    QCOMPARE(drawnInk(marked), QStringLiteral("orange"));
    QCOMPARE(drawnInk(plain), QStringLiteral("black"));
    if (window == QLatin1String("address")) {
        // While focused, the status text says why.
        marked->setFocus();
        QTRY_VERIFY(marked->hasFocus());
        const QString status = static_cast<TfrmArchivio_Indirizzi *>(shown.get())->panInfo->text();
        QVERIFY2(status.startsWith(QStringLiteral("Attenzione: il rigo è troppo lungo per "))
                     && status.endsWith(QStringLiteral(" e in stampa verrà tagliato. Si consiglia di abbreviarlo.")),
                 qPrintable(status));
    } else {
        // The slot says it in its tooltip and to assistive tools; a plain one says nothing.
        const QString warning = QStringLiteral("Attenzione: un rigo dell'etichetta è troppo lungo e in stampa verrà "
                                               "tagliato. Si consiglia di abbreviarlo nella scheda dell'indirizzo.");
        QCOMPARE(marked->toolTip(), warning);
        QCOMPARE(QAccessible::queryAccessibleInterface(marked)->text(QAccessible::Description), warning);
        QCOMPARE(plain->toolTip(), QString());
    }
}

// ------------------------------------------------------ printed through CUPS

QString TestCalibration::printQueuePdf(const QString &title, const std::function<void()> &print)
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

void TestCalibration::cupsShiftedSheets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("label page") << "page";
    QTest::newRow("one-address page") << "one";
}

void TestCalibration::cupsShiftedSheets()
{
    QFETCH(QString, kind);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    const QString title = kind == QLatin1String("page") ? QStringLiteral("Pagina Etichette")
                                                         : QStringLiteral("Anteprima Etichetta");
    auto print = [&] {
        report::PrintRecorder printer;
        printer.answerPrintTo(queue.name());
        report::PreviewRecorder previews;
        previews.pressPrint();
        if (kind == QLatin1String("page")) {
            TfrmStampaPagina dialog(folder(), [](int slot, int line) { return distinctLine(slot, line); });
            dialog.btnStampa->click();
        } else {
            TfrmAnteprima_Etichetta dialog(folder(), [] { return card(); });
            dialog.btnStampa->click();
        }
    };
    const QString designedPath = printQueuePdf(title, print);
    QVERIFY(!designedPath.isEmpty());
    writeFile(iniPath(), calibrationIni("1,5", "-0,7"));
    const QString movedPath = printQueuePdf(title, print);
    QVERIFY(!movedPath.isEmpty());

    const PdfText designed = readPdfText(designedPath);
    const PdfText moved = readPdfText(movedPath);
    QVERIFY2(designed.error.isEmpty() && moved.error.isEmpty(), qPrintable(designed.error + moved.error));
    QCOMPARE(moved.words.size(), designed.words.size());
    QCOMPARE(designed.words.size(), kind == QLatin1String("page") ? 144 * 2 : 72);
    // With the defaults, on the designed geometry.
    const double ascent = report::FontMeasure(report::TextFont{QStringLiteral("Arial"), 7}).ascent() / report::kUnitsPerMm;
    double worstDesigned = 0;
    for (int slot = 1; slot <= 24; ++slot) {
        const int row = (slot - 1) / 3;
        const QPointF expected(10 + 64 * ((slot - 1) % 3) + 2, 10 + 35 * row + (row == 0 ? 1.8 : 2.0));
        const QString first = kind == QLatin1String("page") ? distinctLine(slot, 1).section(QLatin1Char(' '), 0, 0)
                                                             : QStringLiteral("Primariga");
        double best = 1e9;
        for (const PdfWord &word : designed.find(first)) {
            const QPointF d = designed.lineStartMm(word, 7, ascent) - expected;
            best = std::min(best, std::max(qAbs(d.x()), qAbs(d.y())));
        }
        worstDesigned = std::max(worstDesigned, best);
    }
    QVERIFY2(worstDesigned < kPrinted, qPrintable(QString::number(worstDesigned)));
    // Shifted: every word exactly that far from where the defaults put it.
    QString why;
    const double worst = worstShiftError(moved, designed, QPointF(1.5, -0.7), &why);
    QVERIFY2(worst < kShiftRead, qPrintable(why.isEmpty() ? QStringLiteral("off by %1 mm").arg(worst) : why));
    qInfo("%s through CUPS: on the design within %.3f mm; shifted by (+1,5; -0,7) within %.4f mm", qPrintable(title),
          worstDesigned, worst);
    // The label backgrounds moved too: rendered, the left edge of E01 is
    // at 11.5 mm, not at 10.
    const int dpi = 254; // 10 pixels to the mm
    const QImage image = render(movedPath, dpi);
    QVERIFY(!image.isNull());
    const QRgb yellow = qRgb(0xFF, 0xFF, 0xE0);
    QCOMPARE(pixelAtMm(image, dpi, 11.7, 20), yellow);
    QCOMPARE(pixelAtMm(image, dpi, 11.3, 20), qRgb(0xFF, 0xFF, 0xFF));
    QCOMPARE(pixelAtMm(image, dpi, 30, 9.5), yellow);
    QCOMPARE(pixelAtMm(image, dpi, 30, 9.1), qRgb(0xFF, 0xFF, 0xFF));
    QFile::remove(designedPath);
    QFile::remove(movedPath);
}

void TestCalibration::cupsTestSheet()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    writeFile(iniPath(), calibrationIni("1,5", "-0,7"));
    const QString path = printQueuePdf(CalibrationSheet::name(), [&] {
        report::PrintRecorder printer;
        printer.answerPrintTo(queue.name());
        TfrmCalibrazione dialog(folder());
        dialog.btnProva->click();
    });
    QVERIFY(!path.isEmpty());
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    const QPointF shift(1.5, -0.7);
    const double ascent7 = report::FontMeasure(report::TextFont{QStringLiteral("Arial"), 7}).ascent() / report::kUnitsPerMm;
    const double ascent6 = report::FontMeasure(report::TextFont{QStringLiteral("Arial"), 6}).ascent() / report::kUnitsPerMm;
    // A label's caption 2 mm inside each shifted outline.
    double worst = 0;
    for (int slot = 1; slot <= 24; ++slot) {
        const QPointF expected = CalibrationSheet::outlineMm(slot).topLeft() + QPointF(2, 2) + shift;
        double best = 1e9;
        for (const PdfWord &label : pdf.find(QStringLiteral("Etichetta"))) {
            const QPointF d = pdf.lineStartMm(label, 7, ascent7) - expected;
            best = std::min(best, std::max(qAbs(d.x()), qAbs(d.y())));
        }
        worst = std::max(worst, best);
    }
    QVERIFY2(worst < kPrinted, qPrintable(QString::number(worst)));
    // The shift it was printed with and how to read it, on every label.
    QCOMPARE(pdf.find(QStringLiteral("Stampato")).size(), 24);
    QCOMPARE(pdf.find(QStringLiteral("1,5")).size(), 24);
    QCOMPARE(pdf.find(QStringLiteral("-0,7")).size(), 24);
    QCOMPARE(pdf.find(QStringLiteral("croce")).size(), 24);
    // Every word at least 5 mm inside the paper's edges, whatever the shift.
    for (const PdfWord &word : pdf.words)
        QVERIFY2(word.mm.left() > 5 + shift.x() && word.mm.right() < 205 + shift.x()
                     && word.mm.top() > 5 + shift.y() && word.mm.bottom() < 292 + shift.y(),
                 qPrintable(word.text));

    // Rendered: outlines and crosses where they belong, blank paper beside them.
    const int dpi = 254;
    const QImage image = render(path, dpi);
    QVERIFY(!image.isNull());
    for (int slot = 1; slot <= 24; ++slot) {
        const QRectF outline = CalibrationSheet::outlineMm(slot).translated(shift);
        const QPointF centre = outline.center();
        const QString which = QStringLiteral("E%1").arg(slot);
        QVERIFY2(dark(pixelAtMm(image, dpi, outline.left() + 0.1, centre.y() + 5)), qPrintable(which + " left"));
        QVERIFY2(!dark(pixelAtMm(image, dpi, outline.left() - 0.3, centre.y() + 5)), qPrintable(which + " outside"));
        QVERIFY2(!dark(pixelAtMm(image, dpi, outline.left() + 0.5, centre.y() + 5)), qPrintable(which + " inside"));
        QVERIFY2(dark(pixelAtMm(image, dpi, centre.x() + 10, outline.top() + 0.1)), qPrintable(which + " top"));
        QVERIFY2(dark(pixelAtMm(image, dpi, outline.right() - 0.1, centre.y() + 5)), qPrintable(which + " right"));
        QVERIFY2(dark(pixelAtMm(image, dpi, centre.x() + 10, outline.bottom() - 0.1)), qPrintable(which + " bottom"));
        // The crosses' arms reach 1.5 mm past each corner, along the edges.
        for (const QPointF corner : {outline.topLeft(), outline.topRight(), outline.bottomLeft(), outline.bottomRight()}) {
            const double out = corner.x() < centre.x() ? -1 : 1;
            const double below = corner.y() < centre.y() ? -1 : 1;
            QVERIFY2(dark(pixelAtMm(image, dpi, corner.x() + out, corner.y())), qPrintable(which + " cross across"));
            QVERIFY2(dark(pixelAtMm(image, dpi, corner.x(), corner.y() + below)), qPrintable(which + " cross down"));
            QVERIFY2(!dark(pixelAtMm(image, dpi, corner.x() + out, corner.y() + 0.5 * below)), qPrintable(which + " beside"));
        }
    }
    // At 100 pixels a millimetre: the outline 0.2 mm wide and wholly inside
    // the label, as every cross's arm is 0.2 mm wide.
    {
        const QRectF label = CalibrationSheet::outlineMm(5).translated(shift);
        const int fine = 2540;
        const double perMm = fine / 25.4;
        const QPointF from(label.left() - 3, label.top() - 3);
        QTemporaryDir crop;
        const QString base = crop.filePath(QStringLiteral("angolo"));
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-r"), QString::number(fine), QStringLiteral("-x"),
                           QString::number(int(from.x() * perMm)), QStringLiteral("-y"), QString::number(int(from.y() * perMm)),
                           QStringLiteral("-W"), QString::number(int(12 * perMm)), QStringLiteral("-H"),
                           QString::number(int(12 * perMm)), QStringLiteral("-png"), QStringLiteral("-singlefile"), path, base});
        const QImage corner = QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!corner.isNull());
        const QPointF origin(int(from.x() * perMm) / perMm, int(from.y() * perMm) / perMm);
        // Dark pixels across a line at (x, y) mm, walking along "step".
        auto run = [&](double xMm, double yMm, bool across, double *startMm) {
            int n = 0;
            *startMm = -1;
            for (int i = -60; i <= 60; ++i) {
                const double x = (xMm - origin.x()) * perMm + (across ? i : 0);
                const double y = (yMm - origin.y()) * perMm + (across ? 0 : i);
                if (dark(corner.pixel(int(x), int(y)))) {
                    if (n++ == 0)
                        *startMm = (across ? xMm : yMm) + i / perMm;
                }
            }
            return n / perMm;
        };
        double start = 0;
        const double left = run(label.left(), label.top() + 6, true, &start);
        QVERIFY2(qAbs(left - 0.2) < 0.03, qPrintable(QStringLiteral("left edge %1 mm wide").arg(left)));
        QVERIFY2(start > label.left() - 0.02, qPrintable(QStringLiteral("left edge from %1 mm, the label from %2").arg(start).arg(label.left())));
        const double top = run(label.left() + 6, label.top(), false, &start);
        QVERIFY2(qAbs(top - 0.2) < 0.03, qPrintable(QStringLiteral("top edge %1 mm wide").arg(top)));
        QVERIFY2(start > label.top() - 0.02, qPrintable(QStringLiteral("top edge from %1 mm").arg(start)));
        const double arm = run(label.left() - 1, label.top(), false, &start);
        QVERIFY2(qAbs(arm - 0.2) < 0.03, qPrintable(QStringLiteral("cross arm %1 mm wide").arg(arm)));
        QVERIFY2(qAbs(start + 0.1 - label.top()) < 0.02, qPrintable(QStringLiteral("cross arm centred at %1").arg(start + 0.1)));
        if (qEnvironmentVariableIsSet("TAVOLUX_KEEP_TEST_SHEET")) {
            QFile::copy(path, qEnvironmentVariable("TAVOLUX_KEEP_TEST_SHEET"));
            QFile::copy(base + QStringLiteral(".png"), qEnvironmentVariable("TAVOLUX_KEEP_TEST_SHEET") + QStringLiteral(".angolo.png"));
        }
    }
    qInfo("test sheet through CUPS: label numbers within %.3f mm", worst);
    QFile::remove(path);
}

void TestCalibration::cupsStartLabel()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    const QString path = printQueuePdf(QStringLiteral("Anteprima Etichetta"), [&] {
        report::PrintRecorder printer;
        printer.answerPrintTo(queue.name());
        report::PreviewRecorder previews;
        previews.pressPrint();
        TfrmAnteprima_Etichetta dialog(folder(), [] { return card(); });
        dialog.options().setFirstLabel(7);
        dialog.btnStampa->click();
    });
    QVERIFY(!path.isEmpty());
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.words.size(), 18 * 3);
    for (const PdfWord &word : pdf.words)
        QVERIFY2(word.mm.top() > 10 + 70 - 0.5, qPrintable(word.text)); // nothing above the third row
    const int dpi = 100;
    const QImage image = render(path, dpi);
    QVERIFY(!image.isNull());
    for (int slot = 1; slot <= 24; ++slot) {
        const QRectF label = CalibrationSheet::outlineMm(slot);
        // Below the text, near the label's bottom right corner.
        const QRgb pixel = pixelAtMm(image, dpi, label.right() - 3, label.bottom() - 3);
        QCOMPARE(pixel, slot < 7 ? qRgb(0xFF, 0xFF, 0xFF) : qRgb(0xFF, 0xFF, 0xE0));
    }
    QFile::remove(path);
}

void TestCalibration::cupsPrintDialogOptions_data()
{
    // What is chosen in the print dialog opened from the one-address page's
    // preview, and what the next print from the same preview shows: the first
    // label and the shift, read back from the printed sheets.
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("firstLabel"); // after the dialog, in the preview and the next print
    QTest::addColumn<QPointF>("shift");
    QTest::newRow("start at 10, Annulla") << "start 10" << false << 1 << QPointF();
    QTest::newRow("start at 5, Stampa") << "start 5" << true << 5 << QPointF();
    QTest::newRow("calibration saved, Annulla") << "calibration" << false << 1 << QPointF(1.5, -0.7);
    QTest::newRow("calibration saved, Stampa") << "calibration" << true << 1 << QPointF(1.5, -0.7);
}

void TestCalibration::cupsPrintDialogOptions()
{
    QFETCH(QString, choice);
    QFETCH(bool, accepted);
    QFETCH(int, firstLabel);
    QFETCH(QPointF, shift);
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    const QString title = QStringLiteral("Anteprima Etichetta");
    report::PrintRecorder printer;
    QStringList pdfs; // in printing order
    QString failure;
    int shownValue = 0;
    bool shownFirst = false, shownAtFirstLabel = false, shownInsideDesign = false;
    auto printAndWait = [&](report::PreviewWindow *preview) {
        const QSet<QString> before = queue.files(title);
        preview->btnStampa->click();
        QString why;
        const QString path = queue.waitForPdf(title, before, &why);
        if (path.isEmpty())
            failure += why;
        pdfs << path;
    };
    QTimer::singleShot(0, [&] {
        auto *preview = shownWindow<report::PreviewWindow>();
        if (!preview) {
            failure = QStringLiteral("no preview");
            return;
        }
        printer.setOptionsScript([&](QWidget *tab) {
            if (choice.startsWith(QLatin1String("start"))) {
                tab->findChild<QSpinBox *>(QStringLiteral("txtInizio"))->setValue(choice.section(QLatin1Char(' '), 1).toInt());
                return;
            }
            QTimer::singleShot(0, [] {
                auto *calibration = shownWindow<TfrmCalibrazione>();
                calibration->txtOrizzontale->setText(QStringLiteral("1,5"));
                calibration->txtVerticale->setText(QStringLiteral("-0,7"));
                calibration->btnSalva->click();
            });
            tab->findChild<QPushButton *>(QStringLiteral("btnCalibrazione"))->click();
        });
        if (accepted) {
            printer.answerPrintTo(queue.name());
            printAndWait(preview);
        } else {
            preview->btnStampa->click();
        }
        // What the preview shows now: its toolbar and its page.
        shownValue = preview->findChild<QSpinBox *>(QStringLiteral("txtInizio"))->value();
        shownFirst = previewShowsLabelAt(preview, 30, 30);
        const QRectF label = CalibrationSheet::outlineMm(firstLabel);
        shownAtFirstLabel = previewShowsLabelAt(preview, label.left() + 1 + shift.x(), label.bottom() - 1 + shift.y());
        shownInsideDesign = previewShowsLabelAt(preview, label.left() + 0.6, label.bottom() - 1);
        // The next print from the same preview, with nothing changed.
        printer.setOptionsScript({});
        printer.answerPrintTo(queue.name());
        printAndWait(preview);
        preview->btnChiudi->click();
    });
    TfrmAnteprima_Etichetta dialog(folder(), [] { return card(); });
    dialog.btnStampa->click();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(printer.count(), 2);

    // The preview shows what the next print prints.
    QCOMPARE(shownValue, firstLabel);
    QCOMPARE(shownFirst, firstLabel == 1);
    QVERIFY(shownAtFirstLabel);
    QCOMPARE(shownInsideDesign, shift.isNull());
    QCOMPARE(pdfs.size(), accepted ? 2 : 1);
    const double ascent = report::FontMeasure(report::TextFont{QStringLiteral("Arial"), 7}).ascent() / report::kUnitsPerMm;
    for (const QString &path : pdfs) {
        const PdfText pdf = readPdfText(path);
        QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
        const QList<PdfWord> first = pdf.find(QStringLiteral("Primariga"));
        QCOMPARE(first.size(), 25 - firstLabel);
        QCOMPARE(pdf.words.size(), (25 - firstLabel) * 3);
        // The top-left line of the sheet: the first label's, moved by the shift.
        QPointF topLeft(1e9, 1e9);
        for (const PdfWord &word : first) {
            const QPointF at = pdf.lineStartMm(word, 7, ascent);
            if (at.y() < topLeft.y() - 1 || (qAbs(at.y() - topLeft.y()) <= 1 && at.x() < topLeft.x()))
                topLeft = at;
        }
        const QRectF label = CalibrationSheet::outlineMm(firstLabel);
        const int row = (firstLabel - 1) / 3;
        const QPointF expected = label.topLeft() + QPointF(2, row == 0 ? 1.8 : 2.0) + shift;
        QVERIFY2(qAbs(topLeft.x() - expected.x()) < kPrinted && qAbs(topLeft.y() - expected.y()) < kPrinted,
                 qPrintable(QStringLiteral("%1: first line at %2, %3 mm").arg(path).arg(topLeft.x()).arg(topLeft.y())));
        QFile::remove(path);
    }
    QCOMPARE(LabelCalibration(folder()).read(), choice == QLatin1String("calibration") ? (LabelShift{1.5, -0.7}) : LabelShift{});
}

QTEST_MAIN(TestCalibration)
#include "tst_calibration.moc"
