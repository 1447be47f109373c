// A small driver of the storage module for the multi-process tests.
//   storage_driver append <folder> <writer> <count>
//       appends <count> tagged cards, one opening each
//   storage_driver soak <folder> <writer> <milliseconds>
//       mixes appends and in-place writes of its own records on both archives;
//       prints its ledger at the end: "A <position> <tag>" / "P <position> <tag>"
//   storage_driver appendloop <folder> <pages:0|1>
//       appends tagged records forever (killed by the test)
//   storage_driver iniloop <file>
//       rewrites one INI value forever (killed by the test)
//   storage_driver overwrite <folder> <writer> <milliseconds>
//       overwrites the existing cards and pages in place, at random, with
//       tagged records; prints "writes <n>"
//   storage_driver reader <folder> <milliseconds>
//       reads cards and pages one by one and in read-all passes; prints
//       "reads <records read> torn <records mixed from two writes>"
//   storage_driver exportloop <folder>
//       exports 3000 and 5000 rows in turn to Archivio_Indirizzi.xls, forever
//   storage_driver workbookloop <folder>
//       exports 3000 rows to Archivio_Indirizzi.xlsx, forever
//   storage_driver passwordloop <folder>
//       changes the password of unins000.dll in turn, forever
//   storage_driver hold <file> <milliseconds>
//       holds an exclusive lock on the whole file, prints "held", then waits
//   storage_driver import <folder> <file>
//       imports the CSV or vCard file into the address archive as the import
//       window does (the proposed mapping, with its journal); prints "done <first position>"
//   storage_driver saver <folder> <tag> <every ms> <milliseconds>
//       saves a card every so often, as the address window's Save does: a new
//       card <tag>-<n>, then the same card over itself, in turn; prints
//       "saves <n> failed <n> slowest <ms> appended <n>" (also when stopped by SIGTERM)
#include "DriverRows.h"
#include "access/PasswordStore.h"
#include "addresses/SpreadsheetFile.h"
#include "cardimport/ImportFile.h"
#include "platform/IniFile.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/Navigation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>

using namespace tavolux;

namespace {

// Every field of a record carries the tag, so a record mixed from two writers shows.
QString body(const QString &tag)
{
    return (tag + QLatin1Char(' ')).repeated(250 / (tag.size() + 1)).trimmed();
}

TSchedaIndirizzo taggedCard(const QString &tag)
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = tag;
    for (int f = 1; f < TSchedaIndirizzo::FieldCount; ++f)
        card[f] = body(tag);
    return card;
}

TPaginaEtichette taggedPage(const QString &tag)
{
    TPaginaEtichette page;
    page.values.fill(body(tag));
    page.name(1) = tag;
    return page;
}

int append(const ProgramFolder &folder, const QString &writer, int count)
{
    for (int seq = 0; seq < count; ++seq) {
        AddressArchive archive(folder);
        if (!archive.open() || archive.append(taggedCard(writer + QLatin1Char('-') + QString::number(seq))) < 1)
            return 1;
    }
    return 0;
}

int soak(const ProgramFolder &folder, const QString &writer, int milliseconds)
{
    QHash<qint64, QString> cards, pages;
    QString why;
    QRandomGenerator random(qHash(writer));
    QElapsedTimer timer;
    timer.start();
    int version = 0;
    while (timer.elapsed() < milliseconds) {
        const QString tag = writer + QLatin1Char('-') + QString::number(version++);
        const bool onPages = random.bounded(4) == 0;
        QHash<qint64, QString> &ledger = onPages ? pages : cards;
        const bool rewrite = !ledger.isEmpty() && random.bounded(2) == 0;
        qint64 position = -1;
        if (rewrite)
            position = ledger.keys().at(int(random.bounded(int(ledger.size()))));
        bool ok;
        if (onPages) {
            LabelPageArchive archive(folder);
            ok = archive.open() && (rewrite ? archive.write(position, taggedPage(tag))
                                            : (position = archive.append(taggedPage(tag))) > 0);
            why = archive.errorString();
        } else {
            AddressArchive archive(folder);
            ok = archive.open() && (rewrite ? archive.write(position, taggedCard(tag))
                                            : (position = archive.append(taggedCard(tag))) > 0);
            why = archive.errorString();
        }
        if (!ok) {
            std::fprintf(stderr, "soak %s: %s of %s %lld failed after %lld ms: %s\n", qPrintable(writer),
                         rewrite ? "write" : "append", onPages ? "page" : "card", position, timer.elapsed(),
                         qPrintable(why));
            return 1;
        }
        ledger.insert(position, tag);
    }
    for (auto it = cards.cbegin(); it != cards.cend(); ++it)
        std::printf("A %lld %s\n", it.key(), qPrintable(it.value()));
    for (auto it = pages.cbegin(); it != pages.cend(); ++it)
        std::printf("P %lld %s\n", it.key(), qPrintable(it.value()));
    return 0;
}

