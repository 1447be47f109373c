// Importing CSV and vCard files into the address archive: the address books'
// files read into the archive, a large file, the batch append under one lock,
// and the import dialog. The readers are tested on their own in tst_cardimport.
#include "DrawnInk.h"
#include "AsUser.h"
#include "FileSizeLimit.h"
#include "ImportFiles.h"
#include "SmallDisk.h"
#include "TestFiles.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "archivewindow/ArchiveNotices.h"
#include "cardimport/CardAppender.h"
#include "cardimport/CsvReader.h"
#include "cardimport/ImportFile.h"
#include "cardimport/ImportJournal.h"
#include "cardimport/VCardReader.h"
#include "printing/LineFit.h"
#include "storage/AddressArchive.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tavolux;

namespace {

// Appends existingCard() `times` times to the folder's address archive.
bool putExistingCards(const ProgramFolder &folder, int times = 1)
{
    AddressArchive archive(folder);
    if (!archive.open())
        return false;
    for (int i = 1; i <= times; ++i)
        if (archive.append(existingCard()) != i)
            return false;
    return true;
}

} // namespace

class TestAddressImport : public QObject
{
    Q_OBJECT
private slots:
    void addressBooks_data();
    void addressBooks();
    void hundredThousandRows();
    void batchAppendKeepsFileWhenStopped_data();
    void batchAppendKeepsFileWhenStopped();
    void batchAppendOnFullDiskWritesNothing();
    void anotherCopySavesBetweenBatches();
    void stoppedImportKeepsOtherCopiesCards_data();
    void stoppedImportKeepsOtherCopiesCards();
    void journalTellsWhatWentIn_data();
    void journalTellsWhatWentIn();
    void killedImportGoesOnFromFirstRowNotImported();
    void dialogGoesOnWhereImportStopped_data();
    void dialogGoesOnWhereImportStopped();

    void windowHasImportButton();
    void dialogMapsAndImports();
    void dialogSummaryAndResult_data();
    void dialogSummaryAndResult();
    void dialogCardPreview();
    void dialogEncodingChange();
    void dialogShowsRowsReadOtherWay();
    void dialogWarnsOfLostCharacters_data();
    void dialogWarnsOfLostCharacters();
    void dialogCancelWritesNothing();
    void dialogWriteFailureGivesReason_data();
    void dialogWriteFailureGivesReason();
    void dialogDamagedFileMessage_data();
    void dialogDamagedFileMessage();
    void dialogEscapeCloses();
    void dialogHeaderRowChoice();
    void dialogKeyboardAndNames();
};

// ---------------------------------------------------------------- readers

void TestAddressImport::addressBooks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("otherWay");
    QTest::addColumn<QString>("groups");

    QTest::newRow("Google Contacts") << "google.csv" << int(TextEncoding::Utf8)
            << QStringList{"Giulia Ferri||Giulia Ferri|Studio Ferri|Corso Garibaldi 5|47121 Forlì (FC)|||",
                           "Luca Maria Neri||Luca Maria Neri|Via Nassa 3|Interno 2|6900 Lugano (TI)|Svizzera||"
                           "Cliente dal 2019, Pagamento a 30 gg",
                           "Ferramenta Gialli||Ferramenta Gialli|Casella postale 12|47122 Forlì (FC)||||"}
            << 1 << 0 << "indirizzo 1 2, indirizzo 2 1";
    QTest::newRow("Outlook in Italian") << "outlook-it.csv" << int(TextEncoding::Windows1252)
            << QStringList{"Mario Rossi|Clienti|Mario Rossi|Rossi Costruzioni S.r.l.|Via Roma 12|Scala B|"
                           "06012 Città di Castello (PG)||",
                           "Anna Bianchi|Amici|Anna Bianchi|Via dei Mille 3|40121 Bologna (BO)||||",
                           "Paolo Verdi||Paolo Verdi|Verdi Impianti|Viale Europa 7, Palazzo B|00144 Roma (RM)|||"
                           "Consegna il lunedì – orario 9–12",
                           "Ferramenta Gialli||Ferramenta Gialli|Piazza Duomo 1|20121 Milano (MI)||||",
                           "Hans Müller||Hans Müller|Hauptstraße 1|10115 Berlin|Germania|||"}
            << 1 << 0 << "ufficio 3, abitazione 1, altro indirizzo 1";
    QTest::newRow("Thunderbird") << "thunderbird.csv" << int(TextEncoding::Utf8)
            << QStringList{"Chiara Conti||Chiara Conti|Conti & Figli|Corso Francia 100|10143 Torino (TO)|||",
                           "Niccolò Bruno||Niccolò Bruno|Via Po 2|Interno 4|10124 Torino (TO)|||Amico di famiglia"}
            << 1 << 0 << "ufficio 1, abitazione 1";
    // Its own lines keep their places, an empty one included.
    QTest::newRow("the program's own export, saved by LibreOffice with ';'") << "libreoffice.csv"
            << int(TextEncoding::Utf8)
            << QStringList{"Studio Bianchi|Cliente|Dott. Luca Bianchi||Via Verdi 3|20121 Milano (MI)|||"
                           "Nota; con punto e virgola",
                           "Caffè Sport||Caffè Sport|Piazza Garibaldi 1|||||"}
            << 0 << 0 << "";
    QTest::newRow("vCard 2.1 with CHARSET and quoted-printable") << "vcard21-charset.vcf" << int(TextEncoding::Utf8)
            << QStringList{"Luca Nicolò||Luca Nicolò|Caffè Nicolò|Via della Libertà 10|47121 Forlì (FC)|||"
                           "Prima riga, Seconda riga"}
            << 0 << 0 << "";
    QTest::newRow("vCard 2.1 without CHARSET, Windows-1252") << "vcard21-nocharset.vcf"
            << int(TextEncoding::Windows1252)
            << QStringList{"Maria Santà||Maria Santà|Via Cavour 5|06012 Città di Castello (PG)||||"
                           "Così è più facile"}
            << 0 << 0 << "";
    QTest::newRow("vCard 3.0") << "vcard30.vcf" << int(TextEncoding::Utf8)
            << QStringList{"Gennaro Esposito||Gennaro Esposito|Pizzeria Esposito|Via Toledo 200|80134 Napoli (NA)|||"
                           "Consegna il lunedì, dopo le 10, Tel. prima",
                           "John Smith||John Smith|Silicon Alley 5|10001 New York (NY)|USA|||"}
            << 1 << 0 << "";
    QTest::newRow("vCard 4.0") << "vcard40.vcf" << int(TextEncoding::Utf8)
            << QStringList{"Dott.ssa Elena Galli||Dott.ssa Elena Galli|Studio Galli|Via Lavoro 2|20100 Milano (MI)|||"
                           "Riceve il martedì, su appuntamento"}
            << 0 << 0 << "";
    QTest::newRow("mixed encodings") << "mixed-encodings.csv" << int(TextEncoding::Utf8)
            << QStringList{"Niccolò Rossi||Niccolò Rossi|Via Libertà 1|47121 Forlì||||",
                           "Gianluca Bianchi||Gianluca Bianchi|Via Po 2|10121 Torino||||",
                           "Perù Verdi||Perù Verdi|Piazza Unità 3|34121 Trieste||||"}
            << 0 << 1 << "";
    QTest::newRow("vCard folded inside a UTF-8 character") << "folded-utf8.vcf" << int(TextEncoding::Utf8)
            << QStringList{"Niccolò Bellò||Niccolò Bellò|Via Libertà 7|47121 Forlì (FC)||||"} << 0 << 0 << "";
    QTest::newRow("binary: ten 0xFF bytes") << "binary-ff-10.csv" << -1 << QStringList() << 0 << 0 << "";
    QTest::newRow("binary: 4096 0xFF bytes") << "binary-ff-4096.csv" << -1 << QStringList() << 0 << 0 << "";
    QTest::newRow("binary: random high bytes") << "binary-high.csv" << -1 << QStringList() << 0 << 0 << "";
}

