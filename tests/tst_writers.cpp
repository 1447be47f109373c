// Every writer of the program on a disk that is full for real, and past a file
// size limit: the action fails with its own message and the reason (the
// attachment copy silently), the file that was there stays whole, and nothing
// new is left behind. And every writer that replaces a whole file, in a folder
// where only that file may be written: it writes in place, and on a full disk
// it leaves the old file as it was.
#include "AsUser.h"
#include "FileSizeLimit.h"
#include "SmallDisk.h"
#include "access/Crypt.h"
#include "access/PasswordStore.h"
#include "access/TfrmCambiaPassword.h"
#include "addresses/TfrmAllegaCartella.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "printing/TfrmStampaBusta.h"
#include "reportui/PrintRecorder.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/ArchiveNotices.h"
#include "addresses/SpreadsheetWriter.h"
#include "platform/FileSave.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "workbook/WorkbookCheck.h"
#include "workbook/WorkbookWriter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace tavolux;

namespace {

const QString kFreeDisk = QStringLiteral("Liberare spazio sul disco e ripetere l'esportazione.");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pattern(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7 + i / 251);
    return bytes;
}

// Files anyone may change, and folders where nobody may add a file.
const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                    | QFile::ReadOther | QFile::WriteOther;
const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                    | QFile::ReadOther | QFile::ExeOther;

ino_t inodeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Sets the program folder and its attachments folder to `permissions`.
bool setFolders(const ProgramFolder &folder, QFile::Permissions permissions)
{
    return QFile::setPermissions(folder.path(), permissions)
           && QFile::setPermissions(folder.file(QStringLiteral("Documenti_Allegati")), permissions);
}

// What an action leaves that the tests check beside its files.
struct ActionResult {
    int printed = 0;      // jobs printed
    QString attachedName; // the name an attachment row shows
};

// Runs the action that writes `writer`'s file, as a user does it; its
// questions are answered from what the caller queued on its message recorder.
ActionResult act(const QString &writer, const ProgramFolder &folder, const QString &source)
{
    ActionResult result;
    if (writer == QLatin1String("cards")) {
        TfrmArchivio_Indirizzi window(folder);
        window.show();
        window.txtNome->setText(QStringLiteral("Bianchi"));
        window.cmdSalva->click();
    } else if (writer == QLatin1String("pages")) {
        TfrmArchivio_Etichette window(folder);
        window.show();
        window.txtNome_E(1)->setText(QStringLiteral("Nuova"));
        window.cmdSalva->click();
    } else if (writer == QLatin1String("settings")) {
        report::PrintRecorder printer;
        TfrmStampaBusta dialog(folder, [] { return QStringList{QStringLiteral("Via Roma 1")}; });
        dialog.show();
        dialog.btnTopPlus->click();
        dialog.btnStampa->click();
        result.printed = printer.count();
    } else if (writer == QLatin1String("store")) {
        TfrmCambiaPassword window(folder);
        window.show();
        window.txtPasswordOld->setText(QStringLiteral("chiaveprovvisa"));
        window.txtPasswordNew->setText(QStringLiteral("nuova"));
        window.txtConferma->setText(QStringLiteral("nuova"));
        window.cmdOK->click();
    } else if (writer == QLatin1String("export") || writer == QLatin1String("workbook")) {
        TfrmExpIndirizzi window(folder);
        window.show();
        (writer == QLatin1String("export") ? window.cmdEsporta : window.cmdEsportaXlsx)->click();
    } else {
        TfrmArchivio_Indirizzi window(folder);
        TfrmAllegaCartella dialog(window);
        ui::setFileChooserHandler([&](QWidget *, const QString &, const QString &) { return source; });
        dialog.btnSfoglia01->click();
        ui::setFileChooserHandler({});
        result.attachedName = dialog.txtFile01->text();
    }
    return result;
}

} // namespace

class TestWriters : public QObject
{
    Q_OBJECT
private slots:
    void writerKeepsOldFile_data();
    void writerKeepsOldFile();
    void lockedFolderWritesInPlace_data();
    void lockedFolderWritesInPlace();
    void lockedFolderOnFullDiskKeepsOldFile_data();
    void lockedFolderOnFullDiskKeepsOldFile();
};

