// The mailing: which cards and in which order, where their labels go on the
// sheets, the sheets as they print (through the test queue, read back from
// the PDF), the labels kept as label pages, the remembered choice and the
// window with its two ways in.
#include "PdfText.h"
#include "NarrowFormat.h"
#include "TestPrintQueue.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "app/Program.h"
#include "archivewindow/ArchiveNotices.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labelformats/LabelFormatSettings.h"
#include "mailing/MailingCards.h"
#include "mailing/MailingChoice.h"
#include "mailing/MailingListModel.h"
#include "mailing/MailingPages.h"
#include "mailing/MailingSettings.h"
#include "mailing/TfrmStampaSchede.h"
#include "platform/IniFile.h"
#include "printing/EnvelopeFormat.h"
#include "printing/EnvelopeMailing.h"
#include "printing/LabelCalibration.h"
#include "printing/LabelMailing.h"
#include "printing/LabelPageFill.h"
#include "printing/LabelPageTemplate.h"
#include "printing/LineFit.h"
#include "printing/MailingLayout.h"
#include "printing/SheetFormat.h"
#include "printing/TfrmStampaBusta.h"
#include "report/PageSequence.h"
#include "report/Report.h"
#include "report/TextFont.h"
#include "report/Units.h"
#include "reportui/PreviewRecorder.h"
#include "reportui/PrintRecorder.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavolux;
using mailing::Choice;

namespace {

TSchedaIndirizzo card(const QString &nome, const QString &tipo, const QStringList &lines, const QString &note = {})
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = nome;
    c[TSchedaIndirizzo::Tipo] = tipo;
    for (int i = 0; i < lines.size() && i < 6; ++i)
        c[TSchedaIndirizzo::Rigo01 + i] = lines.at(i);
    c[TSchedaIndirizzo::Note] = note;
    return c;
}

// The fixture archive, in file order: types that differ only in case, a card
// without lines, one without a name, postal codes missing, repeated, two on
// one card, and a six-digit number that is no code.
QList<TSchedaIndirizzo> fixture()
{
    return {
        card("Verdi Bruno", "Fornitore", {"Corso Italia 3", "20122 Milano MI"}),
        card("Rossi Anna", "Cliente", {"Via Roma 12", "00184 Roma RM"}, "Chiamare prima"),
        card("Bianchi Carla", "Cliente", {"Piazza Duomo 1", "CAP 50122 Firenze", "tel. 055 1234567"}),
        card("Neri Dario", "Privato", {"Via senza numero", "Torino"}),
        card("rossi bruno", "cliente", {"Strada 7", "10100 Torino", "20121 Milano"}),
        card("Vuota Scheda", "Cliente", {}),
        card("", "Cliente", {"Senza nome 00100"}),
        card("Gialli Elena", "", {"Via Po 123456", "Casella 00199"}),
        card("Èlia Marco", "Ente", {"Viale Europa, 4", "00144 Roma"}),
        card("Amato Luca", "Cliente", {"00184 Roma"}),
    };
}

QList<QByteArray> records(const QList<TSchedaIndirizzo> &cards)
{
    QList<QByteArray> out;
    for (const TSchedaIndirizzo &c : cards)
        out << c.toRecord();
    return out;
}

void writeArchive(const QString &folder, const QList<TSchedaIndirizzo> &cards)
{
    AddressArchive archive{ProgramFolder(folder)};
    QVERIFY(archive.open());
    for (const TSchedaIndirizzo &c : cards)
        QVERIFY(archive.append(c) > 0);
}

// Runs `step` on the modal dialog the next action opens.
void onNextDialog(std::function<void(QWidget *)> step)
{
    QTimer::singleShot(0, qApp, [step] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            step(dialog);
    });
}

// Where line n of a label starts on the paper, in mm.
QPointF labelLineMm(int label, int line)
{
    const int row = (label - 1) / 3;
    const int column = (label - 1) % 3;
    return QPointF(10 + 64 * column + 2, 10 + 35 * row + (row == 0 ? 1.8 : 2.0) + 5 * (line - 1));
}

void writeSettings(const QString &folder, const QByteArray &ini)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Impostazioni.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ini);
}

// The shortest line of `stem` repeated that a label cuts.
QString justCutOnALabel(const QString &stem)
{
    QString line;
    while (fitsLabelLine(line))
        line += stem.at(line.size() % stem.size());
    return line;
}

double arialAscentMm(double pointSize)
{
    return report::FontMeasure(report::TextFont{QStringLiteral("Arial"), pointSize}).ascent() / report::kUnitsPerMm;
}

} // namespace

class TestMailing : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void postalCode_data();
    void postalCode();
    void cardsAsRead();
    void cutMarkAsPrinted_data();
    void cutMarkAsPrinted();
    void choiceAndOrder_data();
    void choiceAndOrder();
    void sheetLayout_data();
    void sheetLayout();
    void sheetsPrintAsLabelPageSlots();
    void sheetsLaidOutOnlyWhenAsked();
    void realPrintThroughQueue();
    void keptAsLabelPages();
    void keepingFailsWhereTheArchiveCannotBeWritten();
    void choiceRemembered_data();
    void choiceRemembered();
    void windowCountsAndTicks();
    void nothingChosenIsRefused();
    void previewShowsEverySheet();
    void envelopesChosenInTheWindow();
    void envelopeSettingsFromTheWindow();
    void envelopesRefuseABadMargin();
    void envelopesThroughQueue();
    void cutLinesListedAndOpened();
    void openedFromTheFindDialog();
    void openedFromTheLabelWindow();

private:
    ProgramFolder folder() const { return ProgramFolder(m_dir->path()); }
    std::unique_ptr<TfrmStampaSchede> openWindow(const QString &findText = QString());
    static QStringList names(const mailing::MailingCards &cards, const std::vector<int> &order);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestMailing::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
}

void TestMailing::cleanup()
{
    m_messages.reset();
    m_dir.reset();
}

std::unique_ptr<TfrmStampaSchede> TestMailing::openWindow(const QString &findText)
{
    auto window = std::make_unique<TfrmStampaSchede>(folder(), nullptr, findText);
    window->show();
    QApplication::setActiveWindow(window.get());
    return window;
}

QStringList TestMailing::names(const mailing::MailingCards &cards, const std::vector<int> &order)
{
    QStringList out;
    for (int c : order)
        out << cards.name(c);
    return out;
}

void TestMailing::postalCode_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("code");
    QTest::newRow("none") << QStringList{"Via Roma", "Torino"} << -1;
    QTest::newRow("city line") << QStringList{"Via Roma 12", "00184 Roma RM"} << 184;
    QTest::newRow("after a house number") << QStringList{"Via Garibaldi, 12", "20121 Milano"} << 20121;
    QTest::newRow("two codes: the first") << QStringList{"10100 Torino", "20121 Milano"} << 10100;
    QTest::newRow("glued to letters") << QStringList{"CAP20121Milano"} << 20121;
    QTest::newRow("six digits are no code") << QStringList{"Cod. 123456", "Casella 00199"} << 199;
    QTest::newRow("four digits are no code") << QStringList{"Box 1234"} << -1;
    QTest::newRow("phone number is no code") << QStringList{"tel. 0551234567"} << -1;
    QTest::newRow("in the last line") << QStringList{"a", "b", "c", "d", "e", "I-38122 Trento"} << 38122;
}