void TestAddressImport::addressBooks()
{
    QFETCH(QString, file);
    QFETCH(int, encoding);
    QFETCH(QStringList, cards);
    QFETCH(int, skipped);
    QFETCH(int, otherWay);
    QFETCH(QString, groups);
    // Through the dialog, as the user imports it, into an archive of one card.
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QVERIFY(putExistingCards(folder));
    const QByteArray before = fileBytes(folder.file(AddressArchive::fileName()));
    ui::MessageRecorder messages;
    TfrmArchivio_Indirizzi window(folder);
    TfrmImportaSchede dialog(window);
    const bool read = dialog.setFile(fixture(file));
    if (encoding < 0) {
        QVERIFY(!read);
        ImportError notText;
        notText.kind = ImportError::Kind::NotText;
        QCOMPARE(messages.last().text, notText.message());
        dialog.btnImporta->click();
        QCOMPARE(fileBytes(folder.file(AddressArchive::fileName())), before);
        return;
    }
    QVERIFY2(read, qPrintable(messages.last().text));
    QCOMPARE(int(dialog.table().encoding), encoding);
    QCOMPARE(dialog.table().otherWayLines, otherWay);
    const ImportPlan &plan = dialog.plan();
    QCOMPARE(plan.skippedRows, qint64(skipped));
    QCOMPARE(groupsText(plan), groups);
    QCOMPARE(plan.cutCards, qint64(0));
    QCOMPARE(plan.lostCharacters, QString());
    messages.clear();
    dialog.btnImporta->click();
    QCOMPARE(messages.count(), 1);
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.first(), cardLine(existingCard()));
    QCOMPARE(stored.mid(1), cards);
    QCOMPARE(window.lblPosizione->text(), QStringLiteral("2"));
}

// A set of rows each showing one rule of how a card is stored.
void TestAddressImport::hundredThousandRows()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const int rows = 100000;
    QByteArray csv("Nome;Tipo;Indirizzo;CAP;Città;Note\r\n");
    for (int i = 1; i <= rows; ++i)
        csv += QStringLiteral("Cliente %1;Tipo %2;Via Roma %1;%3;Città %2;\"nota; %1\"\r\n")
                       .arg(i)
                       .arg(i % 7)
                       .arg(10000 + i % 90000)
                       .toUtf8();
    const QString path = dir.filePath(QStringLiteral("grande.csv"));
    writeBytes(path, csv);
    ImportTable table;
    QVERIFY(!importfile::load(path, table));
    QCOMPARE(table.dataRowCount(), rows);
    const ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.cards, qint64(rows));
    QVERIFY(plan.lostCharacters.isEmpty());
    qint64 lastProgress = 0;
    int calls = 0;
    const AppendResult result = importfile::appendPlanned(folder, plan, [&](qint64 done) {
        ++calls;
        lastProgress = done;
        return true;
    });
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QCOMPARE(lastProgress, qint64(rows));
    QVERIFY(calls > 100); // the bar moves along
    int n = 0;
    AddressArchive archive(folder);
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), qint64(rows));
    bool same = true;
    archive.readAll([&](qint64 p, const TSchedaIndirizzo &card) {
        ++n;
        const QString expected =
                QStringLiteral("Via Roma %1|%2 Città %3||||nota; %1").arg(p).arg(10000 + p % 90000).arg(p % 7);
        const QString got = QStringList{card[TSchedaIndirizzo::Rigo02], card[TSchedaIndirizzo::Rigo03],
                                        card[TSchedaIndirizzo::Rigo04], card[TSchedaIndirizzo::Rigo05],
                                        card[TSchedaIndirizzo::Rigo06], card[TSchedaIndirizzo::Note]}
                                    .join(QLatin1Char('|'));
        if (card[TSchedaIndirizzo::Nome] != QStringLiteral("Cliente %1").arg(p) || got != expected
            || card[TSchedaIndirizzo::Tipo] != QStringLiteral("Tipo %1").arg(p % 7)) {
            qWarning("card %lld: %s", p, qPrintable(cardLine(card)));
            same = false;
            return false;
        }
        return true;
    });
    QVERIFY(same);
    QCOMPARE(n, rows);
}

// ------------------------------------------------------------ batch append

namespace {

// Two cards, then a trailing piece of `tailBytes` that is no card; the file's path.
QString archiveWithTrailingPiece(const ProgramFolder &folder, int tailBytes)
{
    if (!putExistingCards(folder, 2))
        return QString();
    const QString file = folder.file(AddressArchive::fileName());
    QFile f(file);
    if (f.open(QIODevice::Append))
        f.write(QByteArray(tailBytes, 'x'));
    return file;
}

QList<ImportedCard> newCards(int count)
{
    QList<ImportedCard> cards(count);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Nuova %1").arg(i);
    return cards;
}

} // namespace

void TestAddressImport::batchAppendKeepsFileWhenStopped_data()
{
    QTest::addColumn<int>("stopAfter"); // progress calls answered true before the stop
    QTest::addColumn<int>("tailBytes");
    QTest::newRow("stopped at the first chunk") << 0 << 0;
    QTest::newRow("stopped later, trailing piece kept") << 2 << 100;
}

void TestAddressImport::batchAppendKeepsFileWhenStopped()
{
    QFETCH(int, stopAfter);
    QFETCH(int, tailBytes);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QString file = archiveWithTrailingPiece(folder, tailBytes);
    const QByteArray before = fileBytes(file);
    const QList<ImportedCard> cards = newCards(3000); // six batches
    int calls = 0;
    const AppendResult stopped = appendCards(folder, cards, [&](qint64) { return calls++ < stopAfter; });
    QCOMPARE(int(stopped.status), int(AppendResult::Status::Cancelled));
    QCOMPARE(fileBytes(file), before);
    // Done, the new cards go over the trailing piece, right after card 2.
    const AppendResult done = appendCards(folder, cards);
    QCOMPARE(done.firstPosition, qint64(3));
    QCOMPARE(QFileInfo(file).size(), qint64(3002) * TSchedaIndirizzo::RecordSize);
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.at(2).section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 0"));
    QCOMPARE(stored.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 2999"));
}

void TestAddressImport::batchAppendOnFullDiskWritesNothing()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QVERIFY(putExistingCards(folder));
    const QString file = folder.file(AddressArchive::fileName());
    const QByteArray before = fileBytes(file);
    const QList<ImportedCard> cards = newCards(2000);
    AppendResult result;
    {
        // Room for some hundred cards only: the file reaches its limit in the middle of the pass.
        FileSizeLimit full(qint64(500) * TSchedaIndirizzo::RecordSize);
        result = appendCards(folder, cards);
    }
    QCOMPARE(int(result.status), int(AppendResult::Status::Failed));
    QCOMPARE(int(result.reason), int(AppendResult::Reason::FileTooLarge));
    QCOMPARE(fileBytes(file), before);
}

