#include "AsUser.h"
#include "FileSizeLimit.h"
#include "platform/Conventions.h"
#include "platform/Cp1252.h"
#include "platform/FileSave.h"
#include "platform/ScratchFolder.h"
#include "platform/IniFile.h"
#include "platform/TextUtil.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavolux;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void cp1252Decode_data();
    void cp1252Decode();
    void cp1252RoundTripsEveryByte();
    void cp1252Encode_data();
    void cp1252Encode();
    void trim_data();
    void trim();
    void conventionsIgnoreSystemLocale();
    void iniReadsWithProfileSemantics();
    void iniWriteKeepsOtherLines();
    void iniWriteFailureKeepsOldFile();
    void iniFullDiskKeepsOldFile_data();
    void iniFullDiskKeepsOldFile();
    void saveInPlace_data();
    void saveInPlace();
    void scratchFolderRemovesOnlyAbandonedOnes();
    void iniQuotedValues_data();
    void iniQuotedValues();
    void iniByteOrderMark_data();
    void iniByteOrderMark();
    void iniOddFilesAreDamaged_data();
    void iniOddFilesAreDamaged();
};

void TestPlatform::cp1252Decode_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("ascii") << 0x41 << 0x41;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("right quote") << 0x92 << 0x2019;
    QTest::newRow("Y diaeresis") << 0x9F << 0x178;
    QTest::newRow("nbsp") << 0xA0 << 0xA0;
    QTest::newRow("e grave") << 0xE8 << 0xE8;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
}

void TestPlatform::cp1252Decode()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const QString text = cp1252::decode(QByteArray(1, char(byte)));
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), unicode);
}

void TestPlatform::cp1252RoundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = cp1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(cp1252::encode(text), all);
}

void TestPlatform::cp1252Encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("accents") << QStringLiteral("àèéìòù") << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9");
    QTest::newRow("en dash and euro") << QStringLiteral("a–b €") << QByteArray("a\x96" "b \x80");
    QTest::newRow("greek") << QStringLiteral("αβ") << QByteArray("??");
    QTest::newRow("emoji is one char") << QStringLiteral("x\U0001F600y") << QByteArray("x?y");
}

void TestPlatform::cp1252Encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp1252::encode(text), bytes);
}

void TestPlatform::trim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("blanks") << QStringLiteral("  a b  ") << QStringLiteral("a b");
    QTest::newRow("controls") << QStringLiteral("\t\r\n\x01" "a\x1f") << QStringLiteral("a");
    QTest::newRow("nbsp kept") << QStringLiteral("\u00a0a\u00a0") << QStringLiteral("\u00a0a\u00a0");
    QTest::newRow("only blanks") << QStringLiteral(" \t ") << QString();
    QTest::newRow("inner kept") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
}

void TestPlatform::trim()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(trimText(text), trimmed);
}

void TestPlatform::conventionsIgnoreSystemLocale()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    conventions::apply();
    bool ok = false;
    QCOMPARE(conventions::toNumber(QStringLiteral("2,5"), &ok), 2.5);
    QVERIFY(ok);
    QCOMPARE(QLocale().toDouble(QStringLiteral("2,5")), 2.5);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    conventions::toNumber(QStringLiteral("2.5"), &ok);
    QVERIFY(!ok);
    QCOMPARE(conventions::fromNumber(-3.25), QStringLiteral("-3,25"));
    QCOMPARE(conventions::shortDate(QDate(2026, 3, 7)), QStringLiteral("07/03/2026"));
    // Every conversion through the process's locale uses the same short date.
    const QLocale process;
    QCOMPARE(process.dateFormat(QLocale::ShortFormat), QStringLiteral("dd/MM/yyyy"));
    QCOMPARE(process.toString(QDate(2024, 3, 5), QLocale::ShortFormat), QStringLiteral("05/03/2024"));
    QCOMPARE(process.toDate(QStringLiteral("05/03/2024"), QLocale::ShortFormat), QDate(2024, 3, 5));
    QCOMPARE(process.monthName(3), QStringLiteral("marzo"));
    QCOMPARE(process.toString(1234.5), QStringLiteral("1234,5"));
    // Counts in the program's texts are grouped in thousands, whatever the locale.
    QCOMPARE(conventions::formatCount(7), QStringLiteral("7"));
    QCOMPARE(conventions::formatCount(32767), QStringLiteral("32.767"));
    QCOMPARE(conventions::formatCount(100000), QStringLiteral("100.000"));
    QCOMPARE(conventions::formatCount(-1234567), QStringLiteral("-1.234.567"));
}

