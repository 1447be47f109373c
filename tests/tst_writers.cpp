// Every writer of the program on a disk that is full for real: the action
// fails with its own message (the attachment copy silently), the file that was
// there stays whole, and nothing new is left behind. And every writer that
// replaces a whole file, in a folder where only that file may be written.
#include "AsUser.h"
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
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "workbook/WorkbookCheck.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

using namespace tavolux;

namespace {

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
};

void TestWriters::writerKeepsOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("file");  // relative to the program folder
    QTest::addColumn<int>("room");      // bytes left on the disk, 0: none
    QTest::newRow("address card") << "cards" << "Archivio_Indirizzi.pro" << 0;
    QTest::newRow("label page") << "pages" << "Archivio_Etichette.pro" << 0;
    QTest::newRow("label page, part of it fits") << "pages" << "Archivio_Etichette.pro" << 8192;
    QTest::newRow("envelope settings") << "settings" << "Impostazioni.ini" << 0;
    QTest::newRow("password store") << "store" << "unins000.dll" << 0;
    QTest::newRow("export") << "export" << "Archivio_Indirizzi.xls" << 0;
    QTest::newRow("export, part of it fits") << "export" << "Archivio_Indirizzi.xls" << 20480;
    QTest::newRow("workbook") << "workbook" << "Archivio_Indirizzi.xlsx" << 0;
    QTest::newRow("workbook, part of it fits") << "workbook" << "Archivio_Indirizzi.xlsx" << 4096;
    QTest::newRow("attachment overwritten") << "attachment" << "Documenti_Allegati/doc.bin" << 0;
    QTest::newRow("attachment overwritten, part of it fits") << "attachment" << "Documenti_Allegati/doc.bin" << 81920;
    QTest::newRow("attachment of a new name") << "attachment" << "Documenti_Allegati/nuovo.bin" << 40960;
}

void TestWriters::writerKeepsOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, file);
    QFETCH(int, room);
    SmallDisk disk(1 << 20);
    if (!disk.mounted())
        QSKIP(SmallDisk::skipReason());
    const ProgramFolder folder(disk.path());
    const QString path = disk.filePath(file);
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
        QVERIFY(QDir(disk.path()).mkdir(QStringLiteral("Documenti_Allegati")));
        if (!file.endsWith(QLatin1String("nuovo.bin")))
            QVERIFY(writeFile(path, pattern(50000, 'o')));
    }
    const QByteArray before = readFile(path);
    const QStringList entries = disk.entries();
    const QStringList attachments = disk.entries(QStringLiteral("Documenti_Allegati"));
    QVERIFY(disk.leaveRoom(room));

    ui::MessageRecorder messages;
    QString expected;
    if (writer == QLatin1String("cards") || writer == QLatin1String("pages")) {
        expected = archivewindow::accessDeniedMessage();
    } else if (writer == QLatin1String("settings")) {
        expected = TfrmStampaBusta::failureMessage();
    } else if (writer == QLatin1String("store")) {
        expected = TfrmCambiaPassword::changeErrorMessage();
    } else if (writer == QLatin1String("export")) {
        messages.answerNext(ui::MessageAnswer::Yes);
        expected = TfrmExpIndirizzi::failureMessage();
    } else if (writer == QLatin1String("workbook")) {
        // A disk with no room refuses the first write; one with a little
        // room takes part of it first.
        expected = TfrmExpIndirizzi::failureMessage() + QStringLiteral("\n\r\n\r")
                   + (room == 0 ? QStringLiteral("Il disco è pieno.")
                                : QStringLiteral("Il file non si è potuto scrivere per intero: il disco potrebbe essere pieno."));
    } else {
        messages.answerNext(ui::MessageAnswer::Yes);
    }
    const ActionResult result = act(writer, folder, source);
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
    QCOMPARE(disk.entries(), entries);
    QCOMPARE(disk.entries(QStringLiteral("Documenti_Allegati")), attachments);
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
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup
                                        | QFile::ReadOther | QFile::WriteOther;
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
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                        | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(program, readOnly));
    QVERIFY(QFile::setPermissions(folder.file(QStringLiteral("Documenti_Allegati")), readOnly));
    const QStringList entries = QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    const ino_t inode = st.st_ino;

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
    QVERIFY(QFile::setPermissions(program, readOnly | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(folder.file(QStringLiteral("Documenti_Allegati")), readOnly | QFile::WriteOwner));

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
    struct stat now;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &now), 0);
    QCOMPARE(now.st_ino, inode);
    QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), entries);
}

QTEST_MAIN(TestWriters)
#include "tst_writers.moc"
