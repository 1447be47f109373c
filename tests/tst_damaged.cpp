// Damaged archives: every window that reads them shows what it can or its own
// message, never crashes, and never writes what it was not asked to.
#include "cardlist/CardListModel.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/ArchiveNotices.h"
#include "ui/Messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace tavolux;

namespace {

const QString kDenied = QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                       "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// A fingerprint of every file under the folder (path, kind, content).
QByteArray snapshot(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList entries;
    while (it.hasNext())
        entries << it.next();
    entries.sort();
    for (const QString &path : entries) {
        hash.addData(path.toUtf8());
        QFile file(path);
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestDamaged : public QObject
{
    Q_OBJECT
private slots:
    void readersSurviveDamage_data();
    void readersSurviveDamage();
};

void TestDamaged::readersSurviveDamage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("denied"); // the windows report the access-denied message
    QTest::newRow("random bytes") << "random" << false;
    QTest::newRow("length bytes above 250") << "lengths" << false;
    QTest::newRow("trailing partial record") << "partial" << false;
    QTest::newRow("zero bytes") << "empty" << false;
    QTest::newRow("a directory") << "directory" << true;
}

void TestDamaged::readersSurviveDamage()
{
    QFETCH(QString, kind);
    QFETCH(bool, denied);
    QTemporaryDir dir;
    const QString cards = dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    const QString pages = dir.filePath(QStringLiteral("Archivio_Etichette.pro"));
    if (kind == QLatin1String("random")) {
        writeFile(cards, randomBytes(7 * TSchedaIndirizzo::RecordSize + 123, 1));
        writeFile(pages, randomBytes(2 * TPaginaEtichette::RecordSize + 77, 2));
    } else if (kind == QLatin1String("lengths")) {
        writeFile(cards, QByteArray(3 * TSchedaIndirizzo::RecordSize, '\xff'));
        writeFile(pages, QByteArray(TPaginaEtichette::RecordSize, '\xfb'));
    } else if (kind == QLatin1String("partial")) {
        TSchedaIndirizzo card;
        card[TSchedaIndirizzo::Nome] = QStringLiteral("Intera");
        writeFile(cards, card.toRecord() + card.toRecord().left(1000));
        TPaginaEtichette page;
        page.name(1) = QStringLiteral("Intera");
        writeFile(pages, page.toRecord() + page.toRecord().left(5000));
    } else if (kind == QLatin1String("empty")) {
        writeFile(cards, QByteArray());
        writeFile(pages, QByteArray());
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Archivio_Indirizzi.pro")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Archivio_Etichette.pro")));
    }
    const QByteArray before = snapshot(dir.path());
    const ProgramFolder folder(dir.path());
    ui::MessageRecorder messages;

    TfrmArchivio_Indirizzi addresses(folder);
    addresses.show();
    for (auto step : {&TfrmArchivio_Indirizzi::first, &TfrmArchivio_Indirizzi::next, &TfrmArchivio_Indirizzi::last,
                      &TfrmArchivio_Indirizzi::previous})
        (addresses.*step)();
    for (const auto &entry : messages.entries())
        QVERIFY(entry.text == kDenied || entry.text == archivewindow::emptyArchiveMessage());
    if (denied)
        QCOMPARE(messages.last().text, kDenied);
    for (QLineEdit *field : addresses.findChildren<QLineEdit *>())
        QVERIFY(field->text().size() <= 250);

    {
        TfrmTrovaIndirizzi find(addresses);
        find.show();
        find.txtTrova->setText(QStringLiteral("a"));
        find.find();
        find.find();
        find.setCurrentLine(0);
        find.recallCurrent();
    }
    TfrmArchivio_Etichette labels(folder);
    labels.show();
    for (auto step : {&TfrmArchivio_Etichette::first, &TfrmArchivio_Etichette::next, &TfrmArchivio_Etichette::last,
                      &TfrmArchivio_Etichette::previous})
        (labels.*step)();
    {
        TfrmImportaIndirizzi import(labels);
        import.lblMemory->setText(TfrmArchivio_Etichette::slotTag(4));
        import.show();
        import.setCurrentLine(0);
        import.recallCurrent();
    }
    {
        TfrmExpIndirizzi exporter(folder, &addresses);
        exporter.show();
        QVERIFY(exporter.grdRecords->model()->rowCount() >= 1);
    }
    // Reading never wrote anything.
    QCOMPARE(snapshot(dir.path()), before);
}

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