void TestAddressImport::anotherCopySavesBetweenBatches()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QList<ImportedCard> cards(3000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Importata %1").arg(i + 1);
    qint64 firstBatch = 0;
    int otherExit = -1;
    const AppendResult result = appendCards(folder, cards, [&](qint64 done) {
        if (firstBatch == 0) {
            // Another copy saves a card while the import is under way: it
            // neither waits for the whole import nor fails.
            firstBatch = done;
            QProcess other;
            other.start(QStringLiteral(STORAGE_DRIVER),
                        {QStringLiteral("append"), dir.path(), QStringLiteral("altra"), QStringLiteral("1")});
            otherExit = other.waitForFinished(10000) ? other.exitCode() : -2;
        }
        return true;
    });
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QCOMPARE(otherExit, 0);
    QVERIFY(firstBatch > 0 && firstBatch < cards.size());
    // Its card lies between two batches; the imported cards keep their order.
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.size(), 3001);
    QCOMPARE(stored.at(firstBatch).section(QLatin1Char('|'), 0, 0), QStringLiteral("altra-0"));
    QStringList imported = stored;
    imported.removeAt(firstBatch);
    for (int i = 0; i < 3000; ++i)
        QCOMPARE(imported.at(i).section(QLatin1Char('|'), 0, 0), QStringLiteral("Importata %1").arg(i + 1));
}

void TestAddressImport::stoppedImportKeepsOtherCopiesCards_data()
{
    QTest::addColumn<bool>("fails");  // else cancelled
    QTest::addColumn<int>("others"); // cards another copy saves after the first batch
    QTest::newRow("cancelled, no other card: the file as it was") << false << 0;
    QTest::newRow("cancelled, two other cards") << false << 2;
    QTest::newRow("failed write, no other card") << true << 0;
    QTest::newRow("failed write, two other cards") << true << 2;
}

void TestAddressImport::stoppedImportKeepsOtherCopiesCards()
{
    QFETCH(bool, fails);
    QFETCH(int, others);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QString file = archiveWithTrailingPiece(folder, 100);
    const QByteArray before = fileBytes(file);
    const QList<ImportedCard> cards = newCards(3000);
    ImportJob job;
    job.digest = 0x5eed;
    int batches = 0;
    AppendResult result;
    {
        std::unique_ptr<FileSizeLimit> limit;
        result = appendCards(
                folder, cards,
                [&](qint64) {
                    if (++batches == 1) {
                        AddressArchive other(folder);
                        for (int n = 0; n < others; ++n) {
                            TSchedaIndirizzo card;
                            card[TSchedaIndirizzo::Nome] = QStringLiteral("Altra %1").arg(n);
                            if (!other.open() || other.append(card) < 1)
                                return false;
                        }
                        if (fails) // the next batch goes beyond the size limit
                            limit = std::make_unique<FileSizeLimit>(QFileInfo(file).size() + 100000);
                    }
                    return batches < 3;
                },
                &job);
    }
    QCOMPARE(int(result.status), int(fails ? AppendResult::Status::Failed : AppendResult::Status::Cancelled));
    QCOMPARE(result.left, qint64(0));
    QCOMPARE(result.moved, qint64(others));
    QStringList names;
    for (const QString &card : archiveCards(dir.path()))
        names << card.section(QLatin1Char('|'), 0, 0);
    QStringList expected{existingCard()[TSchedaIndirizzo::Nome], existingCard()[TSchedaIndirizzo::Nome]};
    for (int n = 0; n < others; ++n)
        expected << QStringLiteral("Altra %1").arg(n);
    QCOMPARE(names, expected);
    if (others == 0)
        QCOMPARE(fileBytes(file), before);
    else
        QCOMPARE(result.movedFrom, qint64(3));
    // No journal is left behind.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("Archivio_Indirizzi.importa*")}, QDir::Files | QDir::Hidden),
             QStringList());
}

namespace {

TSchedaIndirizzo namedCard(const QString &name)
{
    TSchedaIndirizzo card;
    card[TSchedaIndirizzo::Nome] = name;
    card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via %1").arg(name);
    return card;
}

QStringList archiveNames(const QString &folder)
{
    QStringList names;
    for (const QString &card : archiveCards(folder))
        names << card.section(QLatin1Char('|'), 0, 0);
    return names;
}

} // namespace

void TestAddressImport::journalTellsWhatWentIn_data()
{
    // The archive holds "E E" and then, as steps, the batches of the import
    // ("B<position>:<cards>[/<written>]"), other copies' cards ("F<name>"),
    // a journal line cut short ("cut"), a taking out begun ("U<from>,<count>,
    // <kept names>"), the kept cards written at its place ("copy") and the
    // file cut after them ("truncate").
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("archive");
    QTest::newRow("two batches whole") << QStringList{"B3:4", "B7:6"} << int(FoundImport::State::Stopped) << 10
                                       << "E E I0 I1 I2 I3 I4 I5 I6 I7 I8 I9";
    QTest::newRow("last batch written in part, another card after it")
            << QStringList{"B3:4", "B7:6/3", "Fx", "Fy"} << int(FoundImport::State::Stopped) << 7
            << "E E I0 I1 I2 I3 I4 I5 I6 x y";
    QTest::newRow("another card between the batches")
            << QStringList{"B3:4", "Fx", "B8:6"} << int(FoundImport::State::Stopped) << 10
            << "E E I0 I1 I2 I3 x I4 I5 I6 I7 I8 I9";
    QTest::newRow("journal line cut short") << QStringList{"B3:4", "cut"} << int(FoundImport::State::Stopped) << 4
                                            << "E E I0 I1 I2 I3";
    QTest::newRow("stopped before its first card") << QStringList{"B3:4/0", "Fx"} << int(FoundImport::State::None)
                                                   << 0 << "E E x";
    QTest::newRow("taking out begun, others' cards saved since")
            << QStringList{"B3:4", "Fx", "B8:6", "U3,13,x", "copy", "Fy"} << int(FoundImport::State::Finished) << 0
            << "E E x y";
    QTest::newRow("taking out done, journal left")
            << QStringList{"B3:4", "Fx", "B8:6", "U3,13,x", "copy", "truncate", "Fy"}
            << int(FoundImport::State::Finished) << 0 << "E E x y";
}