void TestMailing::postalCode()
{
    QFETCH(QStringList, lines);
    QFETCH(int, code);
    QList<QByteArray> bytes;
    for (const QString &line : lines)
        bytes << line.toLatin1();
    QList<QByteArrayView> views;
    for (const QByteArray &b : bytes)
        views << QByteArrayView(b);
    QCOMPARE(mailing::postalCodeOf(views), code);
}

void TestMailing::cardsAsRead()
{
    writeArchive(m_dir->path(), fixture());
    mailing::MailingCards::Read read = mailing::MailingCards::read(folder());
    QVERIFY(read.ok);
    const mailing::MailingCards &cards = read.cards;
    // Named cards only, in file order, with their positions in the file.
    QCOMPARE(cards.size(), 9);
    QCOMPARE(read.lines.size(), 9);
    QCOMPARE(cards.name(6), QStringLiteral("Gialli Elena"));
    QCOMPARE(cards.position(6), 8);
    QCOMPARE(cards.name(7), QStringLiteral("Èlia Marco"));
    QCOMPARE(cards.position(7), 9);
    QCOMPARE(cards.line(1, 2), QStringLiteral("00184 Roma RM"));
    QVERIFY(!cards.hasLines(5));
    QVERIFY(cards.hasLines(7));
    // The types in list order, "Cliente" and "cliente" apart; the unnamed card not counted.
    QCOMPARE(cards.tipi(), QStringList({"", "Cliente", "cliente", "Ente", "Fornitore", "Privato"}));
    QList<qint64> counts;
    for (int t = 0; t < cards.tipi().size(); ++t)
        counts << cards.tipoCount(t);
    QCOMPARE(counts, QList<qint64>({1, 4, 1, 1, 1, 1}));
    // The same from a long archive read in two parts at once.
    QList<TSchedaIndirizzo> many;
    for (int i = 0; i < 5000; ++i)
        many << card(QStringLiteral("Socio %1").arg(i, 4, 10, QLatin1Char('0')), i % 3 ? "Cliente" : "Ente",
                     {QStringLiteral("Via %1").arg(i), QStringLiteral("%1 Roma").arg(10000 + i)});
    QTemporaryDir big;
    writeArchive(big.path(), many);
    read = mailing::MailingCards::read(ProgramFolder(big.path()));
    QVERIFY(read.ok);
    QCOMPARE(read.cards.size(), 5000);
    for (int i : {0, 2499, 2500, 2501, 4999}) {
        QCOMPARE(read.cards.position(i), i + 1);
        QCOMPARE(read.cards.line(i, 1), QStringLiteral("Via %1").arg(i));
        QCOMPARE(read.cards.postalCode(i), 10000 + i);
        QCOMPARE(read.cards.tipi().at(read.cards.tipo(i)), QString(i % 3 ? "Cliente" : "Ente"));
    }
    QCOMPARE(read.cards.tipoCount(0), 3333);
}

void TestMailing::cutMarkAsPrinted_data()
{
    // The box, the format the cards are read with and the one set after.
    QTest::addColumn<LineBox>("box");
    QTest::addColumn<bool>("readNarrow");
    QTest::addColumn<bool>("setNarrow");
    QTest::newRow("labels") << LineBox::Label << false << false;
    QTest::newRow("envelopes") << LineBox::Envelope << false << false;
    QTest::newRow("labels, read on a narrow format") << LineBox::Label << true << true;
    QTest::newRow("labels, narrow format set after reading") << LineBox::Label << false << true;
    QTest::newRow("labels, built-in format set after a narrow one") << LineBox::Label << true << false;
}

void TestMailing::cutMarkAsPrinted()
{
    // Lines around a label's or an envelope's width in narrow, wide and mixed
    // letters: a card is marked exactly where the print cuts one of its
    // lines, on the labels of the format chosen, and the first such line is
    // named. A line beyond a label's lines is cut.
    QFETCH(LineBox, box);
    QFETCH(bool, readNarrow);
    QFETCH(bool, setNarrow);
    const SheetFormat narrow = SheetFormat::of(narrowLabels());
    QCOMPARE(narrow.linesPerLabel(), 3);
    const SheetFormat &labels = setNarrow ? narrow : SheetFormat::standard();
    const QStringList stems{QStringLiteral("i"), QStringLiteral("W"), QStringLiteral("Via Garibaldi, "),
                            QStringLiteral("fi fl ffi "), QStringLiteral("Città di Castello ")};
    QList<TSchedaIndirizzo> cards;
    for (const QString &stem : stems)
        for (int length = 10; length <= 130; ++length) {
            QString line;
            while (line.size() < length)
                line += stem;
            line.truncate(length);
            cards << card(QStringLiteral("%1 %2").arg(stem).arg(length), "", {"Breve", line.trimmed(), line.trimmed()});
        }
    cards << card("Quattro righi", "", {"Uno", "Due", "Tre", "Quattro"});
    mailing::MailingCards::Read read =
        mailing::MailingCards::fromRecords(records(cards), readNarrow ? narrow : SheetFormat::standard());
    if (readNarrow != setNarrow)
        read.cards.setLabelFormat(labels);
    if (box == LineBox::Envelope) {
        read.cards.setBox(LineBox::Envelope);
        read.cards.setBox(LineBox::Label);
    }
    read.cards.setBox(box);
    int marked = 0;
    const int last = read.cards.size() - 1;
    for (int c = 0; c < last; ++c) {
        const QString text = read.cards.line(c, 2);
        const bool cut = box == LineBox::Label ? !fitsLabelLine(text, labels, 2) : !fitsEnvelopeLine(text);
        QVERIFY2(read.cards.cutLine(c) == cut, qPrintable(text));
        QCOMPARE(read.cards.firstCutLine(c), cut ? 2 : 0);
        marked += cut;
    }
    QVERIFY(marked > 100 && marked < last - 100);
    QCOMPARE(read.cards.firstCutLine(last), box == LineBox::Label && setNarrow ? 4 : 0);
}