void TestWriters::writerKeepsOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("file");  // relative to the program folder
    QTest::addColumn<bool>("limited");  // a file size limit instead of a full disk
    QTest::addColumn<int>("room");      // bytes left on the disk, 0: none; or the
                                        // limit, 0: one byte less than the old file
    QTest::newRow("address card") << "cards" << "Archivio_Indirizzi.pro" << false << 0;
    QTest::newRow("label page") << "pages" << "Archivio_Etichette.pro" << false << 0;
    QTest::newRow("label page, part of it fits") << "pages" << "Archivio_Etichette.pro" << false << 8192;
    QTest::newRow("envelope settings") << "settings" << "Impostazioni.ini" << false << 0;
    QTest::newRow("password store") << "store" << "unins000.dll" << false << 0;
    QTest::newRow("export") << "export" << "Archivio_Indirizzi.xls" << false << 0;
    QTest::newRow("export, part of it fits") << "export" << "Archivio_Indirizzi.xls" << false << 20480;
    QTest::newRow("workbook") << "workbook" << "Archivio_Indirizzi.xlsx" << false << 0;
    QTest::newRow("workbook, part of it fits") << "workbook" << "Archivio_Indirizzi.xlsx" << false << 4096;
    QTest::newRow("attachment overwritten") << "attachment" << "Documenti_Allegati/doc.bin" << false << 0;
    QTest::newRow("attachment overwritten, part of it fits") << "attachment" << "Documenti_Allegati/doc.bin" << false << 81920;
    QTest::newRow("attachment of a new name") << "attachment" << "Documenti_Allegati/nuovo.bin" << false << 40960;
    // The limit holds for every file of the process, the working files of
    // the workbook included, and needs no root.
    QTest::newRow("address card, size limit") << "cards" << "Archivio_Indirizzi.pro" << true << 0;
    QTest::newRow("label page, size limit") << "pages" << "Archivio_Etichette.pro" << true << 0;
    QTest::newRow("envelope settings, size limit") << "settings" << "Impostazioni.ini" << true << 0;
    QTest::newRow("password store, size limit") << "store" << "unins000.dll" << true << 16;
    QTest::newRow("export, size limit") << "export" << "Archivio_Indirizzi.xls" << true << 20480;
    QTest::newRow("workbook, size limit") << "workbook" << "Archivio_Indirizzi.xlsx" << true << 4096;
    QTest::newRow("attachment overwritten, size limit") << "attachment" << "Documenti_Allegati/doc.bin" << true << 0;
    QTest::newRow("attachment of a new name, size limit") << "attachment" << "Documenti_Allegati/nuovo.bin" << true << 40960;
}

