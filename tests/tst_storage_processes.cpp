#include "storage/AddressArchive.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace tavolux;

class TestStorageProcesses : public QObject
{
    Q_OBJECT
private slots:
    void concurrentAppendsLoseNothing();
};

void TestStorageProcesses::concurrentAppendsLoseNothing()
{
    const int writers = 4;
    const int perWriter = 250;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int w = 0; w < writers; ++w) {
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(ARCHIVE_WRITER),
                       {dir.path(), QStringLiteral("w%1").arg(w), QString::number(perWriter)});
        QVERIFY(process->waitForStarted());
        processes.push_back(std::move(process));
    }
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitCode(), 0);
    }

    AddressArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), qint64(writers * perWriter));
    QSet<QString> seen;
    QVERIFY(archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
        const QString tag = card[TSchedaIndirizzo::Nome];
        const QString body = (tag + QLatin1Char(' ')).repeated(250 / (tag.size() + 1)).trimmed();
        for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
            if (card[f] != body)
                return false;
        seen.insert(tag);
        return true;
    }));
    QCOMPARE(seen.size(), writers * perWriter);
    for (int w = 0; w < writers; ++w)
        for (int s = 0; s < perWriter; ++s)
            QVERIFY(seen.contains(QStringLiteral("w%1-%2").arg(w).arg(s)));
}

QTEST_GUILESS_MAIN(TestStorageProcesses)
#include "tst_storage_processes.moc"