void TestMailing::choiceAndOrder_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tipi");
    QTest::addColumn<QStringList>("hand");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("withoutLines");
    const int all = int(Choice::Which::All), text = int(Choice::Which::Text), tipi = int(Choice::Which::Tipi),
              hand = int(Choice::Which::Hand);
    const int name = int(Choice::Order::Name), cap = int(Choice::Order::PostalCode), tipo = int(Choice::Order::Tipo),
              archive = int(Choice::Order::Archive);
    const QStringList byName{"Amato Luca", "Bianchi Carla", "Gialli Elena", "Neri Dario", "Rossi Anna",
                             "rossi bruno", "Verdi Bruno", "Èlia Marco"};
    QTest::newRow("all, by name") << all << "" << QStringList() << QStringList() << name << byName << 1;
    QTest::newRow("text in any case") << text << "ROSSI" << QStringList() << QStringList() << name
                                      << QStringList{"Rossi Anna", "rossi bruno"} << 0;
    QTest::newRow("text in the note") << text << "chiamare" << QStringList() << QStringList() << name
                                      << QStringList{"Rossi Anna"} << 0;
    QTest::newRow("text of the line's labels") << text << "tipo:" << QStringList() << QStringList() << name << byName << 1;
    QTest::newRow("empty text") << text << "" << QStringList() << QStringList() << name << QStringList() << 0;
    QTest::newRow("è does not find È") << text << "èlia" << QStringList() << QStringList() << name << QStringList() << 0;
    QTest::newRow("È finds È") << text << "Èlia" << QStringList() << QStringList() << name << QStringList{"Èlia Marco"} << 0;
    QTest::newRow("text outside the code page") << text << "Ω" << QStringList() << QStringList() << name
                                                << QStringList() << 0;
    QTest::newRow("several types") << tipi << "" << QStringList{"Cliente", "Ente"} << QStringList() << name
                                   << QStringList{"Amato Luca", "Bianchi Carla", "Rossi Anna", "Èlia Marco"} << 1;
    QTest::newRow("the empty type") << tipi << "" << QStringList{""} << QStringList() << name
                                    << QStringList{"Gialli Elena"} << 0;
    QTest::newRow("no type ticked") << tipi << "" << QStringList() << QStringList() << name << QStringList() << 0;
    QTest::newRow("hand-picked") << hand << "" << QStringList() << QStringList{"Verdi Bruno", "Neri Dario", "Vuota Scheda"}
                                 << name << QStringList{"Neri Dario", "Verdi Bruno"} << 1;
    // 00144, 00184 twice (by name), 00199, 10100 (the first of two), 20122,
    // 50122, and the card without a code last.
    QTest::newRow("by postal code") << all << "" << QStringList() << QStringList() << cap
                                    << QStringList{"Èlia Marco", "Amato Luca", "Rossi Anna", "Gialli Elena",
                                                   "rossi bruno", "Verdi Bruno", "Bianchi Carla", "Neri Dario"}
                                    << 1;
    QTest::newRow("text, by postal code") << text << "rossi" << QStringList() << QStringList() << cap
                                          << QStringList{"Rossi Anna", "rossi bruno"} << 0;
    QTest::newRow("by type, then name") << all << "" << QStringList() << QStringList() << tipo
                                        << QStringList{"Gialli Elena", "Amato Luca", "Bianchi Carla", "Rossi Anna",
                                                       "rossi bruno", "Èlia Marco", "Verdi Bruno", "Neri Dario"}
                                        << 1;
    QTest::newRow("as in the archive") << all << "" << QStringList() << QStringList() << archive
                                       << QStringList{"Verdi Bruno", "Rossi Anna", "Bianchi Carla", "Neri Dario",
                                                      "rossi bruno", "Gialli Elena", "Èlia Marco", "Amato Luca"}
                                       << 1;
}

void TestMailing::choiceAndOrder()
{
    QFETCH(int, which);
    QFETCH(QString, text);
    QFETCH(QStringList, tipi);
    QFETCH(QStringList, hand);
    QFETCH(int, order);
    QFETCH(QStringList, expected);
    QFETCH(int, withoutLines);
    mailing::MailingCards::Read read = mailing::MailingCards::fromRecords(records(fixture()));
    read.lines.sort();
    const mailing::MailingCards &cards = read.cards;
    std::vector<std::uint8_t> ticked(size_t(cards.size()), 0);
    for (int c = 0; c < cards.size(); ++c)
        ticked[size_t(c)] = hand.contains(cards.name(c));
    Choice choice;
    choice.which = Choice::Which(which);
    choice.text = text;
    choice.tipi = tipi;
    choice.order = Choice::Order(order);
    const mailing::Chosen chosen =
        mailing::inOrder(read.lines, cards, mailing::matching(read.lines, cards, choice, ticked), choice.order);
    QCOMPARE(names(cards, chosen.cards), expected);
    QCOMPARE(chosen.withoutLines, qint64(withoutLines));
}

void TestMailing::sheetLayout_data()
{
    QTest::addColumn<qint64>("cards");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("sheets");
    // "sheet,label=card" probes; card -1: the label stays empty.
    QTest::addColumn<QStringList>("probes");
    QTest::newRow("no cards") << qint64(0) << 1 << 5 << 0 << QStringList{"0,5=-1"};
    QTest::newRow("one full sheet") << qint64(24) << 1 << 1 << 1 << QStringList{"0,1=0", "0,24=23", "1,1=-1"};
    QTest::newRow("one card more") << qint64(25) << 1 << 1 << 2 << QStringList{"1,1=24", "1,2=-1"};
    QTest::newRow("from label 5") << qint64(20) << 1 << 5 << 1 << QStringList{"0,4=-1", "0,5=0", "0,24=19"};
    QTest::newRow("from label 5, one more") << qint64(21) << 1 << 5 << 2 << QStringList{"1,1=20", "1,2=-1"};
    QTest::newRow("copies side by side") << qint64(3) << 2 << 1 << 1
                                         << QStringList{"0,1=0", "0,2=0", "0,3=1", "0,6=2", "0,7=-1"};
    QTest::newRow("50 cards, 2 copies, from 5") << qint64(50) << 2 << 5 << 5
                                                << QStringList{"0,5=0", "0,6=0", "0,7=1", "1,1=10", "4,8=49", "4,9=-1"};
    QTest::newRow("copies kept to 1") << qint64(2) << 0 << 1 << 1 << QStringList{"0,2=1"};
    QTest::newRow("copies kept to 99") << qint64(1) << 150 << 1 << 5 << QStringList{"4,3=0", "4,4=-1"};
    QTest::newRow("first label kept to the sheet") << qint64(1) << 1 << 30 << 1 << QStringList{"0,24=0"};
}

void TestMailing::sheetLayout()
{
    QFETCH(qint64, cards);
    QFETCH(int, copies);
    QFETCH(int, first);
    QFETCH(int, sheets);
    QFETCH(QStringList, probes);
    const MailingLayout layout(cards, copies, first, 24);
    QCOMPARE(layout.sheets(), sheets);
    for (const QString &probe : probes) {
        const QStringList parts = probe.split(QRegularExpression(QStringLiteral("[,=]")));
        QCOMPARE(layout.cardAt(parts[0].toInt(), parts[1].toInt()), parts[2].toLongLong());
    }
    // Every copy of every card lies where cardAt finds it, on a sheet counted.
    for (qint64 c = 0; c < layout.cards(); ++c)
        for (int copy = 0; copy < layout.copies(); ++copy) {
            const MailingLayout::Place place = layout.placeOf(c, copy);
            QVERIFY(place.sheet < layout.sheets());
            QCOMPARE(layout.cardAt(place.sheet, place.label), c);
        }
}