void TestAddressImport::journalTellsWhatWentIn()
{
    QFETCH(QStringList, steps);
    QFETCH(int, state);
    QFETCH(int, cards);
    QFETCH(QString, archive);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QVERIFY(putExistingCards(folder, 2));
    const QString file = folder.file(AddressArchive::fileName());
    ImportJob job;
    job.digest = 0xfeed;
    job.name = QStringLiteral("rubrica.csv");
    job.mapping = {1, 2};
    int next = 0; // the next imported card
    {
        // The import, stopped where the steps end: the journal as it wrote
        // it, the archive as it left it.
        ImportJournal journal(folder);
        QVERIFY(journal.begin(job));
        for (const QString &step : std::as_const(steps)) {
            AddressArchive target(folder);
            QVERIFY(target.open());
            if (step.startsWith(QLatin1Char('B'))) {
                const qint64 position = step.mid(1).section(QLatin1Char(':'), 0, 0).toLongLong();
                const QString counts = step.section(QLatin1Char(':'), 1);
                const int count = counts.section(QLatin1Char('/'), 0, 0).toInt();
                const int written = counts.contains(QLatin1Char('/')) ? counts.section(QLatin1Char('/'), 1).toInt() : count;
                QByteArray records;
                for (int i = 0; i < count; ++i)
                    records += namedCard(QStringLiteral("I%1").arg(next + i)).toRecord();
                QVERIFY(journal.addBatch(position, count, records.constData()));
                for (int i = 0; i < written; ++i)
                    QCOMPARE(target.append(namedCard(QStringLiteral("I%1").arg(next + i))), position + i);
                next += count;
            } else if (step.startsWith(QLatin1Char('F'))) {
                QVERIFY(target.append(namedCard(step.mid(1))) > 0);
            } else if (step == QLatin1String("cut")) {
                QFile f(dir.filePath(ImportJournal::fileName(job.digest)));
                QVERIFY(f.open(QIODevice::Append));
                f.write("B 99 1 0000");
            } else if (step.startsWith(QLatin1Char('U'))) {
                const QStringList parts = step.mid(1).split(QLatin1Char(','));
                QByteArray kept;
                for (const QString &name : parts.mid(2))
                    kept += namedCard(name).toRecord();
                QVERIFY(journal.beginUndo(parts.at(0).toLongLong(), parts.at(1).toLongLong(), kept));
            } else if (step == QLatin1String("copy")) {
                QVERIFY(target.write(3, namedCard(QStringLiteral("x"))));
            } else if (step == QLatin1String("truncate")) {
                QVERIFY(QFile::resize(file, qint64(3) * TSchedaIndirizzo::RecordSize));
            }
        }
    } // the process ends without a word: its lock goes
    const FoundImport found = ImportJournal::find(folder, job.digest);
    QCOMPARE(int(found.state), state);
    QCOMPARE(found.cards, qint64(cards));
    if (found.state == FoundImport::State::Stopped) {
        QCOMPARE(found.job.name, job.name);
        QCOMPARE(found.job.mapping, job.mapping);
    }
    QStringList names = archiveNames(dir.path());
    names.replaceInStrings(existingCard()[TSchedaIndirizzo::Nome], QStringLiteral("E"));
    QCOMPARE(names.join(QLatin1Char(' ')), archive);
    // Only a stopped import keeps its journal, to be gone on from.
    QCOMPARE(QFileInfo::exists(dir.filePath(ImportJournal::fileName(job.digest))),
             found.state == FoundImport::State::Stopped);
}

// ------------------------------------------------------------------ dialog

namespace {

struct DialogFixture
{
    QTemporaryDir dir;
    ui::MessageRecorder messages;
    std::unique_ptr<TfrmArchivio_Indirizzi> window;

    explicit DialogFixture(const QString &folder = QString())
    {
        window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(folder.isEmpty() ? dir.path() : folder));
        window->show();
    }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, bytes);
        return path;
    }
    QString archivePath() const { return QDir(dir.path()).filePath(AddressArchive::fileName()); }
};

void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

void TestAddressImport::killedImportGoesOnFromFirstRowNotImported()
{
    const int rounds = qEnvironmentVariableIsSet("TAVOLUX_KILL_ROUNDS") ? qEnvironmentVariableIntValue("TAVOLUX_KILL_ROUNDS") : 30;
    // 60,000 rows, every 50th without text: about 0.1 s of writing here.
    const int rows = 60000;
    QByteArray csv("Nome;Indirizzo;Città\r\n");
    QStringList expected;
    for (int i = 1; i <= rows; ++i) {
        if (i % 50 == 0) {
            csv += ";;\r\n";
            continue;
        }
        csv += "Cliente " + QByteArray::number(i) + ";Via " + QByteArray::number(i) + ";Perugia\r\n";
        expected << QStringLiteral("Cliente %1").arg(i);
    }
    QTemporaryDir sources;
    const QString source = sources.filePath(QStringLiteral("rubrica.csv"));
    writeBytes(source, csv);
    const QString existing = existingCard()[TSchedaIndirizzo::Nome];
    int nothing = 0, part = 0, complete = 0, finished = 0, withOthers = 0;
    for (int round = 0; round < rounds; ++round) {
        QTemporaryDir dir;
        QVERIFY(putExistingCards(ProgramFolder(dir.path()), 3));
        const int killAfter = 5 + int(QRandomGenerator::global()->bounded(90));
        QProcess importer, saver;
        // Every other round another copy saves cards all the while.
        const bool others = round % 2 == 1;
        if (others)
            saver.start(QStringLiteral(STORAGE_DRIVER), {QStringLiteral("saver"), dir.path(), QStringLiteral("s"),
                                                        QStringLiteral("5"), QString::number(killAfter + 100)});
        importer.start(QStringLiteral(STORAGE_DRIVER), {QStringLiteral("import"), dir.path(), source});
        QVERIFY(importer.waitForStarted());
        QTest::qSleep(killAfter);
        importer.kill();
        QVERIFY(importer.waitForFinished());
        bool ended = importer.exitStatus() == QProcess::NormalExit && importer.exitCode() == 0;
        qint64 saved = 0;
        if (others) {
            QVERIFY(saver.waitForFinished(30000));
            const QList<QByteArray> said = saver.readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(said.value(3), QByteArray("0")); // no failed save
            saved = said.value(7).toLongLong();
        }
        // Right after the kill: the cards there were, a prefix of the import, the others' cards.
        QStringList names = archiveNames(dir.path());
        QCOMPARE(names.mid(0, 3), QStringList(3, existing));
        const QStringList in = names.filter(QStringLiteral("Cliente "));
        QCOMPARE(in, expected.mid(0, in.size()));

        // The program again, on the same file.
        DialogFixture f(dir.path());
        TfrmImportaSchede dialog(*f.window);
        QVERIFY(dialog.setFile(source));
        const QList<ui::MessageRecorder::Entry> said = f.messages.entries();
        if (ended || (in.size() == expected.size() && said.isEmpty())) {
            // The kill came after the import's end (its journal gone).
            QCOMPARE(in.size(), expected.size());
            QCOMPARE(said.size(), 0);
            ended = true;
            ++finished;
        } else if (in.isEmpty()) {
            QCOMPARE(said.size(), 0);
            ++nothing;
        } else if (in.size() == expected.size()) {
            QCOMPARE(said.size(), 1);
            QCOMPARE(said.last().text, TfrmImportaSchede::completeMessage());
            ++complete;
        } else {
            // Asked, with the rows that went in, and answered Yes.
            QCOMPARE(said.size(), 1);
            const int lastRow = in.last().section(QLatin1Char(' '), 1).toInt();
            QCOMPARE(said.last().text, TfrmImportaSchede::goOnQuestion(lastRow, false));
            QCOMPARE(dialog.fromRow(), lastRow + 1); // the header row is file row 0
            ++part;
        }
        withOthers += others && saved > 0 && !ended && !in.isEmpty() ? 1 : 0;
        if (!ended && in.size() < expected.size())
            dialog.btnImporta->click();
        // Every row once, in order; the others' cards all there.
        names = archiveNames(dir.path());
        QCOMPARE(names.filter(QStringLiteral("Cliente ")), expected);
        const QStringList theirs = names.filter(QRegularExpression(QStringLiteral("^s-\\d+$")));
        QCOMPARE(theirs.size(), int(saved));
        QCOMPARE(names.size(), 3 + int(expected.size() + saved));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("Archivio_Indirizzi.importa*")}, QDir::Files), QStringList());
    }
    qInfo("import kill loop: %d kills: %d before the first card, %d part way (went on from the first row not "
          "imported, %d of them beside a saving copy), %d after the last card, %d after the end",
          rounds, nothing, part, withOthers, complete, finished);
}

