#include "DriverRows.h"
#include "access/PasswordStore.h"
#include "addresses/SpreadsheetFile.h"
#include "addresses/SpreadsheetWriter.h"
#include "platform/IniFile.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"

#include <QFile>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <vector>

using namespace tavolux;

namespace {

QString body(const QString &tag)
{
    return (tag + QLatin1Char(' ')).repeated(250 / (tag.size() + 1)).trimmed();
}

// A record is whole when every field carries the tag of its first field.
bool wholeCard(const TSchedaIndirizzo &card)
{
    const QString expected = body(card[TSchedaIndirizzo::Nome]);
    for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
        if (card[f] != expected)
            return false;
    return true;
}

bool wholePage(const TPaginaEtichette &page)
{
    const QString expected = body(page.name(1));
    for (int f = 1; f < TPaginaEtichette::FieldCount; ++f)
        if (page.values[size_t(f)] != expected)
            return false;
    return true;
}

std::unique_ptr<QProcess> startDriver(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(STORAGE_DRIVER), arguments);
    return process;
}

} // namespace

class TestStorageProcesses : public QObject
{
    Q_OBJECT
private slots:
    void concurrentAppendsLoseNothing();
    void soakOfMixedWritersKeepsEveryRecord();
    void killedAppendLeavesOnlyWholeRecords_data();
    void killedAppendLeavesOnlyWholeRecords();
    void killedSettingsWriteLeavesOldOrNew();
    void killedExportLeavesOldOrNew();
    void killedPasswordChangeLeavesOldOrNew();
    void killedWorkbookExportsLeaveNoScratchBehind();
    void failingDiskKeepsStoredCards();
    void readersNeverSeeHalfAWrite();
    void heldLockFailsInTime_data();
    void heldLockFailsInTime();
    void millionCardsWithinAddressSpace_data();
    void millionCardsWithinAddressSpace();
};

void TestStorageProcesses::concurrentAppendsLoseNothing()
{
    const int writers = 4;
    const int perWriter = 250;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < writers; ++w)
        processes.push_back(startDriver({QStringLiteral("append"), dir.path(), QStringLiteral("w%1").arg(w),
                                         QString::number(perWriter)}));
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitCode(), 0);
    }

    AddressArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), qint64(writers * perWriter));
    QSet<QString> seen;
    int broken = 0;
    QVERIFY(archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
        broken += !wholeCard(card);
        seen.insert(card[TSchedaIndirizzo::Nome]);
        return true;
    }));
    QCOMPARE(broken, 0);
    for (int w = 0; w < writers; ++w)
        for (int s = 0; s < perWriter; ++s)
            QVERIFY(seen.contains(QStringLiteral("w%1-%2").arg(w).arg(s)));
}

void TestStorageProcesses::soakOfMixedWritersKeepsEveryRecord()
{
    const int writers = 4;
    const int milliseconds = 3000;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < writers; ++w)
        processes.push_back(startDriver({QStringLiteral("soak"), dir.path(), QStringLiteral("s%1").arg(w),
                                         QString::number(milliseconds)}));
    // Each writer's ledger: the last tag it wrote at each of its positions.
    QHash<qint64, QString> cards, pages;
    int operations = 0;
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        for (const QByteArray &line : process->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 3)
                continue;
            QHash<qint64, QString> &ledger = parts[0] == "A" ? cards : pages;
            QVERIFY2(!ledger.contains(parts[1].toLongLong()), "two writers own one record");
            ledger.insert(parts[1].toLongLong(), QString::fromLatin1(parts[2]));
            operations = qMax(operations, QString::fromLatin1(parts[2]).section(QLatin1Char('-'), 1).toInt());
        }
    }
    AddressArchive addressArchive{ProgramFolder(dir.path())};
    QVERIFY(addressArchive.open());
    QCOMPARE(addressArchive.count(), qint64(cards.size()));
    int checked = 0;
    QVERIFY(addressArchive.readAll([&](qint64 p, const TSchedaIndirizzo &card) {
        checked += wholeCard(card) && cards.value(p) == card[TSchedaIndirizzo::Nome];
        return true;
    }));
    LabelPageArchive pageArchive{ProgramFolder(dir.path())};
    QVERIFY(pageArchive.open());
    QCOMPARE(pageArchive.count(), qint64(pages.size()));
    QVERIFY(pageArchive.readAll([&](qint64 p, const TPaginaEtichette &page) {
        checked += wholePage(page) && pages.value(p) == page.name(1);
        return true;
    }));
    QCOMPARE(checked, int(cards.size() + pages.size()));
    qInfo("soak: %d processes, about %d operations each, %d records checked", writers, operations, checked);
}