void TestMailing::sheetsPrintAsLabelPageSlots()
{
    const auto lineOf = [](qint64 card, int line) {
        return line <= 3 ? QStringLiteral("C%1 R%2").arg(card).arg(line) : QString();
    };
    // A calibration moves both alike.
    QVERIFY(LabelCalibration(folder()).write(LabelShift{1.5, -0.7}));
    const ProgramFolder programFolder = folder();
    LabelMailing mailing(SheetFormat::standard(), QStringLiteral("Etichette dall'archivio"), &programFolder);
    mailing.setCards(30, lineOf);
    mailing.options().setFirstLabel(5);
    const report::PageSequence sheets = mailing.sheets();
    QCOMPARE(sheets.size(), 2);
    QVERIFY(sheets.onDemand());

    // The second sheet holds cards 20 to 29 in labels 1 to 10: item for item
    // what the label page prints with those lines.
    auto page = LabelPageTemplate::create(QStringLiteral("Pagina Etichette"));
    LabelSheetOptions pageOptions(folder());
    fillLabelPage(*page, [&](int slot, int line) { return slot <= 10 ? lineOf(20 + slot - 1, line) : QString(); });
    pageOptions.apply(*page);
    page->PrepareReport();
    const report::PreparedPage expected = page->preparedPages().first();
    const report::PreparedPage second = sheets.at(1);
    QCOMPARE(second.items.size(), expected.items.size());
    for (int i = 0; i < expected.items.size(); ++i) {
        const report::PlacedItem &a = second.items.at(i);
        const report::PlacedItem &b = expected.items.at(i);
        QCOMPARE(a.source, b.source);
        QCOMPARE(a.text, b.text);
        QCOMPARE(a.rect, b.rect);
        QCOMPARE(a.clip, b.clip);
        QCOMPARE(a.fill, b.fill);
    }
    // The first sheet: labels 1 to 4 print nothing, card 0 starts on label 5.
    const report::PreparedPage firstSheet = sheets.at(0);
    for (int label = 1; label <= 4; ++label) {
        QVERIFY(firstSheet.rects(LabelPageTemplate::shapeName(label)).isEmpty());
        QVERIFY(firstSheet.texts(LabelPageTemplate::lineName(label, 1)).isEmpty());
    }
    QCOMPARE(firstSheet.texts(LabelPageTemplate::lineName(5, 1)).first().text, QStringLiteral("C0 R1"));
    QCOMPARE(firstSheet.texts(LabelPageTemplate::lineName(24, 3)).first().text, QStringLiteral("C19 R3"));
    // Laying the second sheet out again after the first gives the same.
    QCOMPARE(sheets.at(1).texts().size(), second.texts().size());
}

void TestMailing::sheetsLaidOutOnlyWhenAsked()
{
    int asked = 0;
    LabelMailing mailing(SheetFormat::standard(), QStringLiteral("Etichette dall'archivio"));
    mailing.setCards(100000, [&asked](qint64 card, int) {
        ++asked;
        return QString::number(card);
    });
    mailing.setCopies(2);
    const report::PageSequence sheets = mailing.sheets();
    QCOMPARE(sheets.size(), 8334);
    QCOMPARE(asked, 0);
    const report::PreparedPage last = sheets.at(8333);
    QCOMPARE(asked, 8 * 6); // 200,000 labels: the last sheet holds 8, of cards 99996 to 99999
    QCOMPARE(last.texts(LabelPageTemplate::lineName(8, 1)).first().text, QStringLiteral("99999"));
    QCOMPARE(last.rects().size(), 24);
}

void TestMailing::realPrintThroughQueue()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    // 60 cards, 50 of them clients; their postal codes run against the file order.
    QList<TSchedaIndirizzo> cards;
    for (int i = 0; i < 60; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        cards << card(QStringLiteral("Socio %1").arg(n), i < 50 ? "Cliente" : "Fornitore",
                      {QStringLiteral("K%1A Gentile socio").arg(n), QStringLiteral("K%1B Via Roma %2").arg(n).arg(i + 1),
                       QStringLiteral("K%1C %2 Roma").arg(n).arg(99000 - 10 * i)});
    }
    writeArchive(m_dir->path(), cards);
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    m_messages->answerNext(ui::MessageAnswer::No); // not kept as label pages
    const QSet<QString> before = queue.files(TfrmStampaSchede::title());
    {
        auto window = openWindow();
        window->optTipo->setChecked(true);
        window->lstTipi->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(window->lstTipi->item(0)->text(), QStringLiteral("Cliente (50)"));
        window->optCap->setChecked(true);
        window->txtCopie->setValue(2);
        window->txtInizio->setValue(5);
        QCOMPARE(int(window->chosen().cards.size()), 50);
        QCOMPARE(window->sheets(), 5);
        window->btnStampa->click();
    }
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, QStringLiteral("Etichette dall'archivio"));
    QCOMPARE(printer.requests().first().pages.size(), 5);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, TfrmStampaSchede::keepQuestion(5));

    QString why;
    const QString path = queue.waitForPdf(TfrmStampaSchede::title(), before, &why);
    QVERIFY2(!path.isEmpty(), qPrintable(why));
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 5);
    // By postal code: card 49 first, card 0 last; each twice, side by side, from label 5.
    double worst = 0;
    for (int k = 0; k < 50; ++k) {
        const QString n = QStringLiteral("%1").arg(49 - k, 2, 10, QLatin1Char('0'));
        for (int line = 1; line <= 3; ++line) {
            const QString token = QStringLiteral("K%1%2").arg(n, QChar(u'A' + line - 1));
            const QList<PdfWord> words = pdf.find(token);
            QVERIFY2(words.size() == 2, qPrintable(token));
            for (int copy = 0; copy < 2; ++copy) {
                // Labels 1 to 4 of the first sheet are used: the 2k + copy-th label after them.
                const int at = 4 + 2 * k + copy;
                const PdfWord &word = words.at(copy);
                QCOMPARE(word.page, at / 24);
                const QPointF found = pdf.lineStartMm(word, 7, arialAscentMm(7));
                const QPointF expected = labelLineMm(at % 24 + 1, line);
                worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
                QVERIFY2(qAbs(found.x() - expected.x()) < 0.3 && qAbs(found.y() - expected.y()) < 0.3,
                         qPrintable(QStringLiteral("%1 copy %2 at %3, %4 mm, expected %5, %6 mm")
                                        .arg(token).arg(copy).arg(found.x()).arg(found.y())
                                        .arg(expected.x()).arg(expected.y())));
            }
        }
    }
    // Nothing else is printed: no supplier, nothing in labels 1 to 4.
    QVERIFY(pdf.find(QStringLiteral("K50A")).isEmpty());
    for (const PdfWord &word : pdf.words)
        QVERIFY2(word.page > 0 || (word.mm.top() > 45 && (word.mm.top() > 80 || word.mm.left() > 72)),
                 qPrintable(word.text));
    qInfo("50 cards, 2 copies from label 5, 5 sheets through CUPS: largest position error %.3f mm", worst);
    QFile::remove(path);
}

