// The list line, the list order, the sort and the search. Built with the
// address sanitizer where the compiler has it: a read of freed text by the
// thread that makes the lowered copy stops the test.
#include "cardlist/CardList.h"
#include "storage/InParts.h"

#include <QTest>

#include <cstring>

using namespace tavolux;
using namespace tavolux::cardlist;

namespace {
// Large enough for the lowered copy to take a while on its thread.
constexpr int kChanged = 100000;
}

class TestCardList : public QObject
{
    Q_OBJECT
private slots:
    void line_data();
    void line();
    void lineOfEmptyViews();
    void order_data();
    void order();
    void equalLinesStayInFileOrder();
    void sortAgreesWithListOrder_data();
    void sortAgreesWithListOrder();
    void recordLineAsBuiltFromValues();
    void search_data();
    void search();
    void searchMemoryIsStoredEitherWay();
    void largeListSearchWaitsForItsCopy();
    void largeListReplacedWhileBeingCopied();
    void changedWhileBeingCopied_data();
    void changedWhileBeingCopied();
};

void TestCardList::line_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short, empty note")
        << "Rossi Mario" << "Cliente" << ""
        << QStringLiteral("Rossi Mario") + QString(29, ' ') + "  Tipo: Cliente" + QString(21, ' ') + "  Note: ";
    const QString name45 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrs");
    QTest::newRow("45-character name cut to 40")
        << name45 << "" << "n"
        << name45.left(40) + "  Tipo: " + QString(28, ' ') + "  Note: n";
    QTest::newRow("long type cut to 28, values trimmed")
        << "  A\t" << QString(30, 'T') << "  nota lunga  "
        << "A" + QString(39, ' ') + "  Tipo: " + QString(28, 'T') + "  Note: nota lunga";
}

void TestCardList::line()
{
    QFETCH(QString, nome);
    QFETCH(QString, tipo);
    QFETCH(QString, note);
    QFETCH(QString, expected);
    const QString built = listLine(nome, tipo, note);
    // The record path builds the same line from the stored bytes.
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = nome;
    card[TSchedaIndirizzo::Tipo] = tipo;
    card[TSchedaIndirizzo::Note] = note;
    QByteArray fromRecord;
    QVERIFY(appendLineOfRecord(fromRecord, card.toRecord().constData()));
    QCOMPARE(QString::fromLatin1(fromRecord), built);
    QCOMPARE(built, expected);
    QCOMPARE(built.indexOf(QStringLiteral("  Tipo: ")), 40);
    QCOMPARE(built.indexOf(QStringLiteral("  Note: ")), 76);
}

void TestCardList::lineOfEmptyViews()
{
    // Views with no data at all (as a missing field gives) make a line of blanks.
    QByteArray line;
    appendLineBytes(line, QByteArrayView(), QByteArrayView(), QByteArrayView());
    QCOMPARE(line, QByteArray(40, ' ') + "  Tipo: " + QByteArray(28, ' ') + "  Note: ");
}

void TestCardList::order_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::newRow("a-z as A-Z") << "bianchi" << "Conti" << true;
    QTest::newRow("capital vs small same letter") << "ROSSI" << "rossj" << true;
    QTest::newRow("prefix first") << "Ros" << "Rossi" << true;
    QTest::newRow("longer after prefix") << "Rossi" << "ROS" << false;
    QTest::newRow("underscore after letters") << "Z" << "_" << true;          // 'Z'=90 < '_'=95
    QTest::newRow("small letter before underscore") << "z" << "_" << true;  // z taken as Z
    QTest::newRow("accent by code") << "Zeta" << "Èlia" << true;            // È=200
    QTest::newRow("small accent not folded") << "É" << "é" << true;          // 201 < 233
    QTest::newRow("digits first") << "9" << "A" << true;
    // By Windows-1252 code, not by Unicode code point.
    QTest::newRow("euro 0x80 before À 0xC0") << "€uro" << "Àlba" << true;
    QTest::newRow("Š 0x8A before Á 0xC1") << "Šimon" << "Ábaco" << true;
    QTest::newRow("’ 0x92 before È") << "D’Amico" << "DÈ" << true;
    QTest::newRow("euro before ÿ") << "€" << "ÿ" << true;
    QTest::newRow("en dash 0x96 before é 0xE9") << "Zeta – 2" << "Zeta é" << true;
}