void TestStorageProcesses::killedAppendLeavesOnlyWholeRecords_data()
{
    QTest::addColumn<bool>("pages");
    QTest::newRow("address cards") << false;
    QTest::newRow("label pages") << true;
}

void TestStorageProcesses::killedAppendLeavesOnlyWholeRecords()
{
    QFETCH(bool, pages);
    QTemporaryDir dir;
    const int recordSize = pages ? TPaginaEtichette::RecordSize : TSchedaIndirizzo::RecordSize;
    const QString path = dir.filePath(pages ? QStringLiteral("Archivio_Etichette.pro") : QStringLiteral("Archivio_Indirizzi.pro"));
    int kills = 0, torn = 0;
    for (int round = 0; round < 25; ++round) {
        auto process = startDriver({QStringLiteral("appendloop"), dir.path(), pages ? "1" : "0"});
        QVERIFY(process->waitForStarted());
        QTest::qSleep(5 + int(QRandomGenerator::global()->bounded(30)));
        process->kill(); // SIGKILL
        QVERIFY(process->waitForFinished());
        ++kills;
        const qint64 size = QFileInfo(path).size();
        torn += size % recordSize != 0;
        int broken = 0;
        qint64 whole = 0;
        if (pages) {
            LabelPageArchive archive{ProgramFolder(dir.path())};
            QVERIFY(archive.open());
            QCOMPARE(archive.count(), size / recordSize);
            QVERIFY(archive.readAll([&](qint64, const TPaginaEtichette &page) { broken += !wholePage(page); ++whole; return true; }));
        } else {
            AddressArchive archive{ProgramFolder(dir.path())};
            QVERIFY(archive.open());
            QCOMPARE(archive.count(), size / recordSize);
            QVERIFY(archive.readAll([&](qint64, const TSchedaIndirizzo &card) { broken += !wholeCard(card); ++whole; return true; }));
        }
        QCOMPARE(broken, 0);
        QCOMPARE(whole, size / recordSize);
    }
    // The next append overwrites any trailing piece.
    const qint64 before = QFileInfo(path).size() / recordSize;
    if (pages) {
        LabelPageArchive archive{ProgramFolder(dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(TPaginaEtichette()), before + 1);
    } else {
        AddressArchive archive{ProgramFolder(dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(TSchedaIndirizzo()), before + 1);
    }
    QCOMPARE(QFileInfo(path).size(), (before + 1) * recordSize);
    qInfo("crash loop: %d kills, %d left a trailing piece, %lld whole records", kills, torn, before);
}

void TestStorageProcesses::killedSettingsWriteLeavesOldOrNew()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unins000.dll"));
    IniFile ini(path);
    QVERIFY(ini.writeString(QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("v-start")));
    for (int round = 0; round < 25; ++round) {
        auto process = startDriver({QStringLiteral("iniloop"), path});
        QVERIFY(process->waitForStarted());
        QTest::qSleep(5 + int(QRandomGenerator::global()->bounded(30)));
        process->kill();
        QVERIFY(process->waitForFinished());
        const QString value = ini.readString(QStringLiteral("Accesso"), QStringLiteral("Valore"));
        QVERIFY2(value == QLatin1String("v-start")
                     || (value.startsWith(QLatin1Char('v')) && value.endsWith(QString(200, QLatin1Char('x')))),
                 qPrintable(value));
    }
}

void TestStorageProcesses::killedExportLeavesOldOrNew()
{
    const int rounds = qEnvironmentVariableIsSet("TAVOLUX_KILL_ROUNDS") ? qEnvironmentVariableIntValue("TAVOLUX_KILL_ROUNDS") : 15;
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QString path = folder.file(QStringLiteral("Archivio_Indirizzi.xls"));
    const QList<QStringList> first = exportRows(100, QStringLiteral("A"));
    QVERIFY(saveSpreadsheet(path, first));
    const QList<QByteArray> whole{writeSpreadsheet(first), writeSpreadsheet(exportRows(3000, QStringLiteral("B"))),
                                  writeSpreadsheet(exportRows(5000, QStringLiteral("C")))};
    int kills = 0;
    for (int round = 0; round < rounds; ++round) {
        auto process = startDriver({QStringLiteral("exportloop"), dir.path()});
        QVERIFY(process->waitForStarted());
        QTest::qSleep(20 + int(QRandomGenerator::global()->bounded(200)));
        process->kill();
        QVERIFY(process->waitForFinished());
        ++kills;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(whole.contains(bytes), qPrintable(QStringLiteral("round %1: a file of %2 bytes that no export wrote")
                                                       .arg(round).arg(bytes.size())));
    }
    // A kill between writing and renaming leaves the new file's temporary copy.
    const int leftovers = int(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size()) - 1;
    qInfo("export kill loop: %d kills, the file always whole, %d temporary files left", kills, leftovers);
}

void TestStorageProcesses::killedWorkbookExportsLeaveNoScratchBehind()
{
    const int rounds = qEnvironmentVariableIsSet("TAVOLUX_KILL_ROUNDS") ? qEnvironmentVariableIntValue("TAVOLUX_KILL_ROUNDS") : 20;
    QTemporaryDir dir;
    QTemporaryDir temp; // the system's temporary folder, for these exports alone
    const QString path = ProgramFolder(dir.path()).file(QStringLiteral("Archivio_Indirizzi.xlsx"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temp.path());
    const auto scratch = [&temp] {
        return QDir(temp.path()).entryList({workbookScratchPrefix() + QStringLiteral("-*")},
                                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    int kills = 0, left = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(STORAGE_DRIVER), {QStringLiteral("workbookloop"), dir.path()});
        QVERIFY(process.waitForStarted());
        QTest::qSleep(50 + int(QRandomGenerator::global()->bounded(400)));
        process.kill();
        QVERIFY(process.waitForFinished());
        ++kills;
        // The killed export's folder, and no other: each export removed those before it.
        QVERIFY2(scratch().size() <= 1, qPrintable(scratch().join(QLatin1Char(' '))));
        left += int(scratch().size());
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            QVERIFY(file.read(4) == "PK\x03\x04");
    }
    // The next export, in this process, leaves nothing behind.
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const WorkbookResult saved = saveWorkbook(path, exportSheet(exportRows(10, QStringLiteral("Z"))));
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
    QVERIFY2(saved.ok, qPrintable(saved.message));
    QCOMPARE(scratch(), QStringList());
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    qInfo("workbook kill loop: %d kills, %d left a working folder (one at most at a time), none after the next export",
          kills, left);
}

void TestStorageProcesses::killedPasswordChangeLeavesOldOrNew()
{
    const int rounds = qEnvironmentVariableIsSet("TAVOLUX_KILL_ROUNDS") ? qEnvironmentVariableIntValue("TAVOLUX_KILL_ROUNDS") : 15;
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    PasswordStore store(folder);
    QVERIFY(store.setPassword(QStringLiteral("chiaveprovvisa")));
    int kills = 0;
    for (int round = 0; round < rounds; ++round) {
        auto process = startDriver({QStringLiteral("passwordloop"), dir.path()});
        QVERIFY(process->waitForStarted());
        QTest::qSleep(5 + int(QRandomGenerator::global()->bounded(40)));
        process->kill();
        QVERIFY(process->waitForFinished());
        ++kills;
        int right = 0;
        for (const QString &password : {QStringLiteral("chiaveprovvisa"), loopPassword(0), loopPassword(1)})
            right += store.check(password) == PasswordStore::Check::Right;
        QCOMPARE(right, 1);
    }
    qInfo("password change kill loop: %d kills, one password always right", kills);
}

void TestStorageProcesses::failingDiskKeepsStoredCards()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("conservata");
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(card), 1);
        QCOMPARE(archive.append(card), 2);
    }
    // A file size limit makes the next append fail part way, as a full disk does.
    struct rlimit old;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 2 * TSchedaIndirizzo::RecordSize + 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    qint64 appended;
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        appended = archive.append(card);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QCOMPARE(appended, qint64(-1));
    AddressArchive archive(folder);
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), 2);
    TSchedaIndirizzo back;
    QVERIFY(archive.read(1, back) && back[TSchedaIndirizzo::Nome] == card[TSchedaIndirizzo::Nome]);
    QVERIFY(archive.read(2, back) && back[TSchedaIndirizzo::Nome] == card[TSchedaIndirizzo::Nome]);
    // Once there is room again, the append overwrites the piece the failure left.
    QCOMPARE(archive.append(card), 3);
}

