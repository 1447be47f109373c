#include "TestFiles.h"
#include "storage/AddressArchive.h"
#include "storage/InParts.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/Navigation.h"
#include "storage/TCampo250.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QDir>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace tavolux;

namespace {

TSchedaIndirizzo card(const QString &name)
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = name;
    c[TSchedaIndirizzo::Rigo01] = name + QStringLiteral(" riga");
    return c;
}

} // namespace

class TestStorage : public QObject
{
    Q_OBJECT
private slots:
    void navigation_data();
    void navigation();
    void fieldEncoding_data();
    void fieldEncoding();
    void fieldIgnoresLeftoversAfterLength();
    void damagedLengthByteStopsAtField();
    void cardFieldOffsets_data();
    void cardFieldOffsets();
    void pageFieldOffsets_data();
    void pageFieldOffsets();
    void missingFileIsCreatedEmpty();
    void copiesCreatingTogetherAllOpen();
    void appendToEmptyAndWriteInPlace();
    void trailingPieceIsNotCountedAndAppendOverwritesIt();
    void labelPagesShareTheRules();
    void readAllStopsAtLastWholeRecord();
    void readInParts_data();
    void readInParts();
    void readInPartsGrowsFromWhatItReads_data();
    void readInPartsGrowsFromWhatItReads();
    void readInPartsStopsWhenAVisitorThrows_data();
    void readInPartsStopsWhenAVisitorThrows();
    void openFailsWithoutReplacingAnything();
};

void TestStorage::fieldEncoding_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("readBack");
    const QString long300 = QString(300, QLatin1Char('x'));
    QTest::newRow("plain") << QStringLiteral("Roma") << QByteArray("Roma") << QStringLiteral("Roma");
    QTest::newRow("trimmed") << QStringLiteral("  \tVia Po 3 \r\n") << QByteArray("Via Po 3") << QStringLiteral("Via Po 3");
    QTest::newRow("accents and en dash") << QStringLiteral("Città – è") << QByteArray("Citt\xE0 \x96 \xE8")
                                         << QStringLiteral("Città – è");
    QTest::newRow("300 characters") << long300 << QByteArray(250, 'x') << QString(250, QLatin1Char('x'));
    QTest::newRow("unrepresentable") << QStringLiteral("Ωmega") << QByteArray("?mega") << QStringLiteral("?mega");
    QTest::newRow("empty") << QString() << QByteArray() << QString();
    // The cut at 250 bytes may leave a trailing blank, which reading trims.
    QTest::newRow("cut then trimmed") << (QString(249, QLatin1Char('a')) + QStringLiteral(" bcd"))
                                      << (QByteArray(249, 'a') + ' ') << QString(249, QLatin1Char('a'));
}

void TestStorage::fieldEncoding()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, stored);
    QFETCH(QString, readBack);
    QByteArray field(TCampo250::Size, '\x55');
    TCampo250::encode(value, field.data());
    QCOMPARE(int(static_cast<unsigned char>(field[0])), int(stored.size()));
    QCOMPARE(field.mid(1, stored.size()), stored);
    QCOMPARE(TCampo250::decode(field.constData()), readBack);
}

void TestStorage::fieldIgnoresLeftoversAfterLength()
{
    QByteArray field(TCampo250::Size, 'Z');
    field[0] = char(3);
    field.replace(1, 3, "Bar");
    QCOMPARE(TCampo250::decode(field.constData()), QStringLiteral("Bar"));
}

void TestStorage::damagedLengthByteStopsAtField()
{
    // Two fields side by side: a length of 255 must not reach into the next one.
    QByteArray two(2 * TCampo250::Size, 'a');
    two[0] = char(255);
    two[TCampo250::Size] = char(4);
    two.replace(TCampo250::Size + 1, 4, "NEXT");
    const QString first = TCampo250::decode(two.constData());
    QCOMPARE(first, QString(250, QLatin1Char('a')));
    QCOMPARE(TCampo250::decode(two.constData() + TCampo250::Size), QStringLiteral("NEXT"));
}