void TestAddressImport::dialogGoesOnWhereImportStopped_data()
{
    QTest::addColumn<bool>("goOn");
    QTest::newRow("Yes: the rows not imported") << true;
    QTest::newRow("No: the whole file again") << false;
}

void TestAddressImport::dialogGoesOnWhereImportStopped()
{
    QFETCH(bool, goOn);
    DialogFixture f;
    const ProgramFolder folder(f.dir.path());
    QVERIFY(putExistingCards(folder));
    QByteArray csv("Nome;Via;Città\n");
    for (int i = 1; i <= 10; ++i)
        csv += i == 4 ? QByteArray(";;\n") : "Cliente " + QByteArray::number(i) + ";Via " + QByteArray::number(i) + ";Gubbio\n";
    const QString path = f.write(QStringLiteral("rubrica.csv"), csv);
    // An import of the file, the town as the note, stopped after five cards (rows 1 to 6).
    ImportTable table;
    QVERIFY(!importfile::load(path, table));
    ColumnMapping recorded = table.proposed;
    recorded[2] = TSchedaIndirizzo::Note;
    QVERIFY(recorded != table.proposed);
    const QList<TSchedaIndirizzo> stopped = importfile::cards(importfile::plan(table, recorded), 5);
    {
        ImportJournal journal(folder);
        QVERIFY(journal.begin(importfile::job(table, recorded, 0, QStringLiteral("rubrica.csv"))));
        QByteArray records;
        for (const TSchedaIndirizzo &card : stopped)
            records += card.toRecord();
        QVERIFY(journal.addBatch(2, 5, records.constData()));
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        for (const TSchedaIndirizzo &card : stopped)
            QVERIFY(archive.append(card) > 1);
    }
    TfrmImportaSchede dialog(*f.window);
    f.messages.clear();
    f.messages.answerNext(goOn ? ui::MessageAnswer::Yes : ui::MessageAnswer::No);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, TfrmImportaSchede::goOnQuestion(6, false));
    QCOMPARE(int(f.messages.last().buttons), int(ui::MessageButtons::YesNo));
    QCOMPARE(dialog.mapping(), recorded); // read as that import read it
    QCOMPARE(dialog.fromRow(), goOn ? 7 : 1);
    QCOMPARE(dialog.lblRiepilogo->text().section(QLatin1Char('\n'), 0, 0),
             goOn ? QStringLiteral("Le righe del file dalla 1 alla 6 sono già in archivio; ora si importano le altre 4.")
                  : QStringLiteral("10 righe da importare."));
    dialog.btnImporta->click();
    // The stopped import's cards, then those of this one.
    const auto stored = [](int i) { return QStringLiteral("Cliente %1||Cliente %1|Via %1|||||Gubbio").arg(i); };
    QStringList expected{cardLine(existingCard())};
    for (int i = 1; i <= 6; ++i)
        if (i != 4)
            expected << stored(i);
    for (int i = goOn ? 7 : 1; i <= 10; ++i)
        if (i != 4)
            expected << stored(i);
    QCOMPARE(archiveCards(f.dir.path()), expected);
    QVERIFY(!QFileInfo::exists(folder.file(ImportJournal::fileName(table.digest))));
}

void TestAddressImport::windowHasImportButton()
{
    DialogFixture f;
    TfrmArchivio_Indirizzi &w = *f.window;
    QCoreApplication::processEvents();
    QVERIFY(w.cmdImporta);
    QCOMPARE(w.cmdImporta->parentWidget()->objectName(), QStringLiteral("boxImporta"));
    // The toolbar's own boxes in their order, in one row, as wide as the body;
    // the import box above the toolbar's right end.
    QList<QWidget *> ordered;
    for (const char *name : {"boxArchivio", "boxAllega", "boxStampa", "boxNavigazione", "boxStrumenti", "boxUscita"})
        ordered << w.findChild<QWidget *>(QLatin1String(name));
    for (int i = 1; i < ordered.size(); ++i) {
        QVERIFY2(ordered.at(i - 1)->geometry().right() < ordered.at(i)->geometry().left(),
                 qPrintable(ordered.at(i)->objectName()));
        QCOMPARE(ordered.at(i)->geometry().top(), ordered.first()->geometry().top());
    }
    QWidget *importBox = w.findChild<QWidget *>(QStringLiteral("boxImporta"));
    QVERIFY(importBox->geometry().bottom() < ordered.last()->geometry().top());
    QCOMPARE(importBox->geometry().right(), ordered.last()->geometry().right());
    // No box is squeezed below the room its pictures need.
    for (QWidget *box : ordered + QList<QWidget *>{importBox})
        QVERIFY2(box->width() >= box->minimumSizeHint().width(), qPrintable(box->objectName()));
    // The toolbar fits the panel, which keeps the width it had without the import box.
    QWidget *panel = w.findChild<QWidget *>(QStringLiteral("panPrincipale"));
    QVERIFY(ordered.last()->geometry().right() <= panel->width());
    QCOMPARE(panel->width(), 980);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.cmdImporta, &move);
    QCOMPARE(w.panInfo->text(), QStringLiteral("Importa schede da un file CSV o vCard."));
    QVERIFY(w.cmdImporta->focusPolicy() & Qt::TabFocus);
    QCOMPARE(w.cmdImporta->spokenName(), QStringLiteral("Importa schede da un file CSV o vCard"));
}

void TestAddressImport::dialogMapsAndImports()
{
    DialogFixture f;
    QVERIFY(putExistingCards(ProgramFolder(f.dir.path())));
    const QString path =
            f.write(QStringLiteral("outlook.csv"),
                    QByteArray("First Name,Last Name,Company,Business Street,Business City,Notes,E-mail\r\n"
                               "Mario,Rossi,Rossi Srl,Via Roma 1,Milano,cliente,m@r.it\r\n"
                               "Lucia,Bianchi,,Corso Po 2,Torino,,l@b.it\r\n"));
    // Chosen as the user chooses it, in the file dialog.
    QString title, filter;
    ui::setFileChooserHandler([&](QWidget *, const QString &t, const QString &flt) {
        title = t;
        filter = flt;
        return path;
    });
    TfrmImportaSchede dialog(*f.window);
    dialog.btnScegli->click();
    ui::setFileChooserHandler({});
    QCOMPARE(title, QStringLiteral("Selezionare il file da importare:"));
    QVERIFY(filter.endsWith(QStringLiteral("Tutti i file (*.*)")));
    QCOMPARE(dialog.grdAnteprima->columnCount(), 7);
    QCOMPARE(dialog.grdAnteprima->rowCount(), 2);
    QCOMPARE(dialog.grdAnteprima->item(1, 3)->text(), QStringLiteral("Corso Po 2"));
    QComboBox *company = dialog.cboCampo(2);
    QVERIFY(company);
    QCOMPARE(company->currentText(), QStringLiteral("Rigo 2"));
    QCOMPARE(dialog.cboCampo(6)->currentText(), QStringLiteral("(non importare)"));
    QStringList offered;
    for (int i = 0; i < company->count(); ++i)
        offered << company->itemText(i);
    QCOMPARE(offered, (QStringList{"(non importare)", "Nome etichetta", "Tipo", "Rigo 1", "Rigo 2", "Rigo 3", "Rigo 4",
                                   "Rigo 5", "Rigo 6", "Note"}));
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Separatore: virgola"));
    QVERIFY(dialog.chkIntestazione->isChecked());
    // The user sends the company to Tipo and the e-mail to the note.
    choose(company, QStringLiteral("Tipo"));
    choose(dialog.cboCampo(6), QStringLiteral("Note"));
    f.messages.clear();
    dialog.show();
    dialog.btnImporta->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, QStringLiteral("Sono state inserite 2 schede in archivio."));
    QCOMPARE(int(f.messages.last().buttons), int(ui::MessageButtons::Ok));
    const QStringList stored = archiveCards(f.dir.path());
    // The company's line is gone: the lines below it move up.
    QCOMPARE(stored.mid(1), (QStringList{"Mario Rossi|Rossi Srl|Mario Rossi|Via Roma 1|Milano||||cliente m@r.it",
                                         "Lucia Bianchi||Lucia Bianchi|Corso Po 2|Torino||||l@b.it"}));
    // The window shows the first imported card.
    QCOMPARE(f.window->lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(f.window->txtNome->text(), QStringLiteral("Mario Rossi"));
    QCOMPARE(f.window->txtTipo->text(), QStringLiteral("Rossi Srl"));
    QCOMPARE(f.window->txtNote->text(), QStringLiteral("cliente m@r.it"));
}