void TestWriters::writerKeepsOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, file);
    QFETCH(bool, limited);
    QFETCH(int, room);
    std::optional<SmallDisk> disk;
    QTemporaryDir unlimited;
    if (!limited) {
        disk.emplace(1 << 20);
        if (!disk->mounted())
            QSKIP(SmallDisk::skipReason());
    }
    const QString root = limited ? unlimited.path() : disk->path();
    const ProgramFolder folder(root);
    const QString path = folder.file(file);
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QFileInfo(file).fileName());
    QVERIFY(writeFile(source, pattern(90000, 'n')));

    // What is there before the disk fills up.
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("Rossi");
    card[TSchedaIndirizzo::Note] = QString(200, u'n');
    if (writer == QLatin1String("cards")) {
        AddressArchive archive(folder);
        QVERIFY(archive.open() && archive.append(card) == 1 && archive.append(card) == 2);
    } else if (writer == QLatin1String("pages")) {
        TPaginaEtichette page;
        page.name(1) = QStringLiteral("Pagina");
        LabelPageArchive archive(folder);
        QVERIFY(archive.open() && archive.append(page) == 1);
    } else if (writer == QLatin1String("settings")) {
        QVERIFY(writeFile(path, "[Margini Busta]\r\nSuperiore=3\r\nSinistro=4\r\n[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
    } else if (writer == QLatin1String("store")) {
        QVERIFY(writeFile(path, "[Accesso]\r\nValore=" + Crypt::CifraPassword(QStringLiteral("CHIAVEPROVVISA")).toLatin1() + "\r\n"));
    } else if (writer == QLatin1String("export") || writer == QLatin1String("workbook")) {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        for (int n = 0; n < 60; ++n) {
            card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via %1").arg(n * 7919);
            QVERIFY(archive.append(card) > 0);
        }
        QVERIFY(writeFile(path, "vecchia esportazione"));
    } else {
        QVERIFY(QDir(root).mkdir(QStringLiteral("Documenti_Allegati")));
        if (!file.endsWith(QLatin1String("nuovo.bin")))
            QVERIFY(writeFile(path, pattern(50000, 'o')));
    }
    const QByteArray before = readFile(path);
    const auto entries = [&root](const QString &sub) {
        QStringList list = QDir(root + QLatin1Char('/') + sub)
                               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        list.removeAll(QStringLiteral(".riempitivo"));
        return list;
    };
    const QStringList entriesBefore = entries(QString());
    const QStringList attachments = entries(QStringLiteral("Documenti_Allegati"));
    if (!limited)
        QVERIFY(disk->leaveRoom(room));

    ui::MessageRecorder messages;
    const QString reason = limited ? QStringLiteral("Il file supera la dimensione massima che il sistema consente.")
                                   : QStringLiteral("Il disco è pieno.");
    QString expected;
    if (writer == QLatin1String("cards") || writer == QLatin1String("pages")) {
        expected = archivewindow::accessDeniedMessage();
    } else if (writer == QLatin1String("settings")) {
        expected = TfrmStampaBusta::failureMessage() + QStringLiteral("\n\r\n\r") + reason;
    } else if (writer == QLatin1String("store")) {
        expected = TfrmCambiaPassword::changeErrorMessage() + QStringLiteral("\r\n\r\n") + reason;
    } else if (writer == QLatin1String("export")) {
        messages.answerNext(ui::MessageAnswer::Yes);
        expected = TfrmExpIndirizzi::failureMessage() + QStringLiteral("\n\r\n\r") + reason;
    } else if (writer == QLatin1String("workbook")) {
        // Under a limit the working files of the library fail first, with
        // a reason of their own.
        expected = limited ? TfrmExpIndirizzi::workbookFailureMessage(
                                 QStringLiteral("Non è stato possibile scrivere per intero il file del foglio di "
                                                "calcolo: il disco potrebbe essere pieno."),
                                 kFreeDisk)
                           : TfrmExpIndirizzi::workbookFailureMessage(reason, kFreeDisk);
    } else {
        messages.answerNext(ui::MessageAnswer::Yes);
    }
    ActionResult result;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (limited)
            limit = std::make_unique<FileSizeLimit>(rlim_t(room > 0 ? room : before.size() - 1));
        result = act(writer, folder, source);
    }
    QCOMPARE(result.printed, 0);
    if (writer == QLatin1String("attachment"))
        QCOMPARE(result.attachedName, QFileInfo(file).fileName());

    if (expected.isEmpty()) {
        // The copy fails silently; only the overwrite question was asked.
        QCOMPARE(messages.count(), before == "<missing>" ? 0 : 1);
    } else {
        QVERIFY(messages.count() >= 1);
        QCOMPARE(messages.last().text, expected);
    }
    QVERIFY2(readFile(path) == before, qPrintable(QStringLiteral("%1 is now %2 bytes, was %3")
                                                      .arg(file).arg(QFileInfo(path).size()).arg(before.size())));
    QCOMPARE(entries(QString()), entriesBefore);
    QCOMPARE(entries(QStringLiteral("Documenti_Allegati")), attachments);
}

void TestWriters::lockedFolderWritesInPlace_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("file");
    QTest::newRow("envelope settings") << "settings" << "Impostazioni.ini";
    QTest::newRow("password store") << "store" << "unins000.dll";
    QTest::newRow("export") << "export" << "Archivio_Indirizzi.xls";
    QTest::newRow("workbook") << "workbook" << "Archivio_Indirizzi.xlsx";
    QTest::newRow("attachment") << "attachment" << "Documenti_Allegati/doc.bin";
}