void TestCardList::order()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);
    QCOMPARE(listLess(a, b), aFirst);
    QCOMPARE(listLess(b, a), !aFirst);
}

void TestCardList::equalLinesStayInFileOrder()
{
    // Lines equal in list order (differing only in a-z case) stay in their order.
    CardLines lines(QStringList{"rossi 1", "Bianchi", "ROSSI 1", "Rossi 1", "Abate", "Ros", "Èlia", "Zeta – 2", "Zeta é"});
    lines.sort();
    QCOMPARE(lines.toStringList(), QStringList({"Abate", "Bianchi", "Ros", "rossi 1", "ROSSI 1", "Rossi 1",
                                                "Zeta – 2", "Zeta é", "Èlia"}));
}

void TestCardList::sortAgreesWithListOrder_data()
{
    // Many lines from a few characters, so that lines tie on long stretches
    // (beyond the eight bytes the sort takes at a time), differ only in a-z
    // case, are prefixes of each other, or are equal.
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<int>("longest");
    QTest::addColumn<int>("count");
    QTest::newRow("case and accents") << QStringLiteral("aAbBéÉ") << 12 << 3000;
    QTest::newRow("long shared runs") << QStringLiteral("rR ") << 40 << 3000;
    QTest::newRow("controls, blanks, code page") << QStringLiteral("\x01 z_€ÿ") << 20 << 3000;
    QTest::newRow("zero bytes inside lines") << (QString(QChar(0)) + QStringLiteral("aA\x01")) << 20 << 3000;
    QTest::newRow("no lines") << QStringLiteral("a") << 4 << 0;
    QTest::newRow("one line") << QStringLiteral("ab") << 4 << 1;
    // Large enough to be sorted on two threads.
    QTest::newRow("two threads: long shared runs") << QStringLiteral("rR ") << 40 << int(inparts::MinItems) + 999;
    QTest::newRow("two threads: case and accents") << QStringLiteral("aAbBéÉ") << 12 << int(inparts::MinItems) + 1;
}

void TestCardList::sortAgreesWithListOrder()
{
    QFETCH(QString, alphabet);
    QFETCH(int, longest);
    QFETCH(int, count);
    quint32 state = 12345;
    auto next = [&](quint32 below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        QString line;
        const int length = int(next(quint32(longest) + 1));
        for (int k = 0; k < length; ++k)
            line += alphabet.at(int(next(quint32(alphabet.size()))));
        lines << line;
    }
    // The list order, ties kept in their order.
    QStringList expected = lines;
    std::stable_sort(expected.begin(), expected.end(), listLess);
    CardLines sorted(lines);
    sorted.sort();
    QCOMPARE(sorted.toStringList(), expected);
}

void TestCardList::recordLineAsBuiltFromValues()
{
    // The line made in place from a record is the line of its values; a
    // record without a name adds none.
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("  Niccolò Rossi ");
    card[TSchedaIndirizzo::Tipo] = QStringLiteral("Cliente\t");
    card[TSchedaIndirizzo::Note] = QStringLiteral(" Caffè – sabato ");
    TSchedaIndirizzo unnamed = card;
    unnamed[TSchedaIndirizzo::Nome] = QStringLiteral(" \t ");
    CardLines lines;
    QVERIFY(lines.appendRecord(card.toRecord().constData()));
    QVERIFY(!lines.appendRecord(unnamed.toRecord().constData()));
    QCOMPARE(lines.toStringList(), QStringList{listLine(card)});
}