void TestStorage::cardFieldOffsets_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("offset");
    QTest::newRow("Nome") << int(TSchedaIndirizzo::Nome) << 0;
    QTest::newRow("Tipo") << int(TSchedaIndirizzo::Tipo) << 251;
    QTest::newRow("Rigo01") << int(TSchedaIndirizzo::Rigo01) << 502;
    QTest::newRow("Rigo06") << int(TSchedaIndirizzo::Rigo06) << 1757;
    QTest::newRow("Note") << int(TSchedaIndirizzo::Note) << 2008;
    QTest::newRow("File01") << int(TSchedaIndirizzo::File01) << 2259;
    QTest::newRow("File03") << int(TSchedaIndirizzo::File03) << 2761;
    QTest::newRow("Desc01") << int(TSchedaIndirizzo::Desc01) << 3012;
    QTest::newRow("Desc03") << int(TSchedaIndirizzo::Desc03) << 3514;
}

void TestStorage::cardFieldOffsets()
{
    QFETCH(int, field);
    QFETCH(int, offset);
    TSchedaIndirizzo c;
    c[field] = QStringLiteral("MARK");
    const QByteArray record = c.toRecord();
    QCOMPARE(record.size(), 3765);
    QCOMPARE(record.mid(offset, 5), QByteArray("\x04MARK"));
    // Every other field is empty.
    for (int i = 0; i < TSchedaIndirizzo::FieldCount; ++i)
        if (i != field)
            QCOMPARE(int(record.at(i * 251)), 0);
    QCOMPARE(TSchedaIndirizzo::fromRecord(record.constData())[field], QStringLiteral("MARK"));
}

void TestStorage::pageFieldOffsets_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("line"); // 0: the name
    QTest::addColumn<int>("offset");
    QTest::newRow("name 1") << 1 << 0 << 0;
    QTest::newRow("name 2") << 2 << 0 << 251;
    QTest::newRow("name 24") << 24 << 0 << 23 * 251;
    QTest::newRow("line 1 of 1") << 1 << 1 << 6024;
    QTest::newRow("line 1 of 2") << 2 << 1 << 7530;
    QTest::newRow("line 6 of 24") << 24 << 6 << 42168 - 251;
}

void TestStorage::pageFieldOffsets()
{
    QFETCH(int, slot);
    QFETCH(int, line);
    QFETCH(int, offset);
    TPaginaEtichette page;
    (line == 0 ? page.name(slot) : page.line(slot, line)) = QStringLiteral("MARK");
    const QByteArray record = page.toRecord();
    QCOMPARE(record.size(), 42168);
    QCOMPARE(record.mid(offset, 5), QByteArray("\x04MARK"));
    int filled = 0;
    for (int i = 0; i < TPaginaEtichette::FieldCount; ++i)
        filled += record.at(i * 251) != 0;
    QCOMPARE(filled, 1);
    const TPaginaEtichette back = TPaginaEtichette::fromRecord(record.constData());
    QCOMPARE(line == 0 ? back.name(slot) : back.line(slot, line), QStringLiteral("MARK"));
}

void TestStorage::missingFileIsCreatedEmpty()
{
    QTemporaryDir dir;
    AddressArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), 0);
    archive.close();
    const QFileInfo info(dir.filePath(QStringLiteral("Archivio_Indirizzi.pro")));
    QVERIFY(info.exists());
    QCOMPARE(info.size(), 0);
}

void TestStorage::copiesCreatingTogetherAllOpen()
{
    // Several copies open a missing archive at the same moment: one creates
    // it, and every other one opens the file it made.
    QTemporaryDir dir;
    constexpr int kCopies = 4;
    constexpr int kRounds = 100;
    std::atomic<int> failed{0};
    for (int round = 0; round < kRounds; ++round) {
        const ProgramFolder folder(dir.filePath(QString::number(round)));
        QVERIFY(QDir().mkpath(folder.path()));
        std::atomic<int> waiting{kCopies};
        std::vector<std::thread> copies;
        for (int c = 0; c < kCopies; ++c)
            copies.emplace_back([&] {
                AddressArchive archive(folder);
                --waiting;
                while (waiting.load() > 0)
                    std::this_thread::yield();
                failed += archive.open() ? 0 : 1;
            });
        for (std::thread &copy : copies)
            copy.join();
    }
    QCOMPARE(failed.load(), 0);
}