void TestWriters::lockedFolderWritesInPlace()
{
    QFETCH(QString, writer);
    QFETCH(QString, file);
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                  | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    const QString program = dir.filePath(QStringLiteral("programma"));
    QVERIFY(QDir().mkpath(program + QStringLiteral("/Documenti_Allegati")));
    const ProgramFolder folder(program);
    const QString path = folder.file(file);
    // The files the action reads or writes may be changed by anyone...
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = QStringLiteral("Rossi");
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open() && archive.append(card) == 1);
    }
    QVERIFY(writeFile(path, writer == QLatin1String("store")
                                ? "[Accesso]\r\nValore=" + Crypt::CifraPassword(QStringLiteral("CHIAVEPROVVISA")).toLatin1() + "\r\n"
                                : QByteArray("[Margini Busta]\r\nSuperiore=3\r\n")));
    for (const QString &name : {file, QStringLiteral("Archivio_Indirizzi.pro")})
        QVERIFY(QFile::setPermissions(folder.file(name), everyone));
    QTemporaryDir elsewhere;
    QVERIFY(QFile::setPermissions(elsewhere.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                        | QFile::ReadOther | QFile::ExeOther));
    const QString source = elsewhere.filePath(QStringLiteral("doc.bin"));
    QVERIFY(writeFile(source, pattern(70000, 's')));
    QVERIFY(QFile::setPermissions(source, everyone));
    // ...but no new file can be made in the folders.
    QVERIFY(setFolders(folder, readOnly));
    const QStringList entries = QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const ino_t inode = inodeOf(path);
    QVERIFY(inode != 0);

    ui::MessageRecorder messages;
    QString expected;
    {
        AsNobody nobody;
        if (!nobody.active())
            QSKIP(AsNobody::skipReason());
        QVERIFY(!QFile(folder.file(QStringLiteral("prova"))).open(QIODevice::WriteOnly));
        if (writer == QLatin1String("store")) {
            expected = TfrmCambiaPassword::doneMessage();
        } else if (writer == QLatin1String("export")) {
            messages.answerNext(ui::MessageAnswer::Yes);
            messages.answerNext(ui::MessageAnswer::No);
            expected = TfrmExpIndirizzi::openQuestion();
        } else if (writer == QLatin1String("workbook")) {
            messages.answerNext(ui::MessageAnswer::No);
            expected = TfrmExpIndirizzi::openQuestion();
        } else if (writer == QLatin1String("attachment")) {
            messages.answerNext(ui::MessageAnswer::Yes);
        }
        const ActionResult result = act(writer, folder, source);
        QCOMPARE(result.printed, writer == QLatin1String("settings") ? 1 : 0);
    }
    QVERIFY(setFolders(folder, readOnly | QFile::WriteOwner));

    if (!expected.isEmpty())
        QCOMPARE(messages.last().text, expected);
    const QByteArray after = readFile(path);
    if (writer == QLatin1String("settings"))
        QCOMPARE(after, QByteArray("[Margini Busta]\r\nSuperiore=4\r\nSinistro=0\r\n\r\n[Stampa Busta]\r\nOrientamento=Verticale\r\n"));
    else if (writer == QLatin1String("store"))
        QCOMPARE(PasswordStore(folder).check(QStringLiteral("nuova")), PasswordStore::Check::Right);
    else if (writer == QLatin1String("export"))
        QVERIFY(after.startsWith("<html") && after.contains("Rossi") && after.endsWith("</html>"));
    else if (writer == QLatin1String("workbook"))
        QCOMPARE(checkWorkbook(path, 2), QString()); // the header and the one card
    else
        QVERIFY(after == pattern(70000, 's'));
    // The same file, written where it is; nothing else appeared.
    QCOMPARE(inodeOf(path), inode);
    QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), entries);
}

void TestWriters::lockedFolderOnFullDiskKeepsOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("room");     // bytes left on the disk, 0: none
    QTest::addColumn<bool>("reserve"); // room reserved where the file system can
    for (const bool reserve : {true, false}) {
        const char *how = reserve ? "" : ", unreserved";
        QTest::addRow("envelope settings%s", how) << "settings" << "Impostazioni.ini" << 0 << reserve;
        QTest::addRow("export%s", how) << "export" << "Archivio_Indirizzi.xls" << 0 << reserve;
        QTest::addRow("export, part of it fits%s", how) << "export" << "Archivio_Indirizzi.xls" << 20480 << reserve;
        QTest::addRow("workbook%s", how) << "workbook" << "Archivio_Indirizzi.xlsx" << 0 << reserve;
        QTest::addRow("workbook, part of it fits%s", how) << "workbook" << "Archivio_Indirizzi.xlsx" << 8192 << reserve;
        QTest::addRow("attachment%s", how) << "attachment" << "Documenti_Allegati/doc.bin" << 0 << reserve;
        QTest::addRow("attachment, part of it fits%s", how) << "attachment" << "Documenti_Allegati/doc.bin" << 20480
                                                           << reserve;
    }
}