void TestMailing::keptAsLabelPages()
{
    // An earlier page stays as it was; the mailing's pages come after it.
    TPaginaEtichette earlier;
    earlier.name(1) = QStringLiteral("Pagina di prima");
    earlier.line(1, 1) = QStringLiteral("Via Vecchia 1");
    {
        LabelPageArchive pages(folder());
        QVERIFY(pages.open());
        QCOMPARE(pages.append(earlier), 1);
    }
    QList<TSchedaIndirizzo> cards;
    for (int i = 0; i < 50; ++i)
        cards << card(QStringLiteral("Socio %1").arg(i, 2, 10, QLatin1Char('0')), "Cliente",
                      {QStringLiteral("Riga uno %1").arg(i), QString(), QStringLiteral("Riga tre %1").arg(i)});
    writeArchive(m_dir->path(), cards);
    report::PrintRecorder printer;
    printer.answerPrintToFile(m_dir->filePath(QStringLiteral("etichette.pdf")));
    m_messages->answerNext(ui::MessageAnswer::Yes); // keep them
    {
        auto window = openWindow();
        window->txtCopie->setValue(2);
        window->txtInizio->setValue(5); // a used sheet on the printer: the pages start from label 1
        window->btnStampa->click();
    }
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Information);
    QCOMPARE(m_messages->last().text, TfrmStampaSchede::keptMessage(2, 5));
    QCOMPARE(m_messages->last().text, QStringLiteral("Le etichette sono state inserite in archivio nelle pagine da 2 a 6."));

    LabelPageArchive pages(folder());
    QVERIFY(pages.open());
    QCOMPARE(pages.count(), 6);
    TPaginaEtichette page;
    QVERIFY(pages.read(1, page));
    QCOMPARE(page.name(1), earlier.name(1));
    QCOMPARE(page.line(1, 1), earlier.line(1, 1));
    // 100 labels, 24 to a page, copies side by side: card i on labels 2i and 2i + 1.
    for (int label = 0; label < 120; ++label) {
        QVERIFY(pages.read(2 + label / 24, page));
        const int slot = label % 24 + 1;
        if (label >= 100) {
            QVERIFY(page.name(slot).isEmpty() && page.line(slot, 1).isEmpty());
            continue;
        }
        const int i = label / 2;
        QCOMPARE(page.name(slot), QStringLiteral("Socio %1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(page.line(slot, 1), QStringLiteral("Riga uno %1").arg(i));
        QCOMPARE(page.line(slot, 2), QString());
        QCOMPARE(page.line(slot, 3), QStringLiteral("Riga tre %1").arg(i));
    }
    QCOMPARE(QFile(pages.path()).size(), 6 * qint64(TPaginaEtichette::RecordSize));
}

void TestMailing::keepingFailsWhereTheArchiveCannotBeWritten()
{
    writeArchive(m_dir->path(), fixture());
    // Where the label-page archive should be there is a folder.
    QVERIFY(QDir(m_dir->path()).mkdir(LabelPageArchive::fileName()));
    auto window = openWindow();
    window->btnConserva->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Error);
    QCOMPARE(m_messages->last().text, archivewindow::accessDeniedMessage());
}

void TestMailing::choiceRemembered_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tipi");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("copies");
    QTest::newRow("text, postal order, 3 copies") << "text" << "Testo" << "rossi" << QStringList() << "CAP" << 3;
    QTest::newRow("two types, by type") << "tipi" << "Tipo" << "" << QStringList{"Cliente", "Ente"} << "Tipo" << 1;
    QTest::newRow("by hand, archive order") << "hand" << "Mano" << "" << QStringList() << "Archivio" << 99;
}

void TestMailing::choiceRemembered()
{
    QFETCH(QString, setUp);
    QFETCH(QString, which);
    QFETCH(QString, text);
    QFETCH(QStringList, tipi);
    QFETCH(QString, order);
    QFETCH(int, copies);
    writeArchive(m_dir->path(), fixture());
    {
        auto window = openWindow();
        if (setUp == QLatin1String("text")) {
            QTest::keyClicks(window->txtTesto, text);
            window->optCap->setChecked(true);
        } else if (setUp == QLatin1String("tipi")) {
            for (int i = 0; i < window->lstTipi->count(); ++i)
                if (tipi.contains(window->lstTipi->item(i)->data(Qt::UserRole).toString()))
                    window->lstTipi->item(i)->setCheckState(Qt::Checked);
            window->optTipoNome->setChecked(true);
        } else {
            window->btnNessuno->click();
            window->optArchivio->setChecked(true);
        }
        window->txtCopie->setValue(copies);
        window->btnChiudi->click();
    }
    // In a section of its own of Impostazioni.ini.
    const IniFile ini(m_dir->filePath(QStringLiteral("Impostazioni.ini")));
    const QString section = QStringLiteral("Etichette dall'archivio");
    QCOMPARE(ini.readString(section, QStringLiteral("Scelta")), which);
    QCOMPARE(ini.readString(section, QStringLiteral("Ordine")), order);
    QCOMPARE(ini.readString(section, QStringLiteral("Copie")), QString::number(copies));

    auto again = openWindow();
    const Choice choice = again->choice();
    QCOMPARE(mailing::whichName(choice.which), which);
    QCOMPARE(choice.text, text);
    QCOMPARE(choice.tipi, tipi);
    QCOMPARE(mailing::orderName(choice.order), order);
    QCOMPARE(again->txtCopie->value(), copies);
}