void TestStorage::appendToEmptyAndWriteInPlace()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QString path = dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(card(QStringLiteral("uno"))), 1);
        QCOMPARE(QFileInfo(path).size(), 3765);
        QCOMPARE(archive.append(card(QStringLiteral("due"))), 2);
        QCOMPARE(archive.append(card(QStringLiteral("tre"))), 3);
    }
    const QByteArray before = fileBytes(path);
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QVERIFY(archive.write(2, card(QStringLiteral("DUE nuova"))));
        TSchedaIndirizzo back;
        QVERIFY(archive.read(2, back));
        QCOMPARE(back[TSchedaIndirizzo::Nome], QStringLiteral("DUE nuova"));
        QCOMPARE(back[TSchedaIndirizzo::Rigo01], QStringLiteral("DUE nuova riga"));
    }
    const QByteArray after = fileBytes(path);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(3765), before.left(3765));
    QCOMPARE(after.mid(2 * 3765), before.mid(2 * 3765));
    QVERIFY(after.mid(3765, 3765) != before.mid(3765, 3765));
}

void TestStorage::trailingPieceIsNotCountedAndAppendOverwritesIt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    QByteArray bytes;
    for (const char *name : {"a", "b", "c"})
        bytes += card(QLatin1String(name)).toRecord();
    writeBytes(path, bytes + QByteArray(100, '\x7f'));
    AddressArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), 3);
    QCOMPARE(archive.append(card(QStringLiteral("d"))), 4);
    archive.close();
    QCOMPARE(QFileInfo(path).size(), 4 * 3765);
    QCOMPARE(fileBytes(path).mid(3 * 3765), card(QStringLiteral("d")).toRecord());
}

void TestStorage::labelPagesShareTheRules()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Archivio_Etichette.pro"));
    TPaginaEtichette page;
    page.name(1) = QStringLiteral("  Primo  ");
    page.line(24, 6) = QString(300, QLatin1Char('y'));
    writeBytes(path, page.toRecord() + page.toRecord() + page.toRecord() + QByteArray(100, 'x'));
    LabelPageArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), 3);
    page.name(1) = QStringLiteral("Quarto");
    QCOMPARE(archive.append(page), 4);
    TPaginaEtichette back;
    QVERIFY(archive.read(1, back));
    QCOMPARE(back.name(1), QStringLiteral("Primo"));
    QCOMPARE(back.line(24, 6), QString(250, QLatin1Char('y')));
    QVERIFY(archive.read(4, back));
    QCOMPARE(back.name(1), QStringLiteral("Quarto"));
    archive.close();
    QCOMPARE(QFileInfo(path).size(), 4 * 42168);
}

void TestStorage::readAllStopsAtLastWholeRecord()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    QByteArray bytes;
    for (int i = 1; i <= 5; ++i)
        bytes += card(QString::number(i)).toRecord();
    writeBytes(path, bytes + QByteArray(3000, '\x03'));
    AddressArchive archive{ProgramFolder(dir.path())};
    QVERIFY(archive.open());
    QStringList seen;
    QVERIFY(archive.readAll([&](qint64 p, const TSchedaIndirizzo &c) {
        seen << QString::number(p) + QLatin1Char('=') + c[TSchedaIndirizzo::Nome];
        return true;
    }));
    QCOMPARE(seen, QStringList({"1=1", "2=2", "3=3", "4=4", "5=5"}));
}

void TestStorage::readInParts_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("parts");
    QTest::newRow("two halves") << 7 << qint64(7) << 2;
    QTest::newRow("one part") << 5 << qint64(5) << 1;
    QTest::newRow("more parts than records") << 2 << qint64(2) << 4;
    QTest::newRow("file shorter than asked") << 5 << qint64(8) << 2;
    QTest::newRow("file longer than asked") << 9 << qint64(6) << 3;
    QTest::newRow("empty") << 0 << qint64(0) << 2;
}

