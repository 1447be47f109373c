// The spreadsheet writer at the edges of its buffer, built with the address
// sanitizer where the compiler has it: a write past the buffer stops the test.
#include "ReferenceSpreadsheet.h"
#include "addresses/SpreadsheetWriter.h"

#include <QTest>

using namespace tavolux;

namespace {

// Size of the file for no rows, and what one row of empty cells adds.
qsizetype emptyFileSize() { return writeSpreadsheet({}).size(); }
qsizetype emptyRowSize() { return writeSpreadsheet({QStringList()}).size() - emptyFileSize(); }
constexpr qsizetype kTail = sizeof "</table></body></html>" - 1;

} // namespace

class TestSpreadsheet : public QObject
{
    Q_OBJECT
private slots:
    void equalsReferenceAtPieceEdges_data();
    void equalsReferenceAtPieceEdges();
    void piecesStayWithinTheLimit();
    void refusingSinkStopsAtOnce();
};

void TestSpreadsheet::equalsReferenceAtPieceEdges_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    // Text of `length` characters, each `unit` bytes in the file.
    auto fill = [](QChar ch, qsizetype length) { return QString(length, ch); };
    const qsizetype head = emptyFileSize() - kTail;
    const qsizetype row = emptyRowSize();

    QTest::newRow("one escaped row longer than a piece")
        << QList<QStringList>{{fill(u'&', kSpreadsheetPiece / 2)}};
    QTest::newRow("escaped rows in every cell, each longer than a piece")
        << QList<QStringList>{QStringList(9, fill(u'&', kSpreadsheetPiece / 4)), QStringList(9, fill(u'&', 3))};
    QTest::newRow("one row of markup three pieces long")
        << QList<QStringList>{{fill(u'<', kSpreadsheetPiece), QString(), fill(u'>', kSpreadsheetPiece / 2)}};
    // The last row's end lands just before, on and just after the end of the
    // first piece, in plain and in escaped characters, with the closing tags
    // still to come.
    for (qsizetype gap = -30; gap <= 30; gap += 3) {
        const qsizetype plain = kSpreadsheetPiece - head - row - gap;
        QTest::addRow("plain last row, %lld bytes from the edge", qlonglong(gap))
            << QList<QStringList>{{QStringLiteral("a")}, {fill(u'x', plain - 1)}};
        const qsizetype escaped = plain - (plain % 5);
        QTest::addRow("escaped last row, %lld bytes from the edge", qlonglong(gap + plain % 5))
            << QList<QStringList>{{fill(u'&', escaped / 5)}};
        QTest::addRow("mixed last row, %lld bytes from the edge", qlonglong(gap))
            << QList<QStringList>{{fill(u'&', plain / 10), QString(), fill(u'è', plain - 5 * (plain / 10))}};
    }
    // Many ordinary rows up to and over several piece edges.
    QList<QStringList> many;
    for (int n = 0; n < 20000; ++n)
        many << QStringList{QStringLiteral("Cliente %1 & figli").arg(n), QStringLiteral("<%1>").arg(n % 97),
                            QString(n % 13, u'&'), n % 7 ? QStringLiteral("Via Roma") : QStringLiteral("=%1+1").arg(n), QString(), QString(), QString(),
                            QString(), QStringLiteral("Città è più \U0001F600")};
    QTest::newRow("twenty thousand rows") << many;
}

void TestSpreadsheet::equalsReferenceAtPieceEdges()
{
    QFETCH(QList<QStringList>, rows);
    const QByteArray fast = writeSpreadsheet(rows);
    const QByteArray plain = reference::spreadsheet(rows);
    QCOMPARE(fast.size(), plain.size());
    QVERIFY(fast == plain);
}

void TestSpreadsheet::piecesStayWithinTheLimit()
{
    QList<QStringList> rows;
    for (int n = 0; n < 30000; ++n)
        rows << QStringList{QStringLiteral("Nome %1").arg(n), QStringLiteral("&<>").repeated(n % 50)};
    rows.insert(100, QStringList{QString(kSpreadsheetPiece, u'&')});
    QByteArray streamed;
    int longer = 0;
    QVERIFY(writeSpreadsheet(rows, [&](const char *data, qsizetype size) {
        longer += size > kSpreadsheetPiece;
        streamed.append(data, size);
        return true;
    }));
    // Only the one cell longer than a piece needs a longer piece.
    QCOMPARE(longer, 1);
    QVERIFY(streamed == reference::spreadsheet(rows));
}

void TestSpreadsheet::refusingSinkStopsAtOnce()
{
    QList<QStringList> rows(5000, QStringList{QString(300, u'&')});
    int calls = 0;
    QVERIFY(!writeSpreadsheet(rows, [&](const char *, qsizetype) { return ++calls < 2; }));
    QCOMPARE(calls, 2);
}

QTEST_APPLESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