void TestStorageProcesses::readersNeverSeeHalfAWrite()
{
    // A few seconds here; scripts/reliability.sh sets a longer run.
    const int milliseconds = qEnvironmentVariableIsSet("TAVOLUX_SOAK_MS") ? qEnvironmentVariableIntValue("TAVOLUX_SOAK_MS") : 3000;
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive cards(folder);
        LabelPageArchive pages(folder);
        QVERIFY(cards.open() && pages.open());
        for (int n = 0; n < 16; ++n) {
            TSchedaIndirizzo card;
            card[TSchedaIndirizzo::Nome] = QStringLiteral("start-%1").arg(n);
            for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
                card[f] = body(card[TSchedaIndirizzo::Nome]);
            QVERIFY(cards.append(card) > 0);
        }
        for (int n = 0; n < 4; ++n) {
            TPaginaEtichette page;
            page.values.fill(body(QStringLiteral("start-%1").arg(n)));
            page.name(1) = QStringLiteral("start-%1").arg(n);
            QVERIFY(pages.append(page) > 0);
        }
    }
    std::vector<std::unique_ptr<QProcess>> writers, readers;
    for (int n = 0; n < 2; ++n) {
        writers.push_back(startDriver({QStringLiteral("overwrite"), dir.path(), QStringLiteral("w%1").arg(n),
                                       QString::number(milliseconds)}));
        readers.push_back(startDriver({QStringLiteral("reader"), dir.path(), QString::number(milliseconds)}));
    }
    qint64 writes = 0, reads = 0, torn = 0;
    for (auto &process : writers) {
        QVERIFY(process->waitForFinished(milliseconds + 60000));
        QCOMPARE(process->exitCode(), 0);
        writes += process->readAllStandardOutput().trimmed().split(' ').value(1).toLongLong();
    }
    for (auto &process : readers) {
        QVERIFY(process->waitForFinished(milliseconds + 60000));
        QCOMPARE(process->exitCode(), 0);
        const QList<QByteArray> parts = process->readAllStandardOutput().trimmed().split(' ');
        QCOMPARE(parts.size(), 4);
        reads += parts.at(1).toLongLong();
        torn += parts.at(3).toLongLong();
    }
    qInfo("readers during overwrites: %lld writes, %lld records read, %lld torn", writes, reads, torn);
    QVERIFY(writes > 0);
    QVERIFY(reads > 0);
    QCOMPARE(torn, qint64(0));
}