void TestMailing::windowCountsAndTicks()
{
    QCOMPARE(TfrmStampaSchede::summaryText(1234, 2468, 103),
             QStringLiteral("Schede scelte: 1.234 – etichette: 2.468 – fogli: 103"));
    QCOMPARE(TfrmStampaSchede::summaryText(100000, 100000, 4167),
             QStringLiteral("Schede scelte: 100.000 – etichette: 100.000 – fogli: 4.167"));
    writeArchive(m_dir->path(), fixture());
    auto window = openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral(" Etichette dall'archivio"));
    QVERIFY(window->width() <= 1024 && window->height() <= 768 - 40);
    QVERIFY(window->optTutte->isChecked());
    QVERIFY(window->optTutte->hasFocus());
    QCOMPARE(window->lblRiepilogo->text(), TfrmStampaSchede::summaryText(8, 8, 1));
    QCOMPARE(window->lblEscluse->text(), QStringLiteral("Schede senza righi, escluse dalla stampa: 1"));
    QCOMPARE(window->lstTipi->item(1)->text(), QStringLiteral("Cliente (4)"));
    QCOMPARE(window->lstTipi->item(0)->text(), QStringLiteral("(senza tipo) (1)"));

    // Space on a line unticks it: the choice is now by hand, the others stay.
    const MailingListModel *model = window->model();
    int rossi = -1;
    for (int row = 0; row < model->rowCount(); ++row)
        if (window->cards().name(model->cardAt(row)) == QLatin1String("Rossi Anna"))
            rossi = row;
    QVERIFY(rossi >= 0);
    QCOMPARE(model->data(model->index(rossi), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    window->lstSchede->setFocus();
    window->lstSchede->setCurrentIndex(model->index(rossi));
    QTest::keyClick(window->lstSchede, Qt::Key_Space);
    QVERIFY(window->optMano->isChecked());
    QCOMPARE(model->data(model->index(rossi), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(int(window->chosen().cards.size()), 7);
    QTest::keyClick(window->lstSchede, Qt::Key_Space);
    QCOMPARE(int(window->chosen().cards.size()), 8);
    window->btnNessuno->click();
    QCOMPARE(int(window->chosen().cards.size()), 0);
    QCOMPARE(window->lblRiepilogo->text(), TfrmStampaSchede::summaryText(0, 0, 0));
    window->btnSelezionaTutto->click();
    QCOMPARE(int(window->chosen().cards.size()), 8);
    // Typing a text chooses by text; copies and the first label change the sheets.
    QTest::keyClicks(window->txtTesto, QStringLiteral("rossi"));
    QVERIFY(window->optTesto->isChecked());
    window->txtCopie->setValue(12);
    window->txtInizio->setValue(2);
    QCOMPARE(window->lblRiepilogo->text(), TfrmStampaSchede::summaryText(2, 24, 2));
}

void TestMailing::nothingChosenIsRefused()
{
    writeArchive(m_dir->path(), fixture());
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    auto window = openWindow(QStringLiteral("nessuna scheda così"));
    QVERIFY(window->optTesto->isChecked());
    for (QPushButton *button : {window->btnStampa, window->btnAnteprima, window->btnConserva}) {
        m_messages->clear();
        button->click();
        QCOMPARE(m_messages->count(), 1);
        QCOMPARE(m_messages->last().kind, ui::MessageKind::Warning);
        QCOMPARE(m_messages->last().text, TfrmStampaSchede::nothingChosenMessage());
    }
    QCOMPARE(printer.count(), 0);
    QCOMPARE(previews.count(), 0);
    LabelPageArchive pages(folder());
    QVERIFY(pages.open());
    QCOMPARE(pages.count(), 0);
}

void TestMailing::previewShowsEverySheet()
{
    QList<TSchedaIndirizzo> cards;
    for (int i = 0; i < 30; ++i)
        cards << card(QStringLiteral("Socio %1").arg(i), "Cliente", {QStringLiteral("Via %1").arg(i)});
    writeArchive(m_dir->path(), cards);
    report::PreviewRecorder previews;
    auto window = openWindow();
    window->txtInizio->setValue(20);
    window->btnAnteprima->click();
    QCOMPARE(previews.count(), 1);
    const report::PreviewRecorder::Preview &preview = previews.previews().first();
    QCOMPARE(preview.caption, QStringLiteral("Etichette dall'archivio"));
    QVERIFY(preview.buttons.testFlag(report::Report::PreviewPages));
    QVERIFY(preview.buttons.testFlag(report::Report::PreviewZoom));
    QCOMPARE(preview.pages.size(), 3); // 30 labels from label 20: 5, 24 and 1
    QCOMPARE(preview.pages.at(0).texts().size(), 5);
    QCOMPARE(preview.pages.at(2).texts().size(), 1);
}

void TestMailing::envelopesChosenInTheWindow()
{
    // A line a label cuts but an envelope's wider box holds, and one both cut.
    const QString labelCut = justCutOnALabel(QStringLiteral("Via Garibaldi, "));
    QVERIFY(fitsEnvelopeLine(labelCut));
    const QString bothCut = labelCut + labelCut;
    writeArchive(m_dir->path(), {card("Alfa", "", {"A1 Via Roma 1", "A2 00184 Roma"}), card("Beta", "", {labelCut}),
                                 card("Gamma", "", {"G1", bothCut}), card("Delta", "", {"D1 Corso Italia"})});
    writeSettings(m_dir->path(), "[Formato Busta]\r\nFormato=DL\r\n");
    const auto cutNames = [](TfrmStampaSchede &window) { return names(window.cards(), window.chosen().cutCards); };
    report::PreviewRecorder previews;
    {
        auto window = openWindow();
        // Labels as always.
        QVERIFY(window->optEtichette->isChecked());
        QCOMPARE(window->lblRiepilogo->text(), TfrmStampaSchede::summaryText(4, 4, 1));
        QCOMPARE(cutNames(*window), (QStringList{"Beta", "Gamma"}));
        QVERIFY(window->grpEtichette->isEnabled() && window->btnConserva->isEnabled());

        window->lstSchede->setFocus();
        QTest::keyClick(window->lstSchede, Qt::Key_B, Qt::AltModifier);
        QTRY_VERIFY(window->optBuste->isChecked());
        QCOMPARE(window->lblRiepilogo->text(), QStringLiteral("Schede scelte: 4 – buste: 4"));
        QCOMPARE(cutNames(*window), QStringList{"Gamma"});
        QCOMPARE(window->tabElenchi->tabText(1), QStringLiteral("Righi troppo lunghi (1)"));
        QVERIFY(!window->txtCopie->isEnabled() && !window->txtInizio->isEnabled() && !window->btnConserva->isEnabled());
        QVERIFY(window->lblBusta->text().startsWith(QStringLiteral("Busta DL (110 × 220 mm) – orizzontale")));

        window->btnAnteprima->click();
        QCOMPARE(previews.count(), 1);
        const report::PreviewRecorder::Preview &preview = previews.previews().first();
        QCOMPARE(preview.caption, TfrmStampaSchede::envelopeTitle());
        QVERIFY(preview.buttons.testFlag(report::Report::PreviewPages));
        QCOMPARE(preview.pages.size(), 4); // one envelope a card, by name
        const QSizeF dl(report::mmToUnits(220), report::mmToUnits(110));
        QStringList first;
        for (const report::PreparedPage &page : preview.pages) {
            QCOMPARE(page.paper, dl);
            first << page.texts().first().text;
        }
        QCOMPARE(first, (QStringList{"A1 Via Roma 1", labelCut, "D1 Corso Italia", "G1"}));
        window->btnChiudi->click();
    }
    // Remembered, with the envelopes' marks from the start.
    const IniFile ini(m_dir->filePath(QStringLiteral("Impostazioni.ini")));
    QCOMPARE(ini.readString(mailing::MailingSettings::section(), QStringLiteral("Supporto")), QStringLiteral("Buste"));
    auto again = openWindow();
    QVERIFY(again->optBuste->isChecked());
    QVERIFY(!again->grpEtichette->isEnabled());
    QCOMPARE(cutNames(*again), QStringList{"Gamma"});
    again->optEtichette->setChecked(true);
    QCOMPARE(cutNames(*again), (QStringList{"Beta", "Gamma"}));
    QVERIFY(again->grpEtichette->isEnabled() && again->btnConserva->isEnabled());
    QCOMPARE(again->lblRiepilogo->text(), TfrmStampaSchede::summaryText(4, 4, 1));
}

void TestMailing::envelopeSettingsFromTheWindow()
{
    // The envelope dialog opened from the window prints nothing: Salva keeps
    // the settings the envelopes print with, Annulla keeps the earlier ones.
    writeArchive(m_dir->path(), {card("Alfa", "", {"Via Roma 1"})});
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    auto window = openWindow();
    window->optBuste->setChecked(true);
    QVERIFY(window->lblBusta->text().startsWith(QStringLiteral("Foglio A4")));
    const auto &formats = envelopeFormats::all();
    const auto c5 = std::find_if(formats.begin(), formats.end(), [](const EnvelopeFormat &f) { return f.key == "C5"; });
    for (const bool save : {false, true}) {
        QString title, action;
        // The button's key clicks it a moment later: the dialog is awaited.
        QTimer awaited;
        awaited.setInterval(10);
        connect(&awaited, &QTimer::timeout, this, [&] {
            auto *settings = qobject_cast<TfrmStampaBusta *>(QApplication::activeModalWidget());
            if (!settings)
                return;
            awaited.stop();
            title = settings->windowTitle();
            action = settings->btnStampa->text();
            settings->cboFormato->setCurrentIndex(int(c5 - formats.begin()));
            settings->txtTop->setText(QStringLiteral("7"));
            (save ? settings->btnStampa : settings->btnAnnulla)->click();
        });
        awaited.start();
        QApplication::setActiveWindow(window.get()); // again, once the dialog has closed
        window->lstSchede->setFocus();
        QTest::keyClick(window->lstSchede, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(!awaited.isActive());
        QCOMPARE(title, QStringLiteral(" Impostazioni della busta"));
        QCOMPARE(action, QStringLiteral("Salva"));
        QCOMPARE(printer.count(), 0);
        QCOMPARE(window->lblBusta->text().startsWith(QStringLiteral("Busta C5 (162 × 229 mm) – orizzontale – margini 7 e 0 mm")),
                 save);
    }
    window->btnAnteprima->click();
    QCOMPARE(previews.count(), 1);
    QCOMPARE(window->envelopeMailing().format().key, QStringLiteral("C5"));
    QCOMPARE(window->envelopeMailing().placement().topMm, 7.0);
    QCOMPARE(previews.previews().first().pages.first().paper, QSizeF(report::mmToUnits(229), report::mmToUnits(162)));
    QCOMPARE(m_messages->count(), 0);
}

void TestMailing::envelopesRefuseABadMargin()
{
    writeArchive(m_dir->path(), {card("Alfa", "", {"Via Roma 1"})});
    writeSettings(m_dir->path(), "[Formato Busta]\r\nFormato=DL\r\n[Busta DL]\r\nSuperiore=dieci\r\n");
    report::PrintRecorder printer;
    report::PreviewRecorder previews;
    auto window = openWindow();
    window->optBuste->setChecked(true);
    QVERIFY(window->lblBusta->text().contains(QStringLiteral("un margine non è un numero valido")));
    window->btnStampa->click();
    window->btnAnteprima->click();
    QCOMPARE(printer.count(), 0);
    QCOMPARE(previews.count(), 0);
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->last().text, TfrmStampaSchede::envelopeMarginMessage());
}

void TestMailing::envelopesThroughQueue()
{
    const TestPrintQueue queue;
    if (!queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
    // 100 cards whose postal codes run against the file order, on DL envelopes
    // fed landscape, moved by -3 and 12 mm, with a sender.
    QList<TSchedaIndirizzo> cards;
    for (int i = 0; i < 100; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        cards << card(QStringLiteral("Socio %1").arg(n), "Cliente",
                      {QStringLiteral("B%1A Gentile socio").arg(n), QStringLiteral("B%1B Via Roma %2").arg(n).arg(i + 1),
                       QStringLiteral("B%1C %2 Roma").arg(n).arg(99000 - 10 * i)});
    }
    writeArchive(m_dir->path(), cards);
    writeSettings(m_dir->path(), "[Formato Busta]\r\nFormato=DL\r\n[Busta DL]\r\nSuperiore=-3\r\nSinistro=12\r\n"
                                 "Orientamento=Orizzontale\r\n[Mittente]\r\nRigo01=Mitt1 Studio Bianchi\r\n");
    report::PrintRecorder printer;
    printer.answerPrintTo(queue.name());
    const QSet<QString> before = queue.files(TfrmStampaSchede::envelopeTitle());
    {
        auto window = openWindow();
        window->optCap->setChecked(true);
        window->optBuste->setChecked(true);
        window->btnStampa->click();
    }
    QCOMPARE(printer.count(), 1);
    QCOMPARE(printer.requests().first().title, TfrmStampaSchede::envelopeTitle());
    QCOMPARE(printer.requests().first().pages.size(), 100);
    QCOMPARE(m_messages->count(), 0); // envelopes are not offered as label pages

    QString why;
    const QString path = queue.waitForPdf(TfrmStampaSchede::envelopeTitle(), before, &why);
    QVERIFY2(!path.isEmpty(), qPrintable(why));
    const PdfText pdf = readPdfText(path);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pagesMm.size(), 100);
    const QSizeF sheet = pdf.pagesMm.first();
    const QSizeF upright(std::min(sheet.width(), sheet.height()), std::max(sheet.width(), sheet.height()));
    QVERIFY2(qAbs(upright.width() - 110) < 0.36 && qAbs(upright.height() - 220) < 0.36,
             qPrintable(QStringLiteral("sheet %1 x %2 mm").arg(sheet.width()).arg(sheet.height())));
    // By postal code: card 99 on the first envelope, card 0 on the last, one each.
    const QPointF first = envelopeFormats::find(QStringLiteral("DL"))->addressMm(QSizeF(220, 110)) + QPointF(12, -3);
    double worst = 0;
    for (int k = 0; k < 100; ++k) {
        const QString n = QStringLiteral("%1").arg(99 - k, 2, 10, QLatin1Char('0'));
        for (int line = 1; line <= 3; ++line) {
            const QString token = QStringLiteral("B%1%2").arg(n, QChar(u'A' + line - 1));
            const QList<PdfWord> words = pdf.find(token);
            QVERIFY2(words.size() == 1 && words.first().page == k, qPrintable(token));
            if (k != 0 && k != 57 && k != 99)
                continue;
            const QPointF found = pdf.lineStartMm(words.first(), 10, arialAscentMm(10), true);
            const QPointF expected = first + QPointF(0, 5 * (line - 1));
            worst = std::max({worst, qAbs(found.x() - expected.x()), qAbs(found.y() - expected.y())});
            QVERIFY2(qAbs(found.x() - expected.x()) < 0.01 && qAbs(found.y() - expected.y()) < 0.01,
                     qPrintable(QStringLiteral("%1 at %2, %3 mm, expected %4, %5 mm")
                                    .arg(token).arg(found.x()).arg(found.y()).arg(expected.x()).arg(expected.y())));
        }
    }
    QCOMPARE(pdf.find(QStringLiteral("Mitt1")).size(), 100);
    const QString media = TestPrintQueue::jobAttribute(path, QStringLiteral("media"), &why);
    QVERIFY2(!media.isEmpty(), qPrintable(why));
    QCOMPARE(media, QStringLiteral("EnvDL"));
    qInfo("100 cards on DL envelopes through CUPS: one job of %lld pages, sheet %.2f x %.2f mm, media %s, "
          "largest position error %.4f mm", qint64(pdf.pagesMm.size()), sheet.width(), sheet.height(),
          qPrintable(media), worst);
    QFile::remove(path);
}

void TestMailing::cutLinesListedAndOpened()
{
    QList<TSchedaIndirizzo> cards = fixture();
    cards << card("Lunga Riga", "Cliente",
                  {"Via Breve 1", "Amministrazione del Condominio Le Terrazze del Lago di Como, scala B"});
    cards << card("Media Riga", "Cliente", {"Via Giuseppe Garibaldi 45, scala A, int. 7"});
    QVERIFY(fitsLabelLine(cards.last()[TSchedaIndirizzo::Rigo01]));
    QVERIFY(!fitsLabelLine(cards.last()[TSchedaIndirizzo::Rigo01], SheetFormat::of(narrowLabels()), 1));
    writeArchive(m_dir->path(), cards);
    {
        // Judged on the format the mailing prints on: on a narrow one a
        // line that fits the built-in label is cut, until that one is set.
        LabelFormatSettings settings(folder());
        QVERIFY(settings.saveOwnFormat(narrowLabels()));
        QVERIFY(settings.writeChosenId(LabelFormatSettings::Use::Mailing, narrowLabels().id()));
        auto narrow = openWindow();
        QCOMPARE(narrow->mailing().format().id, narrowLabels().id());
        QCOMPARE(narrow->lstTagliati->model()->rowCount(), 2);
        QCOMPARE(narrow->tabElenchi->tabText(1), QStringLiteral("Righi troppo lunghi (2)"));
        narrow->setSheetFormat(SheetFormat::standard());
        QCOMPARE(narrow->lstTagliati->model()->rowCount(), 1);
        QCOMPARE(narrow->txtInizio->maximum(), 24);
        narrow->setSheetFormat(SheetFormat::of(narrowLabels()));
        QCOMPARE(narrow->lstTagliati->model()->rowCount(), 2);
        QCOMPARE(narrow->txtInizio->maximum(), 52);
        QVERIFY(settings.writeChosenId(LabelFormatSettings::Use::Mailing, LabelProduct::builtInId()));
    }
    auto window = openWindow();
    QCOMPARE(window->lstTagliati->model()->rowCount(), 1);
    QCOMPARE(window->lstTagliati->model()->index(0, 0).data().toString(),
             QStringLiteral("Lunga Riga – rigo 2: Amministrazione del Condominio Le Terrazze del Lago di Como, scala B"));
    QCOMPARE(window->tabElenchi->tabText(1), QStringLiteral("Righi troppo lunghi (1)"));
    QVERIFY(window->lblTagliati->text().contains(QLatin1String(": 1")));
    // Not chosen, not listed.
    QTest::keyClicks(window->txtTesto, QStringLiteral("rossi"));
    QCOMPARE(window->lstTagliati->model()->rowCount(), 0);
    QVERIFY(window->lblTagliati->text().isEmpty());
    window->optTutte->setChecked(true);
    // Enter on it: the window closes and names the card to open.
    window->tabElenchi->setCurrentIndex(1);
    window->lstTagliati->setFocus();
    window->lstTagliati->setCurrentIndex(window->lstTagliati->model()->index(0, 0));
    QTest::keyClick(window->lstTagliati, Qt::Key_Return);
    QCOMPARE(window->result(), int(QDialog::Accepted));
    QVERIFY(!window->isVisible());
    QCOMPARE(window->cardToOpen(), qint64(11));
}

void TestMailing::openedFromTheFindDialog()
{
    QList<TSchedaIndirizzo> cards = fixture();
    cards << card("Lunga Riga", "Cliente",
                  {"Via Breve 1", "Amministrazione del Condominio Le Terrazze del Lago di Como, scala B"});
    writeArchive(m_dir->path(), cards);
    TfrmArchivio_Indirizzi addresses(folder());
    addresses.show();
    TfrmTrovaIndirizzi find(addresses);
    find.show();
    // "Etichette…" comes after the find dialog's own controls in tab order.
    QCOMPARE(find.btnEtichette->text(), QStringLiteral("Etichette…"));
    QWidget *at = find.btnChiudi->nextInFocusChain();
    while (!(at->focusPolicy() & Qt::TabFocus))
        at = at->nextInFocusChain();
    QCOMPARE(at, find.btnEtichette);

    find.txtTrova->setText(QStringLiteral("riga"));
    QString text;
    bool byText = false;
    onNextDialog([&](QWidget *dialog) {
        auto *mailing = qobject_cast<TfrmStampaSchede *>(dialog);
        QVERIFY(mailing);
        text = mailing->txtTesto->text();
        byText = mailing->optTesto->isChecked();
        mailing->openCutCard(0);
    });
    find.btnEtichette->click();
    QCOMPARE(text, QStringLiteral("riga"));
    QVERIFY(byText);
    // The card to mend is in the address window, the find dialog closed.
    QCOMPARE(addresses.txtNome->text(), QStringLiteral("Lunga Riga"));
    QCOMPARE(addresses.lblPosizione->text(), QStringLiteral("11"));
    QVERIFY(!find.isVisible());
    QCOMPARE(find.result(), int(QDialog::Accepted));
}

void TestMailing::openedFromTheLabelWindow()
{
    QList<TSchedaIndirizzo> cards = fixture();
    cards << card("Lunga Riga", "Cliente",
                  {"Via Breve 1", "Amministrazione del Condominio Le Terrazze del Lago di Como, scala B"});
    writeArchive(m_dir->path(), cards);
    Program program(m_dir->path());
    TfrmArchivio_Etichette *labels = program.labelWindow();
    labels->show();
    QApplication::setActiveWindow(labels);
    // The picture button: hint, tooltip with its key, name for assistive tools.
    ui::PictureButton *button = labels->cmdSchede;
    const QString hint = QStringLiteral("Stampa le etichette delle schede scelte dall'archivio degli indirizzi.");
    QCOMPARE(button->toolTip(), hint + QLatin1Char('\n') + ui::keyText(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)));
    QCOMPARE(button->spokenName(), QStringLiteral("Etichette dall'archivio"));
    QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
    QVERIFY(button->mapTo(labels, QPoint()).x() > labels->cmdStampa->mapTo(labels, QPoint()).x());
    QVERIFY(button->mapTo(labels, QPoint()).x() < labels->cmdPrimo->mapTo(labels, QPoint()).x());

    bool opened = false;
    onNextDialog([&](QWidget *dialog) {
        auto *mailing = qobject_cast<TfrmStampaSchede *>(dialog);
        opened = mailing != nullptr;
        if (mailing)
            mailing->openCutCard(0);
    });
    QTest::keyClick(labels->txtNome_E(1), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(opened);
    // The address window shows the card; the label window is hidden.
    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    QVERIFY(addresses->isVisible());
    QVERIFY(!labels->isVisible());
    QCOMPARE(addresses->txtNome->text(), QStringLiteral("Lunga Riga"));
    QCOMPARE(addresses->lblPosizione->text(), QStringLiteral("11"));
    addresses->hide();
}

QTEST_MAIN(TestMailing)
#include "tst_mailing.moc"
