// Damaged archives: every window that reads them shows what it can or its own
// message, never crashes, and never writes what it was not asked to.
#include "cardlist/CardListModel.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/ExportGridModel.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "mailing/MailingListModel.h"
#include "mailing/TfrmStampaSchede.h"
#include "ui/PictureButton.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"
#include "archivewindow/ArchiveNotices.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Another copy holding the whole archive locked, and reads that wait for it
// only briefly; both end with the object.
struct HeldArchive
{
    explicit HeldArchive(const QString &path)
    {
        RecordFile::setLockWait(300);
        holder.start(QStringLiteral(STORAGE_DRIVER), {QStringLiteral("hold"), path, QStringLiteral("60000")});
        held = holder.waitForReadyRead(10000);
    }
    ~HeldArchive()
    {
        release();
        RecordFile::setLockWait(0);
        ui::setMessageHandler({});
    }
    void release()
    {
        holder.kill();
        holder.waitForFinished();
    }
    QProcess holder;
    bool held = false;
};

} // namespace

class TestDamaged : public QObject
{
    Q_OBJECT
private slots:
    void readersSurviveDamage_data();
    void readersSurviveDamage();
    void readersSayTheArchiveIsBusy_data();
    void readersSayTheArchiveIsBusy();
    void busyBoxAnswers_data();
    void busyBoxAnswers();
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

void TestDamaged::readersSayTheArchiveIsBusy_data()
{
    QTest::addColumn<QString>("reader");
    QTest::newRow("export window") << "export";
    QTest::newRow("find list") << "find";
    QTest::newRow("label window's import list") << "import";
    QTest::newRow("mailing list") << "mailing";
}

void TestDamaged::readersSayTheArchiveIsBusy()
{
    QFETCH(QString, reader);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        for (const char *name : {"Rossi", "Bianchi", "Verdi"}) {
            TSchedaIndirizzo card;
            card[TSchedaIndirizzo::Nome] = QString::fromLatin1(name);
            QVERIFY(archive.append(card) > 0);
        }
    }
    const QStringList files{QStringLiteral("Archivio_Indirizzi.pro"), TfrmExpIndirizzi::fileName(),
                            TfrmExpIndirizzi::workbookFileName()};
    writeFile(folder.file(files[1]), "earlier export");
    writeFile(folder.file(files[2]), "earlier workbook");
    QList<QByteArray> before;
    for (const QString &name : files)
        before << readFile(folder.file(name));

    HeldArchive held(folder.file(files[0]));
    QVERIFY(held.held);
    // Annulla while `retry` is false; otherwise the other copy lets go and Riprova.
    QList<ui::MessageRecorder::Entry> shown;
    bool retry = false;
    ui::setMessageHandler([&](QWidget *, ui::MessageKind kind, const QString &text, ui::MessageButtons buttons) {
        shown.append({kind, text, buttons});
        if (buttons != ui::MessageButtons::RetryCancel)
            return ui::MessageAnswer::Ok;
        if (!retry)
            return ui::MessageAnswer::Cancel;
        held.release();
        return ui::MessageAnswer::Retry;
    });

    TfrmArchivio_Indirizzi addresses(folder);
    TfrmArchivio_Etichette labels(folder);
    // Opens the reader's window and gives how many cards it shows.
    auto cardsShown = [&](auto &&act) -> int {
        if (reader == QLatin1String("export")) {
            TfrmExpIndirizzi window(folder);
            window.show();
            act(window);
            int numbered = 0;
            for (int row = 0; row < window.model()->rowCount(); ++row)
                numbered += window.model()->text(row, 0).isEmpty() ? 0 : 1;
            return numbered;
        }
        std::unique_ptr<QDialog> window;
        if (reader == QLatin1String("find"))
            window = std::make_unique<TfrmTrovaIndirizzi>(addresses);
        else if (reader == QLatin1String("import"))
            window = std::make_unique<TfrmImportaIndirizzi>(labels);
        else
            window = std::make_unique<TfrmStampaSchede>(folder);
        window->show();
        if (auto *list = qobject_cast<CardListDialog *>(window.get()))
            return list->model()->rowCount();
        return static_cast<TfrmStampaSchede *>(window.get())->model()->rowCount();
    };
    auto isBusy = [](const ui::MessageRecorder::Entry &entry) {
        return entry.text == archivewindow::busyMessage() && entry.kind == ui::MessageKind::Warning
               && entry.buttons == ui::MessageButtons::RetryCancel;
    };

    // Annulla: nothing read is shown; the export buttons write nothing.
    const int cancelled = cardsShown([](TfrmExpIndirizzi &window) {
        window.cmdEsporta->click();
        window.cmdEsportaXlsx->click();
    });
    QCOMPARE(cancelled, 0);
    QCOMPARE(shown.size(), reader == QLatin1String("export") ? 3 : 1);
    for (const auto &entry : shown)
        QVERIFY2(isBusy(entry), qPrintable(entry.text));
    for (int f = 0; f < files.size(); ++f)
        QCOMPARE(readFile(folder.file(files[f])), before[f]);

    // Riprova once the other copy has let go: the cards are there.
    shown.clear();
    retry = true;
    QCOMPARE(cardsShown([](TfrmExpIndirizzi &) {}), 3);
    QCOMPARE(shown.size(), 1);
    QVERIFY(isBusy(shown[0]));
    for (int f = 0; f < files.size(); ++f)
        QCOMPARE(readFile(folder.file(files[f])), before[f]);
}

void TestDamaged::busyBoxAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("retried");
    QTest::newRow("Riprova") << "retry" << true;
    QTest::newRow("Annulla") << "cancel" << false;
}

void TestDamaged::busyBoxAnswers()
{
    QFETCH(QString, button);
    QFETCH(bool, retried);
    QString caption;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        caption = box->findChild<QPushButton *>(button)->text();
        QCOMPARE(box->findChild<QPushButton *>(QStringLiteral("retry"))->text(), QStringLiteral("Riprova"));
        QCOMPARE(box->findChild<QPushButton *>(QStringLiteral("cancel"))->text(), QStringLiteral("Annulla"));
        box->findChild<QPushButton *>(button)->click();
    });
    QCOMPARE(archivewindow::askRetryBusy(nullptr), retried);
    QVERIFY(!caption.isEmpty());
}

QTEST_MAIN(TestDamaged)
#include "tst_damaged.moc"