void TestStorageProcesses::heldLockFailsInTime_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("overwrite a card") << "write";
    QTest::newRow("append a card") << "append";
    QTest::newRow("read a card") << "read";
}

void TestStorageProcesses::heldLockFailsInTime()
{
    QFETCH(QString, operation);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("prima");
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open() && archive.append(card) == 1);
    }
    // Another process holds the whole file for longer than the wait limit.
    auto holder = startDriver({QStringLiteral("hold"), dir.filePath(QStringLiteral("Archivio_Indirizzi.pro")),
                               QString::number(RecordFile::LockWaitMs + 4000)});
    QVERIFY(holder->waitForReadyRead(10000));
    QCOMPARE(holder->readAllStandardOutput().trimmed(), QByteArray("held"));

    QElapsedTimer timer;
    timer.start();
    bool ok;
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        TSchedaIndirizzo changed = card;
        changed[TSchedaIndirizzo::Nome] = QStringLiteral("dopo");
        if (operation == QLatin1String("write"))
            ok = archive.write(1, changed);
        else if (operation == QLatin1String("append"))
            ok = archive.append(changed) > 0;
        else
            ok = archive.read(1, changed);
    }
    const qint64 waited = timer.elapsed();
    QVERIFY(!ok);
    QVERIFY2(waited >= RecordFile::LockWaitMs - 100 && waited < RecordFile::LockWaitMs + 2000,
             qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
    holder->kill();
    QVERIFY(holder->waitForFinished());
    // Once the lock is gone the file is as it was and works again.
    AddressArchive archive(folder);
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), qint64(1));
    TSchedaIndirizzo back;
    QVERIFY(archive.read(1, back));
    QCOMPARE(back[TSchedaIndirizzo::Nome], QStringLiteral("prima"));
}