namespace {

// Record i's name: `i` written `repeat(i)` times.
QString partName(int i, int repeat)
{
    return QString::number(i).repeated(qMax(1, repeat)).left(250);
}

// An archive of `records` cards named by partName, and a trailing piece.
void writeNamedArchive(const QString &folder, int records, const std::function<int(int)> &repeat)
{
    QByteArray bytes;
    for (int i = 1; i <= records; ++i)
        bytes += card(partName(i, repeat(i))).toRecord();
    writeBytes(QDir(folder).filePath(QStringLiteral("Archivio_Indirizzi.pro")), bytes + QByteArray(100, '\x03'));
}

// Reads the names into one buffer, each as its length byte's text.
PartedBuffer readNames(const QString &folder, qint64 total, int parts,
                       const std::function<void(int part, qint64 position)> &seen = {})
{
    AddressArchive archive{ProgramFolder(folder)};
    if (!archive.open())
        return {};
    return archive.readIntoBuffer(
        total, [](const char *record) { return qint64(static_cast<unsigned char>(record[0])); },
        [&seen](int part, qint64 position, const char *record, char *out, qint64) {
            if (seen)
                seen(part, position);
            const int length = static_cast<unsigned char>(record[0]);
            std::memcpy(out, record + 1, size_t(length));
            return qint64(length);
        },
        parts);
}

QByteArray namesOf(int from, int to, const std::function<int(int)> &repeat)
{
    QByteArray names;
    for (int i = from; i <= to; ++i)
        names += partName(i, repeat(i)).toLatin1();
    return names;
}

} // namespace

// Every record asked for and present is visited once, by the part that
// holds it, in turn within its part; a trailing piece is never a record.
// The parts' bytes follow one another in one buffer.
void TestStorage::readInParts()
{
    QFETCH(int, records);
    QFETCH(qint64, total);
    QFETCH(int, parts);
    QTemporaryDir dir;
    const auto once = [](int) { return 1; };
    writeNamedArchive(dir.path(), records, once);
    std::vector<std::vector<qint64>> seen(static_cast<size_t>(parts));
    const PartedBuffer read = readNames(dir.path(), total, parts, [&](int part, qint64 position) {
        seen[size_t(part)].push_back(position);
    });
    QVERIFY(read.ok);
    const qint64 present = qMin<qint64>(total, records);
    for (int part = 0; part < parts; ++part) {
        std::vector<qint64> expected;
        for (qint64 p = inparts::partStart(total, parts, part) + 1;
             p <= qMin(inparts::partStart(total, parts, part + 1), present); ++p)
            expected.push_back(p);
        QCOMPARE(seen[size_t(part)], expected);
    }
    QCOMPARE(inparts::partStart(total, parts, parts), total);
    QCOMPARE(read.read, present);
    QCOMPARE(read.bytes, namesOf(1, int(present), once));
    for (size_t part = 0; part < read.starts.size(); ++part) {
        const qint64 first = inparts::partStart(total, parts, int(part));
        QCOMPARE(read.starts[part], qint64(namesOf(1, int(first), once).size()));
        QCOMPARE(read.records[part], qMax<qint64>(0, qMin(inparts::partStart(total, parts, int(part) + 1), present) - first));
    }
}

void TestStorage::readInPartsGrowsFromWhatItReads_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<int>("longFrom"); // records from this one on are long
    QTest::newRow("one part, long at the end") << 1 << 2500;
    QTest::newRow("two parts, the first long at its end") << 2 << 1200;
    QTest::newRow("two parts, long from the second on") << 2 << 1500;
    QTest::newRow("three parts, long at the end") << 3 << 2800;
}

// Short names first and long ones later: each part's stretch, sized from the
// records it has read so far, grows and the ones after it move, and the
// buffer ends as long as the names, whatever the room of the longest.
void TestStorage::readInPartsGrowsFromWhatItReads()
{
    QFETCH(int, parts);
    QFETCH(int, longFrom);
    QTemporaryDir dir;
    const int records = 3000;
    const auto repeat = [longFrom](int i) { return i >= longFrom ? 60 : 1; };
    writeNamedArchive(dir.path(), records, repeat);
    const PartedBuffer read = readNames(dir.path(), records, parts);
    QVERIFY(read.ok);
    QCOMPARE(read.read, qint64(records));
    QCOMPARE(read.bytes, namesOf(1, records, repeat));
    QCOMPARE(read.bytes.capacity(), read.bytes.size());
}

void TestStorage::readInPartsStopsWhenAVisitorThrows_data()
{
    QTest::addColumn<int>("thrower"); // the record whose visit throws
    QTest::newRow("the first part's first record") << 1;
    QTest::newRow("the first part, later") << 700;
    QTest::newRow("the second part's first record") << 1501;
    QTest::newRow("the second part, later") << 2600;
}

