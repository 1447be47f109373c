// The .xlsx writer and the check that reads its file back, on their own.
#include "workbook/WorkbookCheck.h"
#include "workbook/WorkbookWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tavolux;

class TestWorkbook : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void writerRefuses_data();
    void writerRefuses();
    void checkFindsDamage_data();
    void checkFindsDamage();

private:
    QString workbookPath() const { return m_dir->filePath(QStringLiteral("Archivio_Indirizzi.xlsx")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWorkbook::writerRefuses_data()
{
    QTest::addColumn<qsizetype>("rows");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a cell too long") << qsizetype(3) << QString(kWorkbookMaxCell + 1, u'a')
                                     << QStringLiteral("Una cella supera i 32767 caratteri che un foglio di calcolo ammette.");
    QTest::newRow("too many rows") << kWorkbookMaxRows + 1 << QStringLiteral("x")
                                   << QStringLiteral("Le righe sono più delle 1048575 che un foglio di calcolo ammette.");
}

void TestWorkbook::writerRefuses()
{
    QFETCH(qsizetype, rows);
    QFETCH(QString, cell);
    QFETCH(QString, reason);
    WorkbookSheet sheet;
    sheet.name = QStringLiteral("Archivio Indirizzi");
    sheet.columns = {{QStringLiteral("Nome"), 100}, {QStringLiteral("Note"), 100}};
    sheet.rows = rows;
    sheet.cell = [&cell](qsizetype row, int column) { return row == 1 && column == 1 ? cell : QStringLiteral("x"); };
    const WorkbookResult result = writeWorkbook(workbookPath(), sheet);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, reason);
}

void TestWorkbook::checkFindsDamage_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("whole");
    QTest::newRow("none") << "none" << 50 << true;
    // A sheet of many pieces: rows are counted across their edges.
    QTest::newRow("none, a long sheet") << "none" << 20000 << true;
    QTest::newRow("one row fewer than counted") << "rows" << 50 << false;
    QTest::newRow("one row fewer than counted, a long sheet") << "rows" << 20000 << false;
    QTest::newRow("cut short") << "cut" << 50 << false;
    QTest::newRow("a byte changed") << "byte" << 50 << false;
    QTest::newRow("not a zip") << "text" << 50 << false;
}

void TestWorkbook::checkFindsDamage()
{
    QFETCH(QString, damage);
    QFETCH(int, rows);
    QFETCH(bool, whole);
    QList<QStringList> cells;
    for (int n = 0; n < rows; ++n)
        cells << QStringList{QStringLiteral("Cliente %1").arg(n), QStringLiteral("Via Roma %1").arg(n * 31)};
    const WorkbookResult result = writeWorkbook(workbookPath(), QStringLiteral("Foglio"),
                                                {{QStringLiteral("Nome"), 200}, {QStringLiteral("Via"), 200}}, cells);
    QVERIFY(result.ok);
    QFile file(workbookPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    qsizetype expectedRows = cells.size() + 1;
    if (damage == QLatin1String("rows"))
        ++expectedRows;
    else if (damage == QLatin1String("cut"))
        bytes.chop(40);
    else if (damage == QLatin1String("byte"))
        bytes[bytes.indexOf("xl/worksheets/sheet1.xml") + 40] ^= 0x5A; // inside the sheet's packed data
    else if (damage == QLatin1String("text"))
        bytes = "<html></html>";
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const QString problem = checkWorkbook(workbookPath(), expectedRows);
    QVERIFY2(problem.isEmpty() == whole, qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