int appendLoop(const ProgramFolder &folder, bool onPages)
{
    for (qint64 seq = 0;; ++seq) {
        const QString tag = QStringLiteral("k-") + QString::number(seq);
        if (onPages) {
            LabelPageArchive archive(folder);
            if (!archive.open() || archive.append(taggedPage(tag)) < 1)
                return 1;
        } else {
            AddressArchive archive(folder);
            if (!archive.open() || archive.append(taggedCard(tag)) < 1)
                return 1;
        }
    }
}

int iniLoop(const QString &path)
{
    IniFile ini(path);
    for (qint64 seq = 0;; ++seq)
        if (!ini.writeString(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                             QStringLiteral("v%1-").arg(seq) + QString(200, QLatin1Char('x'))))
            return 1;
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

int overwrite(const ProgramFolder &folder, const QString &writer, int milliseconds)
{
    QRandomGenerator random(qHash(writer) ^ quint32(QCoreApplication::applicationPid()));
    QElapsedTimer timer;
    timer.start();
    qint64 writes = 0;
    while (timer.elapsed() < milliseconds) {
        const QString tag = writer + QLatin1Char('-') + QString::number(writes);
        bool ok;
        if (random.bounded(3) == 0) {
            LabelPageArchive archive(folder);
            const qint64 count = archive.open() ? archive.count() : -1;
            ok = count > 0 && archive.write(1 + random.bounded(count), taggedPage(tag));
        } else {
            AddressArchive archive(folder);
            const qint64 count = archive.open() ? archive.count() : -1;
            ok = count > 0 && archive.write(1 + random.bounded(count), taggedCard(tag));
        }
        if (!ok)
            return 1;
        ++writes;
    }
    std::printf("writes %lld\n", writes);
    return 0;
}

int reader(const ProgramFolder &folder, int milliseconds)
{
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    QElapsedTimer timer;
    timer.start();
    qint64 reads = 0, torn = 0;
    while (timer.elapsed() < milliseconds) {
        const int what = int(random.bounded(8));
        bool ok = true;
        if (what == 0) {
            AddressArchive archive(folder);
            ok = archive.open() && archive.readAll([&](qint64, const TSchedaIndirizzo &card) {
                ++reads;
                torn += !wholeCard(card);
                return true;
            });
        } else if (what == 1) {
            LabelPageArchive archive(folder);
            ok = archive.open() && archive.readAll([&](qint64, const TPaginaEtichette &page) {
                ++reads;
                torn += !wholePage(page);
                return true;
            });
        } else if (what < 4) {
            LabelPageArchive archive(folder);
            TPaginaEtichette page;
            const qint64 count = archive.open() ? archive.count() : -1;
            ok = count > 0 && archive.read(1 + random.bounded(count), page);
            ++reads;
            torn += ok && !wholePage(page);
        } else {
            AddressArchive archive(folder);
            TSchedaIndirizzo card;
            const qint64 count = archive.open() ? archive.count() : -1;
            ok = count > 0 && archive.read(1 + random.bounded(count), card);
            ++reads;
            torn += ok && !wholeCard(card);
        }
        if (!ok)
            return 1;
    }
    std::printf("reads %lld torn %lld\n", reads, torn);
    return 0;
}

int exportLoop(const ProgramFolder &folder)
{
    const QList<QStringList> rows[2] = {exportRows(3000, QStringLiteral("B")), exportRows(5000, QStringLiteral("C"))};
    for (qint64 seq = 0;; ++seq)
        if (!saveSpreadsheet(folder.file(QStringLiteral("Archivio_Indirizzi.xls")), rows[seq % 2]))
            return 1;
}

int workbookLoop(const ProgramFolder &folder)
{
    const WorkbookSheet sheet = exportSheet(exportRows(3000, QStringLiteral("W")));
    for (;;)
        if (!saveWorkbook(folder.file(QStringLiteral("Archivio_Indirizzi.xlsx")), sheet).ok)
            return 1;
}

int passwordLoop(const ProgramFolder &folder)
{
    PasswordStore store(folder);
    for (qint64 seq = 0;; ++seq)
        if (!store.setPassword(loopPassword(seq)))
            return 1;
}

int hold(const QString &path, int milliseconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return 1;
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    if (::fcntl(file.handle(), F_SETLKW, &fl) != 0)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    QThread::msleep(milliseconds);
    return 0;
}

int import(const ProgramFolder &folder, const QString &path)
{
    ImportTable table;
    if (importfile::load(path, table))
        return 1;
    const ImportPlan plan = importfile::plan(table, table.proposed);
    const ImportJob job = importfile::job(table, table.proposed, 0, QFileInfo(path).fileName());
    const AppendResult result = importfile::appendPlanned(folder, plan, {}, &job);
    if (result.status != AppendResult::Status::Done) {
        std::fprintf(stderr, "import: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("done %lld\n", result.firstPosition);
    return 0;
}

volatile std::sig_atomic_t stopSaving = 0;

int saver(const ProgramFolder &folder, const QString &tag, int every, int milliseconds)
{
    std::signal(SIGTERM, [](int) { stopSaving = 1; });
    QElapsedTimer timer;
    timer.start();
    qint64 saves = 0, failed = 0, slowest = 0, appended = 0;
    QString position;
    TSchedaIndirizzo card;
    while (timer.elapsed() < milliseconds && !stopSaving) {
        const qint64 due = saves * every;
        if (timer.elapsed() < due)
            QThread::msleep(quint64(due - timer.elapsed()));
        if (position.isEmpty())
            card = taggedCard(tag + QLatin1Char('-') + QString::number(appended));
        QElapsedTimer took;
        took.start();
        AddressArchive archive(folder);
        const qint64 p = archive.open() ? saveRecord(archive, position, card) : -1;
        archive.close();
        slowest = qMax(slowest, took.elapsed());
        ++saves;
        if (p < 1) {
            ++failed;
            std::fprintf(stderr, "save %lld failed after %lld ms: %s\n", saves, took.elapsed(),
                         qPrintable(archive.errorString()));
            continue;
        }
        if (position.isEmpty()) {
            ++appended;
            position = QString::number(p);
        } else {
            position.clear();
        }
    }
    std::printf("saves %lld failed %lld slowest %lld appended %lld\n", saves, failed, slowest, appended);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const char *mode = argv[1];
    const QString target = QString::fromLocal8Bit(argv[2]);
    if (!std::strcmp(mode, "append") && argc == 5)
        return append(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    if (!std::strcmp(mode, "soak") && argc == 5)
        return soak(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    if (!std::strcmp(mode, "appendloop") && argc == 4)
        return appendLoop(ProgramFolder(target), std::atoi(argv[3]) != 0);
    if (!std::strcmp(mode, "iniloop"))
        return iniLoop(target);
    if (!std::strcmp(mode, "overwrite") && argc == 5)
        return overwrite(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    if (!std::strcmp(mode, "reader") && argc == 4)
        return reader(ProgramFolder(target), std::atoi(argv[3]));
    if (!std::strcmp(mode, "exportloop"))
        return exportLoop(ProgramFolder(target));
    if (!std::strcmp(mode, "workbookloop"))
        return workbookLoop(ProgramFolder(target));
    if (!std::strcmp(mode, "passwordloop"))
        return passwordLoop(ProgramFolder(target));
    if (!std::strcmp(mode, "hold") && argc == 4)
        return hold(target, std::atoi(argv[3]));
    if (!std::strcmp(mode, "import") && argc == 4)
        return import(ProgramFolder(target), QString::fromLocal8Bit(argv[3]));
    if (!std::strcmp(mode, "saver") && argc == 6)
        return saver(ProgramFolder(target), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
    return 2;
}