void TestCardList::search_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("memory"); // key of the previous search
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    const QStringList people{listLine("Anna Rossi", "Cliente", ""), listLine("Bruno Verdi", "Fornitore", "rossi"),
                             listLine("Carla Bianchi", "Cliente", ""), listLine("Èlia Rossi", "", "")};
    QTest::newRow("tipo matches line 0") << people << 2 << "" << "TIPO" << 0;
    QTest::newRow("note matches line 0") << people << 3 << "" << "nOtE" << 0;
    QTest::newRow("new search from the top") << people << 2 << "x" << "rossi" << 0;
    QTest::newRow("repeated search walks on") << people << 0 << "rossi" << "ROSSI" << 1;
    QTest::newRow("repeated search walks again") << people << 1 << "rossi" << "rossi" << 3;
    QTest::newRow("repeated search wraps") << people << 3 << "rossi" << "rossi" << 0;
    QTest::newRow("only current matches: stays") << people << 2 << "bianchi" << "Bianchi" << 2;
    QTest::newRow("capitals find small letters") << people << 0 << "" << "CARLA" << 2;
    QTest::newRow("è does not find È") << people << 0 << "" << "èlia" << -1;
    QTest::newRow("È finds È") << people << 0 << "" << "Èlia" << 3;
    QTest::newRow("empty key matches nothing") << people << 1 << "" << "" << -1;
    QTest::newRow("blanks count") << people << 0 << "" << "a r" << 0;
    QTest::newRow("no match") << people << 1 << "" << "zzz" << -1;
    QTest::newRow("no current line") << people << -1 << "rossi" << "rossi" << 1;
    QTest::newRow("key outside the code page") << people << 0 << "" << "Ω" << -1;
    QTest::newRow("question mark is not a wildcard") << people << 0 << "" << "?" << -1;
    QTest::newRow("no match across two lines") << QStringList{"ab", "cd"} << 0 << "" << "bc" << -1;
}

void TestCardList::search()
{
    QFETCH(QStringList, lines);
    QFETCH(int, current);
    QFETCH(QString, memory);
    QFETCH(QString, text);
    QFETCH(int, found);
    CardLines lowered(lines);
    lowered.sort(); // already in order: sorting keeps it
    QCOMPARE(lowered.toStringList(), lines);
    Search search;
    search.findNext(lowered, 0, memory); // sets the memory
    QCOMPARE(search.findNext(lowered, current, text), found);
}

void TestCardList::searchMemoryIsStoredEitherWay()
{
    Search search;
    const CardLines lowered(QStringList{"abc"});
    QCOMPARE(search.findNext(lowered, 0, QStringLiteral("ZZ")), -1);
    QCOMPARE(search.memory(), QStringLiteral("zz"));
    QCOMPARE(search.findNext(lowered, 0, QStringLiteral("B")), 0);
    QCOMPARE(search.memory(), QStringLiteral("b"));
    // An empty list leaves the memory to the caller's message, but the rule still stores it.
    QCOMPARE(search.findNext(CardLines(), 0, QStringLiteral("Q")), -1);
    QCOMPARE(search.memory(), QStringLiteral("q"));
}

namespace {

QStringList numberedLines(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("Persona %1  Tipo: Cliente").arg(count - i, 6, 10, QLatin1Char('0'));
    return lines;
}

} // namespace

void TestCardList::largeListSearchWaitsForItsCopy()
{
    // A large list's lowered copy is made on a thread after the sort; a search
    // straight after it still sees every line, in list order.
    const int count = int(inparts::MinItems) + 10;
    CardLines lines(numberedLines(count));
    lines.sort();
    QCOMPARE(lines.line(0), QStringLiteral("Persona 000001  Tipo: Cliente"));
    Search search;
    QCOMPARE(search.findNext(lines, 0, QStringLiteral("PERSONA %1").arg(count, 6, 10, QLatin1Char('0'))), count - 1);
    QCOMPARE(search.findNext(lines, 0, QStringLiteral("persona 000002")), 1);
    QCOMPARE(search.findNext(lines, 0, QStringLiteral("fornitore")), -1);
}