void TestAddressImport::dialogSummaryAndResult_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("summary");
    QTest::addColumn<QString>("result");
    QTest::newRow("one row") << QByteArray("Nome;Rigo01\nAnna;Via Po 1\n") << QStringList{"Una riga da importare."}
                             << "E' stata inserita una scheda in archivio.";
    QTest::newRow("rows with no text, before and after")
            << QByteArray("Nome,Via,E-mail\nAnna,Via Po 1,a@b.it\n,,solo@email.it\nLuca,,\n,,x@y.it\n,,z@y.it\n"
                          "Ugo,Via Roma,\n")
            << QStringList{"6 righe da importare.",
                           "3 righe senza testo nei campi scelti (per esempio con il solo indirizzo e-mail) "
                           "non saranno importate."}
            << "Sono state inserite 3 schede in archivio.\r\n\r\n3 righe senza testo nei campi scelti non sono state "
               "importate.";
    QTest::newRow("vCards, one without text")
            << QByteArray("BEGIN:VCARD\nFN:Anna\nEND:VCARD\nBEGIN:VCARD\nEMAIL:a@b.it\nEND:VCARD\n")
            << QStringList{"2 schede nel file.", "Una scheda senza testo nei campi scelti (per esempio con il solo "
                                                 "indirizzo e-mail) non sarà importata."}
            << "E' stata inserita una scheda in archivio.\r\n\r\nUna scheda senza testo nei campi scelti non è stata "
               "importata.";
    QTest::newRow("two addresses, the work one first")
            << QByteArray("Nome;Via (uff.);Città (uff.);Via (ab.);Città (ab.)\nA;Via U 1;Roma;Via C 1;Roma\n"
                          "B;;;Via C 2;Milano\nC;;Torino;;\nD;;;;\n")
            << QStringList{"4 righe da importare.",
                           "Indirizzo usato (il primo con via o città, prima quello dell'ufficio): ufficio in 2 "
                           "schede, abitazione in una scheda."}
            << "Sono state inserite 4 schede in archivio.";
    QTest::newRow("texts longer than a field")
            << (QByteArray("Nome;Note\nA;") + QByteArray(300, 'x') + "\nB;corta\n")
            << QStringList{"2 righe da importare.",
                           "In una scheda alcuni testi superano i 250 caratteri di un campo e saranno troncati."}
            << "Sono state inserite 2 schede in archivio.";
    QByteArray many("Nome;Rigo01\n");
    for (int i = 0; i < 1234; ++i)
        many += "Anna;Via Po " + QByteArray::number(i) + "\n";
    QTest::newRow("thousands") << many << QStringList{"1.234 righe da importare."}
                               << "Sono state inserite 1.234 schede in archivio.";
    QTest::newRow("a row in Windows-1252")
            << (QStringLiteral("Nome;Città\nAnna;Forlì\n").toUtf8() + QByteArray("Luca;Cant\xF9\n"))
            << QStringList{"2 righe da importare.",
                           "Una riga del file non è in UTF-8 ed è stata letta come Windows-1252."}
            << "Sono state inserite 2 schede in archivio.";
}

void TestAddressImport::dialogSummaryAndResult()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, summary);
    QFETCH(QString, result);
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(f.write(QStringLiteral("rubrica.csv"), bytes)));
    QCOMPARE(dialog.lblRiepilogo->text().split(QLatin1Char('\n')), summary);
    f.messages.clear();
    dialog.btnImporta->click();
    QCOMPARE(f.messages.last().text, result);
}

void TestAddressImport::dialogCardPreview()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    const QString longStreet = QStringLiteral("Via dei Lunghissimi Nomi di Strada che non Finiscono Mai 1234");
    QVERIFY(dialog.setFile(f.write(QStringLiteral("r.csv"),
                                   (QStringLiteral("Nome;Cognome;Società;Città;CAP;Via;E-mail\n"
                                                   "Mario;Rossi;Rossi Srl;Città di Castello;06012;")
                                    + longStreet + QStringLiteral(";m@r.it\n;;;;;;solo@mail.it\n"))
                                           .toUtf8())));
    dialog.show();
    // The first row's card, as it will be stored and printed.
    QCOMPARE(dialog.previewRow(), 0);
    QCOMPARE(dialog.txtSchedaNome->text(), QStringLiteral("Mario Rossi"));
    QStringList lines;
    for (QLineEdit *line : std::as_const(dialog.txtSchedaRigo))
        lines << line->text();
    QCOMPARE(lines, (QStringList{"Mario Rossi", "Rossi Srl", longStreet, "06012 Città di Castello", "", ""}));
    // A line that will be cut in print carries the mark; the others do not.
    QVERIFY(!fitsLabelLine(longStreet));
    QCOMPARE(drawnInk(dialog.txtSchedaRigo.at(2)), QStringLiteral("orange"));
    QCOMPARE(drawnInk(dialog.txtSchedaRigo.at(0)), QStringLiteral("black"));
    QVERIFY(dialog.lblSchedaInfo->text().contains(QStringLiteral("rigo 3")));
    // A new target shows at once.
    choose(dialog.cboCampo(2), QStringLiteral("(non importare)"));
    QCOMPARE(dialog.txtSchedaRigo.at(1)->text(), longStreet);
    choose(dialog.cboCampo(6), QStringLiteral("Note"));
    QCOMPARE(dialog.txtSchedaNote->text(), QStringLiteral("m@r.it"));
    // The row chosen in the grid is the one shown.
    dialog.grdAnteprima->setCurrentCell(1, 0);
    QCOMPARE(dialog.previewRow(), 1);
    QCOMPARE(dialog.txtSchedaNome->text(), QStringLiteral("solo@mail.it"));
    choose(dialog.cboCampo(6), QStringLiteral("(non importare)"));
    QCOMPARE(dialog.txtSchedaNome->text(), QString());
    QVERIFY(dialog.lblSchedaInfo->text().contains(QStringLiteral("non sarà importata")));
}