void TestWriters::lockedFolderOnFullDiskKeepsOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, file);
    QFETCH(int, room);
    QFETCH(bool, reserve);
    SmallDisk disk(4 << 20);
    if (!disk.mounted())
        QSKIP(SmallDisk::skipReason());
    const QString program = disk.filePath(QStringLiteral("programma"));
    QVERIFY(QDir().mkpath(program + QStringLiteral("/Documenti_Allegati")));
    const ProgramFolder folder(program);
    const QString path = folder.file(file);

    // An old file that fills its last page of the disk nearly to the end, and
    // new content that needs more pages than the disk has left.
    TSchedaIndirizzo card;
    QList<QStringList> earlier;
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        for (int n = 0; n < 150; ++n) {
            card[TSchedaIndirizzo::Nome] = QStringLiteral("Cliente %1").arg(n);
            card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via %1").arg(n * 7919);
            // Text that does not compress, so that the workbook too is large.
            QByteArray noise(150, Qt::Uninitialized);
            QRandomGenerator(quint32(n)).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            card[TSchedaIndirizzo::Note] = QString::fromLatin1(noise.toBase64());
            QVERIFY(archive.append(card) > 0);
            if (n < 3)
                earlier << QStringList{card[TSchedaIndirizzo::Nome], QString(), card[TSchedaIndirizzo::Rigo01]};
        }
    }
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("doc.bin"));
    QVERIFY(writeFile(source, pattern(90000, 'n')));
    QVERIFY(QFile::setPermissions(elsewhere.path(), readOnly | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(source, everyone));
    if (writer == QLatin1String("settings")) {
        // No top margin yet: its line makes the file longer.
        QByteArray old = "[Margini Busta]\r\n\r\n[Note]\r\n";
        while (old.size() < 4096 - 8)
            old += "riga=" + QByteArray::number(old.size()) + "\r\n";
        QVERIFY(writeFile(path, old));
    } else if (writer == QLatin1String("export")) {
        QVERIFY(writeFile(path, writeSpreadsheet(earlier)));
    } else if (writer == QLatin1String("workbook")) {
        QTemporaryDir made;
        const QString workbook = made.filePath(QStringLiteral("prima.xlsx"));
        QVERIFY(writeWorkbook(workbook, QStringLiteral("Archivio Indirizzi"), {{QStringLiteral("Nome"), 100}}, earlier).ok);
        QVERIFY(writeFile(path, readFile(workbook)));
    } else {
        QVERIFY(writeFile(path, pattern(50000, 'o')));
    }
    for (const QString &name : {file, QStringLiteral("Archivio_Indirizzi.pro")})
        QVERIFY(QFile::setPermissions(folder.file(name), everyone));
    QVERIFY(setFolders(folder, readOnly));
    const QByteArray before = readFile(path);
    const QStringList entries = QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QStringList attachments = disk.entries(QStringLiteral("programma/Documenti_Allegati"));
    const ino_t inode = inodeOf(path);
    QVERIFY(inode != 0);
    QVERIFY(disk.leaveRoom(room));

    ui::MessageRecorder messages;
    QString expected;
    {
        AsNobody nobody;
        if (!nobody.active())
            QSKIP(AsNobody::skipReason());
        QVERIFY(!QFile(folder.file(QStringLiteral("prova"))).open(QIODevice::WriteOnly));
        if (writer == QLatin1String("settings")) {
            expected = TfrmStampaBusta::failureMessage() + QStringLiteral("\n\r\n\rIl disco è pieno.");
        } else if (writer == QLatin1String("export")) {
            messages.answerNext(ui::MessageAnswer::Yes);
            expected = TfrmExpIndirizzi::failureMessage() + QStringLiteral("\n\r\n\rIl disco è pieno.");
        } else if (writer == QLatin1String("workbook")) {
            expected = TfrmExpIndirizzi::workbookFailureMessage(QStringLiteral("Il disco è pieno."), kFreeDisk);
        } else {
            messages.answerNext(ui::MessageAnswer::Yes);
        }
        setRoomReservation(reserve);
        const ActionResult result = act(writer, folder, source);
        setRoomReservation(true);
        QCOMPARE(result.printed, 0);
        if (writer == QLatin1String("attachment"))
            QCOMPARE(result.attachedName, QFileInfo(file).fileName());
    }
    QVERIFY(setFolders(folder, readOnly | QFile::WriteOwner));

    if (expected.isEmpty())
        QCOMPARE(messages.count(), 1); // the overwrite question; the copy fails silently
    else
        QCOMPARE(messages.last().text, expected);
    QVERIFY2(readFile(path) == before, qPrintable(QStringLiteral("%1 is now %2 bytes, was %3")
                                                      .arg(file).arg(QFileInfo(path).size()).arg(before.size())));
    QCOMPARE(inodeOf(path), inode);
    QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), entries);
    QCOMPARE(disk.entries(QStringLiteral("programma/Documenti_Allegati")), attachments);
}

QTEST_MAIN(TestWriters)
#include "tst_writers.moc"