void TestPlatform::iniReadsWithProfileSemantics()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    IniFile ini(path);
    QCOMPARE(ini.readString(QStringLiteral("A"), QStringLiteral("k")), QString()); // no file
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Margini Busta]\r\nSinistro = 2,5 \r\n[Altro]\r\nSinistro=9\r\nDescr=caff\xE8\r\n");
    file.close();
    QCOMPARE(ini.readString(QStringLiteral("margini busta"), QStringLiteral("SINISTRO")), QStringLiteral("2,5"));
    QCOMPARE(ini.readString(QStringLiteral("Altro"), QStringLiteral("Descr")), QStringLiteral("caffè"));
    QCOMPARE(ini.readString(QStringLiteral("Altro"), QStringLiteral("Manca")), QString());
}

void TestPlatform::iniWriteKeepsOtherLines()
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("x.ini")));
    QVERIFY(ini.writeString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1")));
    QVERIFY(ini.writeString(QStringLiteral("T"), QStringLiteral("b"), QStringLiteral("2")));
    QVERIFY(ini.writeString(QStringLiteral("S"), QStringLiteral("c"), QStringLiteral("3")));
    QVERIFY(ini.writeString(QStringLiteral("s"), QStringLiteral("A"), QStringLiteral("4")));
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("a")), QStringLiteral("4"));
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("c")), QStringLiteral("3"));
    QCOMPARE(ini.readString(QStringLiteral("T"), QStringLiteral("b")), QStringLiteral("2"));
    QFile file(ini.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[S]\r\nA=4\r\nc=3\r\n\r\n[T]\r\nb=2\r\n"));
}

void TestPlatform::iniWriteFailureKeepsOldFile()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // A path that runs through a regular file cannot be written, even as root.
    IniFile ini(dir.filePath(QStringLiteral("file/x.ini")));
    QVERIFY(!ini.writeString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1")));
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("a")), QString());
}

void TestPlatform::iniFullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("room");
    QTest::newRow("nothing written") << 0;
    QTest::newRow("cut short") << 6;
}

void TestPlatform::iniFullDiskKeepsOldFile()
{
    QFETCH(int, room);
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("x.ini")));
    QVERIFY(ini.writeString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1")));
    {
        // The new file cannot be written: the old one must stay, whole.
        FileSizeLimit full{rlim_t(room)};
        QVERIFY(!ini.writeString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2")));
    }
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("a")), QStringLiteral("1"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("x.ini")});
}

namespace {

QByteArray numbered(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i % 251);
    return bytes;
}

} // namespace

void TestPlatform::saveInPlace_data()
{
    QTest::addColumn<int>("oldSize");
    QTest::addColumn<int>("newSize");
    QTest::addColumn<bool>("sizeKnown");
    QTest::addColumn<bool>("reserve");
    QTest::addColumn<int>("limit"); // file size limit, 0: none
    for (const bool reserve : {true, false}) {
        const char *how = reserve ? "reserved" : "unreserved";
        QTest::addRow("grows, %s", how) << 5000 << 70000 << true << reserve << 0;
        QTest::addRow("grows, size counted, %s", how) << 5000 << 70000 << false << reserve << 0;
        QTest::addRow("shrinks, %s", how) << 70000 << 5000 << true << reserve << 0;
        QTest::addRow("same size, %s", how) << 4096 << 4096 << true << reserve << 0;
        QTest::addRow("from empty, %s", how) << 0 << 3000 << false << reserve << 0;
        QTest::addRow("to empty, %s", how) << 3000 << 0 << true << reserve << 0;
        QTest::addRow("past the size limit, %s", how) << 5000 << 70000 << true << reserve << 40000;
        QTest::addRow("shrinks past the size limit, %s", how) << 70000 << 50000 << false << reserve << 40000;
    }
}