void TestAddressImport::dialogEncodingChange()
{
    DialogFixture f;
    const QString path = f.write(QStringLiteral("w1252.csv"), cp1252(QStringLiteral("Nome;Rigo01\nNicolò;Città\n")));
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(dialog.cboCodifica->currentText(), QStringLiteral("Windows-1252"));
    QCOMPARE(dialog.grdAnteprima->item(0, 0)->text(), QStringLiteral("Nicolò"));
    // Read as UTF-8 the row is not UTF-8: it is read as Windows-1252, and the dialog says so.
    choose(dialog.cboCodifica, QStringLiteral("UTF-8"));
    QCOMPARE(int(dialog.table().encoding), int(TextEncoding::Utf8));
    QCOMPARE(dialog.grdAnteprima->item(0, 0)->text(), QStringLiteral("Nicolò"));
    QVERIFY(dialog.lblRiepilogo->text().contains(QStringLiteral("come Windows-1252")));
    // As UTF-16 the bytes are no correct text: the warning, in the program's words.
    choose(dialog.cboCodifica, QStringLiteral("UTF-16 LE"));
    QVERIFY(dialog.lblRiepilogo->text().endsWith(TfrmImportaSchede::encodingWarning()));
    QCOMPARE(TfrmImportaSchede::encodingWarning(),
             QStringLiteral("Attenzione: il file contiene caratteri non validi per la codifica scelta; "
                            "sceglierne un'altra."));
    choose(dialog.cboCodifica, QStringLiteral("Windows-1252"));
    QCOMPARE(dialog.grdAnteprima->item(0, 0)->text(), QStringLiteral("Nicolò"));
    QVERIFY(!dialog.lblRiepilogo->text().contains(QStringLiteral("Attenzione")));
    QCOMPARE(cardLines(dialog.cards()), QStringList{"Nicolò||Città||||||"});
}

void TestAddressImport::dialogShowsRowsReadOtherWay()
{
    DialogFixture f;
    QByteArray csv = QStringLiteral("Nome;Città\n").toUtf8();
    for (int i = 1; i <= 30; ++i)
        csv += i == 7 || i == 25 ? QByteArray("Riga ") + QByteArray::number(i) + ";Cant\xF9\n"
                                 : QStringLiteral("Riga %1;Forlì\n").arg(i).toUtf8();
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(f.write(QStringLiteral("misto.csv"), csv)));
    QCOMPARE(dialog.table().otherWayLines, 2);
    QVERIFY(dialog.btnMostraRighe->isVisibleTo(&dialog));
    QCOMPARE(dialog.grdAnteprima->rowCount(), TfrmImportaSchede::PreviewRows);
    // The user looks at the two rows before importing, with their numbers in the file.
    dialog.btnMostraRighe->click();
    QCOMPARE(dialog.grdAnteprima->rowCount(), 2);
    QCOMPARE(dialog.grdAnteprima->verticalHeaderItem(0)->text(), QStringLiteral("7"));
    QCOMPARE(dialog.grdAnteprima->verticalHeaderItem(1)->text(), QStringLiteral("25"));
    QCOMPARE(dialog.grdAnteprima->item(1, 1)->text(), QStringLiteral("Cantù"));
    QCOMPARE(dialog.txtSchedaRigo.at(1)->text(), QStringLiteral("Cantù"));
    dialog.btnMostraRighe->click();
    QCOMPARE(dialog.grdAnteprima->rowCount(), TfrmImportaSchede::PreviewRows);
}

void TestAddressImport::dialogWarnsOfLostCharacters_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("cardsStored");
    QTest::newRow("no: nothing written") << int(ui::MessageAnswer::No) << 0;
    QTest::newRow("yes: written with ?") << int(ui::MessageAnswer::Yes) << 2;
}

void TestAddressImport::dialogWarnsOfLostCharacters()
{
    QFETCH(int, answer);
    QFETCH(int, cardsStored);
    DialogFixture f;
    const QString path =
            f.write(QStringLiteral("nomi.csv"),
                    QStringLiteral("Nome;Rigo01\nŁukasz;Via Ōta\nAnna;Via Ōta 2\nPaolo;Via Roma\n").toUtf8());
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    f.messages.answerNext(ui::MessageAnswer(answer));
    dialog.btnImporta->click();
    QVERIFY(f.messages.count() >= 1);
    const ui::MessageRecorder::Entry warning = f.messages.entries().first();
    QCOMPARE(int(warning.buttons), int(ui::MessageButtons::YesNo));
    QCOMPARE(warning.text, QStringLiteral("Attenzione: alcuni caratteri di 2 schede non possono essere memorizzati in "
                                          "archivio e saranno sostituiti da \"?\":\r\n\r\nŁ Ō\r\n\r\n"
                                          "Si vuole importare comunque?"));
    QVERIFY(TfrmImportaSchede::lostCharactersQuestion(QStringLiteral("Ł"), 1)
                    .startsWith(QStringLiteral("Attenzione: alcuni caratteri di una scheda ")));
    const QStringList stored = archiveCards(f.dir.path());
    if (cardsStored == 0) {
        QVERIFY(stored.isEmpty());
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    } else {
        QCOMPARE(stored.size(), 3);
        QCOMPARE(stored.first(), QStringLiteral("?ukasz||Via ?ta||||||"));
        QCOMPARE(f.window->txtNome->text(), QStringLiteral("?ukasz"));
    }
}

void TestAddressImport::dialogCancelWritesNothing()
{
    DialogFixture f;
    QVERIFY(putExistingCards(ProgramFolder(f.dir.path())));
    const QByteArray before = fileBytes(f.archivePath());
    QByteArray csv("Nome;Rigo01\n");
    for (int i = 0; i < 3000; ++i)
        csv += "Cliente " + QByteArray::number(i) + ";Via " + QByteArray::number(i) + "\n";
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(f.write(QStringLiteral("grande.csv"), csv)));
    dialog.show();
    bool barShown = false;
    connect(&dialog, &TfrmImportaSchede::progressed, &dialog, [&](qint64 done, qint64 total) {
        barShown = dialog.prgImporta->isVisible() && dialog.prgImporta->maximum() == total;
        if (done >= 500) {
            // Esc, as the user would press it, stops the import.
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
    });
    f.messages.clear();
    dialog.btnImporta->click();
    QVERIFY(barShown);
    QCOMPARE(fileBytes(f.archivePath()), before);
    QCOMPARE(f.messages.last().text, TfrmImportaSchede::cancelledMessage());
    QVERIFY(dialog.isVisible()); // Esc stopped the import, not the dialog
    QVERIFY(f.window->lblPosizione->text().isEmpty());
    QVERIFY(!dialog.prgImporta->isVisible());
}

void TestAddressImport::dialogWriteFailureGivesReason_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("reason");
    QTest::newRow("disk full") << "full" << int(AppendResult::Reason::DiskFull);
    QTest::newRow("disk read-only") << "read-only" << int(AppendResult::Reason::ReadOnly);
    QTest::newRow("file size limit") << "size limit" << int(AppendResult::Reason::FileTooLarge);
    QTest::newRow("no write rights") << "rights" << int(AppendResult::Reason::NoPermission);
}