void TestCardList::largeListReplacedWhileBeingCopied()
{
    // Replacing, clearing or dropping a list while its copy is being made
    // stops the copy first (the sanitizer run catches a read of freed text).
    const QStringList many = numberedLines(int(inparts::MinItems) + 10);
    CardLines lines(many);
    lines.sort();
    lines = CardLines(QStringList{"Zeta", "Alfa"});
    QCOMPARE(lines.toStringList(), QStringList({"Zeta", "Alfa"}));
    {
        CardLines dropped(many);
        dropped.sort();
    }
    CardLines moved(many);
    moved.sort();
    CardLines taken(std::move(moved));
    QCOMPARE(moved.size(), 0);
    moved.clear();
    QCOMPARE(Search().findNext(taken, 0, QStringLiteral("persona 000003")), 2);
    taken.clear();
    QCOMPARE(taken.size(), 0);
}

namespace {

// A list of `count` named cards in one buffer that their lines fill exactly,
// as the dialogs read it: any line added moves the buffer.
CardLines readAtOnce(int count)
{
    QByteArray text;
    std::vector<qint64> offsets{0};
    for (int i = 0; i < count; ++i) {
        appendLineBytes(text, QByteArrayLiteral("Persona ") + QByteArray::number(count - i).rightJustified(7, '0'), {}, {});
        text.append('\0');
        offsets.push_back(text.size());
    }
    text.squeeze();
    return CardLines::fromText(std::move(text), std::move(offsets));
}

} // namespace

void TestCardList::changedWhileBeingCopied_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("size");      // lines after the change
    QTest::addColumn<QString>("first"); // the first line shown after it
    QTest::addColumn<QString>("found"); // the line "Trova" then finds for "persona 0000002", sorted again
    const QString first = listLine(QStringLiteral("Persona 0000001"), QString(), QString());
    const QString second = listLine(QStringLiteral("Persona 0000002"), QString(), QString());
    QTest::newRow("append") << "append" << kChanged + 1 << QStringLiteral("Persona 0000002 aggiunta") << second;
    QTest::newRow("append a record") << "appendRecord" << kChanged + 1
                                     << listLine(QStringLiteral("Persona 0000002 scheda"), QString(), QString()) << second;
    QTest::newRow("sort again") << "sort" << kChanged << first << second;
    QTest::newRow("read again") << "read" << 10 << listLine(QStringLiteral("Persona 0000010"), QString(), QString()) << second;
    QTest::newRow("move another list in") << "move" << 2 << QStringLiteral("Persona 0000002") << QStringLiteral("Persona 0000002");
    QTest::newRow("clear") << "clear" << 0 << QString() << QString();
}

// Every change to a large list while its lowered copy is still being made on
// a thread (right after a sort) stops that copy before the text it reads is
// moved or freed.
void TestCardList::changedWhileBeingCopied()
{
    QFETCH(QString, change);
    QFETCH(int, size);
    QFETCH(QString, first);
    QFETCH(QString, found);
    CardLines lines = readAtOnce(kChanged);
    lines.sort();
    if (change == QLatin1String("append")) {
        lines.append("Persona 0000002 aggiunta");
    } else if (change == QLatin1String("appendRecord")) {
        QByteArray record(TSchedaIndirizzo::RecordSize, '\0');
        const QByteArray name("Persona 0000002 scheda");
        record[0] = char(name.size());
        std::memcpy(record.data() + 1, name.constData(), size_t(name.size()));
        QVERIFY(lines.appendRecord(record.constData()));
    } else if (change == QLatin1String("sort")) {
        lines.sort();
    } else if (change == QLatin1String("read")) {
        lines = readAtOnce(10);
    } else if (change == QLatin1String("move")) {
        lines = CardLines(QStringList{"Persona 0000002", "Persona 0000003"});
    } else {
        lines.clear();
    }
    QCOMPARE(lines.size(), size);
    if (size == 0)
        return;
    // A line added comes last until the next sort.
    QCOMPARE(lines.line(change.startsWith(QLatin1String("append")) ? size - 1 : 0), first);
    lines.sort();
    const int at = Search().findNext(lines, 0, QStringLiteral("persona 0000002"));
    QVERIFY(at >= 0);
    QCOMPARE(lines.line(at), found);
}

QTEST_GUILESS_MAIN(TestCardList)
#include "tst_cardlist.moc"