void TestStorageProcesses::millionCardsWithinAddressSpace_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("count"); // what the window tells for 1,000,000 cards
    // One card in a hundred has a name: the find dialog lists those, the
    // export grid has a row for every card.
    QTest::newRow("find dialog") << "find" << "lines 10000";
    QTest::newRow("export window") << "export" << "rows 1000000";
}

// The find dialog and the export window open on an archive of 1,000,000
// cards under a limit of address space 128 MB above what they take for
// 10,000: their buffers are sized from what the cards hold, not from room
// for the longest cards (2.25 GB for the grid, 335 MB for the list), which
// ran out of memory there.
void TestStorageProcesses::millionCardsWithinAddressSpace()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    QSKIP("a sanitizer's shadow memory does not fit an address space limit");
#endif
    QFETCH(QString, window);
    QFETCH(QString, count);
    // Sparse archives: only the named cards take room.
    const auto archive = [](const QString &folder, qint64 cards) {
        QFile file(QDir(folder).filePath(QStringLiteral("Archivio_Indirizzi.pro")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(cards * TSchedaIndirizzo::RecordSize));
        for (qint64 p = 0; p < cards; p += 100) {
            TSchedaIndirizzo card;
            card[TSchedaIndirizzo::Nome] = QStringLiteral("Cliente %1").arg(p + 1);
            card[TSchedaIndirizzo::Tipo] = QStringLiteral("Privato");
            card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via Roma %1").arg(p % 300);
            card[TSchedaIndirizzo::Note] = QStringLiteral("nota %1").arg(p);
            QVERIFY(file.seek(p * TSchedaIndirizzo::RecordSize));
            QCOMPARE(file.write(card.toRecord()), qint64(TSchedaIndirizzo::RecordSize));
        }
    };
    const auto run = [&window](const QString &folder, qint64 limitKb) {
        QProcess driver;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        driver.setProcessEnvironment(environment);
        const QString limit = limitKb > 0 ? QString::number(limitKb) : QStringLiteral("unlimited");
        driver.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(limit),
                                            QStringLiteral(WINDOW_DRIVER), window, folder});
        driver.waitForFinished(120000);
        const QString out = QString::fromLatin1(driver.readAllStandardOutput()).trimmed();
        return out.contains(QLatin1String("peak ")) ? out : out + QLatin1Char('\n') + QString::fromLatin1(driver.readAllStandardError());
    };
    // In memory where the system has a memory file system: reading its holes costs nothing.
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/tavolux-XXXXXX")
                                                                           : QDir::tempPath() + QStringLiteral("/tavolux-XXXXXX");
    QTemporaryDir small(base), large(base);
    QVERIFY(small.isValid() && large.isValid());
    archive(small.path(), 10000);
    archive(large.path(), 1000000);
    const QString smallOut = run(small.path(), 0);
    const qint64 smallPeak = smallOut.section(QStringLiteral("peak "), 1).trimmed().toLongLong();
    QVERIFY2(smallPeak > 0, qPrintable(smallOut));
    const qint64 limit = smallPeak + 128 * 1024;
    const QString largeOut = run(large.path(), limit);
    qInfo("%s: %lld kB for 10,000 cards, under %lld kB for 1,000,000: %s", qPrintable(window), smallPeak, limit,
          qPrintable(QString(largeOut).replace(QLatin1Char('\n'), QLatin1String(", "))));
    QVERIFY2(largeOut.startsWith(count + QLatin1Char('\n')), qPrintable(largeOut));
}

QTEST_GUILESS_MAIN(TestStorageProcesses)
#include "tst_storage_processes.moc"