void TestAddressImport::dialogWriteFailureGivesReason()
{
    QFETCH(QString, failure);
    QFETCH(int, reason);
    SmallDisk disk(1 << 20);
    if (!disk.mounted())
        QSKIP(SmallDisk::skipReason());
    const ProgramFolder folder(disk.path());
    QVERIFY(putExistingCards(folder));
    const QString file = folder.file(AddressArchive::fileName());
    const QByteArray before = fileBytes(file);
    QByteArray csv("Nome;Rigo01\n");
    for (int i = 0; i < 2000; ++i)
        csv += "Cliente " + QByteArray::number(i) + ";Via " + QByteArray::number(i) + "\n";
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath(QStringLiteral("rubrica.csv"));
    writeBytes(source, csv);

    DialogFixture f(disk.path());
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(source));
    f.messages.clear();
    if (failure == QLatin1String("full")) {
        QVERIFY(disk.leaveRoom(64 * 1024));
        dialog.btnImporta->click();
    } else if (failure == QLatin1String("read-only")) {
        QVERIFY(disk.setReadOnly());
        dialog.btnImporta->click();
    } else if (failure == QLatin1String("size limit")) {
        FileSizeLimit limit(qint64(100) * TSchedaIndirizzo::RecordSize);
        dialog.btnImporta->click();
    } else {
        AsNobody nobody;
        if (!nobody.active())
            QSKIP(AsNobody::skipReason());
        dialog.btnImporta->click();
    }
    QCOMPARE(f.messages.count(), 1);
    const QString text = f.messages.last().text;
    QCOMPARE(text, TfrmImportaSchede::writeFailureMessage(AppendResult::Reason(reason)));
    QCOMPARE(int(f.messages.last().kind), int(ui::MessageKind::Error));
    if (AppendResult::Reason(reason) == AppendResult::Reason::NoPermission) {
        QCOMPARE(text, archivewindow::accessDeniedMessage());
    } else {
        QVERIFY2(text.startsWith(QStringLiteral("Attenzione: ")) && text.contains(QStringLiteral("\r\n\r\n")),
                 qPrintable(text));
        QVERIFY(text != archivewindow::accessDeniedMessage());
    }
    QCOMPARE(fileBytes(file), before);
    QVERIFY(dialog.btnImporta->isEnabled()); // the user may try again
}

void TestAddressImport::dialogDamagedFileMessage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote never closed")
            << QByteArray("Nome;Rigo01\n\"Rossi;Via\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato");
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                                          16)
                            << QStringLiteral("Attenzione: il file selezionato non è un file di testo CSV o vCard.");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Attenzione: il file selezionato è vuoto.");
    QTest::newRow("vCard cut short")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato");
}

void TestAddressImport::dialogDamagedFileMessage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    // A good file first: a bad one afterwards empties the dialog.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("buono.csv"), "Nome;Rigo01\nAnna;Via Po\n")));
    QVERIFY(dialog.btnImporta->isEnabled());
    f.messages.clear();
    QVERIFY(!dialog.setFile(f.write(QStringLiteral("cattivo.csv"), bytes)));
    QCOMPARE(f.messages.count(), 1);
    QVERIFY2(f.messages.last().text.startsWith(message), qPrintable(f.messages.last().text));
    QCOMPARE(int(f.messages.last().kind), int(ui::MessageKind::Warning));
    QCOMPARE(dialog.grdAnteprima->rowCount(), 0);
    QVERIFY(!dialog.btnImporta->isEnabled());
    QVERIFY(dialog.txtSchedaNome->text().isEmpty());
    dialog.btnImporta->click();
    QVERIFY(!QFileInfo::exists(f.archivePath()));
}

void TestAddressImport::dialogEscapeCloses()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    // The toolbar button opens it.
    bool opened = false;
    QTimer::singleShot(0, qApp, [&] {
        if (auto *shown = qobject_cast<TfrmImportaSchede *>(QApplication::activeModalWidget())) {
            opened = true;
            shown->reject();
        }
    });
    f.window->cmdImporta->click();
    QVERIFY(opened);
}

void TestAddressImport::dialogHeaderRowChoice()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    // No known column names: every row is data and the columns are the lines.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("senza.csv"), "Ragione;Strada\nRossi;Via Po 1\n")));
    QVERIFY(!dialog.chkIntestazione->isChecked());
    QCOMPARE(dialog.grdAnteprima->horizontalHeaderItem(0)->text(), QStringLiteral("Colonna 1"));
    QCOMPARE(dialog.cboCampo(0)->accessibleName(), QStringLiteral("Campo per la colonna 1"));
    QCOMPARE(cardLines(dialog.cards()), (QStringList{"Ragione||Ragione|Strada|||||", "Rossi||Rossi|Via Po 1|||||"}));
    // The user says the first row names the columns.
    dialog.chkIntestazione->setChecked(true);
    QCOMPARE(dialog.grdAnteprima->horizontalHeaderItem(1)->text(), QStringLiteral("Strada"));
    QCOMPARE(dialog.cboCampo(1)->accessibleName(), QStringLiteral("Campo per la colonna Strada"));
    QCOMPARE(dialog.grdAnteprima->rowCount(), 1);
    QCOMPARE(dialog.cards().size(), 0); // nothing is mapped now
    dialog.setColumnTarget(0, TSchedaIndirizzo::Rigo01);
    dialog.setColumnTarget(1, TSchedaIndirizzo::Rigo02);
    QCOMPARE(dialog.cboCampo(1)->currentText(), QStringLiteral("Rigo 2"));
    QCOMPARE(cardLines(dialog.cards()), QStringList{"Rossi||Rossi|Via Po 1|||||"});
    // A vCard has no header row to choose.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("a.vcf"), "BEGIN:VCARD\nFN:Anna\nEND:VCARD\n")));
    QVERIFY(!dialog.chkIntestazione->isEnabled());
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Formato: vCard"));
}

void TestAddressImport::dialogKeyboardAndNames()
{
    DialogFixture f;
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(f.write(QStringLiteral("r.csv"), "Nome;Cognome;Via;Città\nMario;Rossi;Via Po 1;Roma\n")));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.instruction(), dialog.lblIstruzioni->text());
    // Tab goes round every control, the grid's cells never hold it.
    auto walk = [&](bool forward) {
        QList<QWidget *> reached;
        dialog.btnScegli->setFocus();
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
            reached << QApplication::focusWidget();
        }
        return reached;
    };
    for (bool forward : {true, false}) {
        const QList<QWidget *> reached = walk(forward);
        for (QWidget *control : QList<QWidget *>{dialog.btnImporta, dialog.btnChiudi, dialog.btnScegli,
                                                 dialog.cboCodifica, dialog.chkIntestazione, dialog.cboCampo(0),
                                                 dialog.cboCampo(3), dialog.grdAnteprima, dialog.txtSchedaNome})
            QVERIFY2(reached.contains(control), qPrintable(control->objectName()));
    }
    // Each box is in the accessible tree under the dialog, named after its column.
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&dialog);
    QStringList names;
    std::function<void(QAccessibleInterface *)> collect = [&](QAccessibleInterface *node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface *child = node->child(i);
            if (!child)
                continue;
            if (child->role() == QAccessible::ComboBox)
                names << child->text(QAccessible::Name);
            if (child->role() != QAccessible::Table)
                collect(child);
        }
    };
    collect(root);
    for (const char *name : {"Campo per la colonna Nome", "Campo per la colonna Cognome", "Campo per la colonna Via",
                             "Campo per la colonna Città", "Codifica del file"})
        QVERIFY2(names.contains(QLatin1String(name)) || names.contains(QString::fromUtf8(name)), name);
}


QTEST_MAIN(TestAddressImport)
#include "tst_addressimport.moc"