void TestPlatform::saveInPlace()
{
    QFETCH(int, oldSize);
    QFETCH(int, newSize);
    QFETCH(bool, sizeKnown);
    QFETCH(bool, reserve);
    QFETCH(int, limit);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dati.bin"));
    const QByteArray old = numbered(oldSize, 'o');
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    // Anyone may change the file, nobody may add one to the folder.
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    struct stat before;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);

    // Handed out in pieces of odd sizes, and the same each time it is asked.
    const QByteArray bytes = numbered(newSize, 'n');
    int runs = 0;
    FileContent content;
    content.size = sizeKnown ? newSize : -1;
    content.write = [&](const ByteSink &sink) {
        ++runs;
        for (qsizetype at = 0; at < bytes.size(); at += 1237)
            if (!sink(bytes.constData() + at, qMin<qsizetype>(1237, bytes.size() - at)))
                return false;
        return true;
    };
    FileSaveResult saved;
    {
        AsNobody nobody;
        if (!nobody.active())
            QSKIP(AsNobody::skipReason());
        QVERIFY(!QFile(dir.filePath(QStringLiteral("prova"))).open(QIODevice::WriteOnly));
        setRoomReservation(reserve);
        std::unique_ptr<FileSizeLimit> limited;
        if (limit > 0)
            limited = std::make_unique<FileSizeLimit>(rlim_t(limit));
        saved = saveFile(path, content);
        setRoomReservation(true);
    }
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    if (limit > 0) {
        // Nothing written: the old bytes stay, up to the last.
        QCOMPARE(saved.failure, FileSaveResult::Failure::TooLarge);
        QCOMPARE(saved.reason(), QStringLiteral("Il file supera la dimensione massima che il sistema consente."));
        QVERIFY(file.readAll() == old);
    } else {
        QVERIFY(saved.ok());
        QVERIFY(file.readAll() == bytes);
    }
    QVERIFY(runs <= 3);
    struct stat after;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("dati.bin")});
}

void TestPlatform::scratchFolderRemovesOnlyAbandonedOnes()
{
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QDir dir(temp.path());
    // What a killed copy left: a folder of the name, with a file, that nobody holds.
    QVERIFY(dir.mkpath(QStringLiteral("tavolux-prova-AbC123/dentro")));
    QFile left(temp.filePath(QStringLiteral("tavolux-prova-AbC123/dentro/foglio.xlsx")));
    QVERIFY(left.open(QIODevice::WriteOnly) && left.write(QByteArray(100000, 'x')) == 100000);
    left.close();
    // Not of this prefix, a link that only looks like one, and one of another user.
    QVERIFY(dir.mkdir(QStringLiteral("tavolux-altro-AbC123")));
    QVERIFY(dir.mkdir(QStringLiteral("bersaglio")));
    QVERIFY(QFile::link(temp.filePath(QStringLiteral("bersaglio")), temp.filePath(QStringLiteral("tavolux-prova-Link00"))));
    QVERIFY(dir.mkdir(QStringLiteral("tavolux-prova-Altrui")));
    const passwd *nobody = ::getpwnam("nobody");
    const bool otherUser = ::geteuid() == 0 && nobody
                           && ::chown(QFile::encodeName(temp.filePath(QStringLiteral("tavolux-prova-Altrui"))).constData(),
                                      nobody->pw_uid, nobody->pw_gid) == 0;
    if (!otherUser)
        QVERIFY(dir.rmdir(QStringLiteral("tavolux-prova-Altrui")));

    QString firstPath;
    {
        const ScratchFolder first(QStringLiteral("tavolux-prova"));
        QVERIFY(first.isValid());
        firstPath = first.path();
        QVERIFY(firstPath.startsWith(temp.path() + QStringLiteral("/tavolux-prova-")));
        QVERIFY(!dir.exists(QStringLiteral("tavolux-prova-AbC123")));
        QFile work(first.filePath(QStringLiteral("lavoro")));
        QVERIFY(work.open(QIODevice::WriteOnly));
        // A second one, while the first is alive, leaves it alone.
        const ScratchFolder second(QStringLiteral("tavolux-prova"));
        QVERIFY(second.isValid() && second.path() != firstPath);
        QVERIFY(QFileInfo::exists(first.filePath(QStringLiteral("lavoro"))));
    }
    QVERIFY(!QFileInfo::exists(firstPath));
    QStringList expected{QStringLiteral("bersaglio"), QStringLiteral("tavolux-altro-AbC123"),
                         QStringLiteral("tavolux-prova-Link00")};
    if (otherUser)
        expected << QStringLiteral("tavolux-prova-Altrui");
    expected.sort();
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System), expected);
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
}