// An exception in one part while the other runs ends neither the program nor
// the read of the other part abruptly: it comes back as a failure, with the
// records read whole without a gap from the first.
void TestStorage::readInPartsStopsWhenAVisitorThrows()
{
    QFETCH(int, thrower);
    QTemporaryDir dir;
    const int records = 3000;
    const auto once = [](int) { return 1; };
    writeNamedArchive(dir.path(), records, once);
    const PartedBuffer read = readNames(dir.path(), records, 2, [thrower](int, qint64 position) {
        if (position == thrower)
            throw std::runtime_error("visitor failed");
    });
    QVERIFY(!read.ok);
    QCOMPARE(read.error, QStringLiteral("visitor failed"));
    QVERIFY(read.read < thrower);
    QCOMPARE(read.bytes, namesOf(1, int(read.read), once));
}

void TestStorage::openFailsWithoutReplacingAnything()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("file")), "not a folder");
    // The program folder runs through a regular file: neither open nor create works.
    AddressArchive blocked{ProgramFolder(dir.filePath(QStringLiteral("file")))};
    QVERIFY(!blocked.open());
    QCOMPARE(blocked.count(), -1);
    TSchedaIndirizzo c;
    QVERIFY(!blocked.read(1, c));
    QCOMPARE(blocked.append(card(QStringLiteral("x"))), -1);
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("file"))), QByteArray("not a folder"));

    // The archive path is a folder: it exists, cannot be opened, is not replaced.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Archivio_Indirizzi.pro")));
    AddressArchive folderInTheWay{ProgramFolder(dir.path())};
    QVERIFY(!folderInTheWay.open());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"))).isDir());
}

void TestStorage::navigation_data()
{
    using B = NavigationButton;
    using A = NavigationStep::Action;
    QTest::addColumn<int>("button");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("position"); // the trimmed position label
    QTest::addColumn<int>("action");
    QTest::addColumn<qint64>("load");
    QTest::addColumn<bool>("clearPosition");
    const auto row = [](const char *name, B b, qint64 count, const char *pos, A a, qint64 load = 0, bool clear = false) {
        QTest::newRow(name) << int(b) << count << QString::fromLatin1(pos) << int(a) << load << clear;
    };
    // An empty archive: every button says so; Next also empties the label;
    // Previous on "1" stays silent, as it does on any archive.
    row("first, empty", B::First, 0, "", A::EmptyArchive);
    row("last, empty", B::Last, 0, "3", A::EmptyArchive);
    row("next, empty", B::Next, 0, "", A::EmptyArchive, 0, true);
    row("next on 2, empty", B::Next, 0, "2", A::EmptyArchive, 0, true);
    row("previous, empty", B::Previous, 0, "", A::EmptyArchive);
    row("previous on 1, empty", B::Previous, 0, "1", A::Stay);
    // A new record (empty label): Next and Previous both show record 1.
    row("first, new", B::First, 3, "", A::Load, 1);
    row("last, new", B::Last, 3, "", A::Load, 3);
    row("next, new", B::Next, 3, "", A::Load, 1);
    row("previous, new", B::Previous, 3, "", A::Load, 1);
    // A stored record: the two ends stay put.
    row("next in the middle", B::Next, 3, "2", A::Load, 3);
    row("next at the end", B::Next, 3, "3", A::Stay);
    row("next past the end", B::Next, 3, "7", A::Stay);
    row("previous in the middle", B::Previous, 3, "3", A::Load, 2);
    row("previous at the start", B::Previous, 3, "1", A::Stay);
    row("last from the start", B::Last, 40, "1", A::Load, 40);
    row("first from the end", B::First, 40, "40", A::Load, 1);
    // A label that holds no position is a failure of the step.
    row("next on text", B::Next, 3, "x", A::Invalid);
    row("previous on zero", B::Previous, 3, "0", A::Invalid);
    row("last on a negative", B::Last, 3, "-2", A::Invalid);
}

void TestStorage::navigation()
{
    QFETCH(int, button);
    QFETCH(qint64, count);
    QFETCH(QString, position);
    QFETCH(int, action);
    QFETCH(qint64, load);
    QFETCH(bool, clearPosition);
    const NavigationStep step = navigationStep(NavigationButton(button), count, position);
    QCOMPARE(int(step.action), action);
    if (step.action == NavigationStep::Action::Load)
        QCOMPARE(step.position, load);
    QCOMPARE(step.clearPosition, clearPosition);
}

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