void TestPlatform::iniQuotedValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("double quotes") << QByteArray("k=\"5D0A\"") << QStringLiteral("5D0A");
    QTest::newRow("single quotes") << QByteArray("k='5D0A'") << QStringLiteral("5D0A");
    QTest::newRow("blanks outside") << QByteArray("k =  \"12\"  ") << QStringLiteral("12");
    QTest::newRow("blanks inside kept") << QByteArray("k=\" a b \"") << QStringLiteral(" a b ");
    QTest::newRow("empty quotes") << QByteArray("k=\"\"") << QString();
    QTest::newRow("one quote alone") << QByteArray("k=\"") << QStringLiteral("\"");
    QTest::newRow("opening quote only") << QByteArray("k=\"12") << QStringLiteral("\"12");
    QTest::newRow("quotes that do not match") << QByteArray("k=\"12'") << QStringLiteral("\"12'");
    QTest::newRow("quotes inside") << QByteArray("k=a\"b\"c") << QStringLiteral("a\"b\"c");
    QTest::newRow("quoted twice") << QByteArray("k=\"\"x\"\"") << QStringLiteral("\"x\"");
}

void TestPlatform::iniQuotedValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    QCOMPARE(IniFile::valueIn("[S]\r\n" + line + "\r\n", QStringLiteral("S"), QStringLiteral("k")), value);
}

void TestPlatform::iniByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("before");   // the value read before the write
    QTest::addColumn<QByteArray>("after"); // the file after writing Valore=AB
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("mark before the first section")
        << bom + "[Accesso]\r\nValore=5D\r\n" << QStringLiteral("5D") << bom + "[Accesso]\r\nValore=AB\r\n";
    QTest::newRow("mark, LF line ends, other lines")
        << bom + "[Accesso]\nValore=5D\nData=oggi\n[Altro]\nValore=1\n" << QStringLiteral("5D")
        << bom + "[Accesso]\r\nValore=AB\r\nData=oggi\r\n[Altro]\r\nValore=1\r\n";
    QTest::newRow("mark and UTF-8 text kept as it was")
        << bom + "; caff\xC3\xA8\r\n[Accesso]\r\nValore=\"5D\"\r\n" << QStringLiteral("5D")
        << bom + "; caff\xC3\xA8\r\n[Accesso]\r\nValore=AB\r\n";
    QTest::newRow("mark alone") << bom << QString() << bom + "[Accesso]\r\nValore=AB\r\n";
    QTest::newRow("no mark, Windows-1252 kept")
        << QByteArray("; caff\xE8\r\n[Accesso]\r\nValore=5D\r\n") << QStringLiteral("5D")
        << QByteArray("; caff\xE8\r\n[Accesso]\r\nValore=AB\r\n");
}

void TestPlatform::iniByteOrderMark()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unins000.dll"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    IniFile ini(path);
    QCOMPARE(ini.readString(QStringLiteral("Accesso"), QStringLiteral("Valore")), before);
    QVERIFY(ini.writeString(QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("AB")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QCOMPARE(ini.readString(QStringLiteral("accesso"), QStringLiteral("valore")), QStringLiteral("AB"));
}

void TestPlatform::iniOddFilesAreDamaged_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("folder") << "folder";
    QTest::newRow("larger than a megabyte") << "large";
}

void TestPlatform::iniOddFilesAreDamaged()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Impostazioni.ini"));
    const QByteArray name = QFile::encodeName(path);
    QByteArray large;
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == QLatin1String("zero")) {
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Impostazioni.ini")));
    } else {
        large = "[Margini Busta]\r\nSuperiore=3\r\n;" + QByteArray(IniFile::MaxSize, 'x') + "\r\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(large), large.size());
    }
    struct stat before;
    QCOMPARE(::lstat(name.constData(), &before), 0);

    QElapsedTimer timer;
    timer.start();
    IniFile ini(path);
    bool damaged = false;
    QCOMPARE(ini.readString(QStringLiteral("Margini Busta"), QStringLiteral("Superiore"), &damaged), QString());
    QVERIFY(damaged);
    QByteArray content = "x";
    QCOMPARE(IniFile::load(path, &content), IniFile::Load::Damaged);
    QVERIFY(content.isEmpty());
    // Nothing replaces what is there: its other lines could not be kept.
    QVERIFY(!ini.writeString(QStringLiteral("Margini Busta"), QStringLiteral("Superiore"), QStringLiteral("1")));
    QVERIFY2(timer.elapsed() < 2000, "reading an odd file waited");
    struct stat after;
    QCOMPARE(::lstat(name.constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("Impostazioni.ini")});
    if (!large.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == large);
    }
    // A missing file is no damage.
    bool missingDamaged = true;
    QCOMPARE(IniFile(dir.filePath(QStringLiteral("manca.ini"))).readString(QStringLiteral("S"), QStringLiteral("k"), &missingDamaged),
             QString());
    QVERIFY(!missingDamaged);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
