// Importing CSV and vCard files into the address archive: a large file, the
// batch append under one lock, and the import dialog. The readers are tested
// on their own in tst_cardimport.
#include "FileSizeLimit.h"
#include "ImportFiles.h"
#include "TestFiles.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "archivewindow/ArchiveNotices.h"
#include "cardimport/CardAppender.h"
#include "cardimport/ImportFile.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tavolux;

class TestAddressImport : public QObject
{
    Q_OBJECT
private slots:
    void hundredThousandRows();
    void batchAppendKeepsFileWhenStopped_data();
    void batchAppendKeepsFileWhenStopped();
    void batchAppendOnFullDiskWritesNothing();
    void anotherCopyAppendsAfterTheWholeImport();

    void windowHasImportButton();
    void dialogMapsAndImports();
    void dialogEncodingChange();
    void dialogWarnsOfLostCharacters_data();
    void dialogWarnsOfLostCharacters();
    void dialogCancelWritesNothing();
    void dialogDamagedFileMessage_data();
    void dialogDamagedFileMessage();
    void dialogEscapeCloses();
    void dialogHeaderRowChoice();
};

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
    const importfile::ImportPlan plan = importfile::plan(table, table.proposed);
    QCOMPARE(plan.rows.size(), rows);
    QVERIFY(plan.lostCharacters.isEmpty());
    qint64 lastProgress = 0;
    int calls = 0;
    const AppendResult result = importfile::appendPlanned(folder, table, table.proposed, plan, [&](qint64 done) {
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
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
        QCOMPARE(archive.append(existingCard()), qint64(2));
    }
    const QString file = folder.file(AddressArchive::fileName());
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(tailBytes, 'x'));
    }
    const QByteArray before = fileBytes(file);
    QList<ImportedCard> cards(1000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Nuova %1").arg(i);
    int calls = 0;
    const AppendResult stopped = appendCards(folder, cards, [&](qint64) { return calls++ < stopAfter; });
    QCOMPARE(int(stopped.status), int(AppendResult::Status::Cancelled));
    QCOMPARE(fileBytes(file), before);
    // Done, the new cards go over the trailing piece, right after card 2.
    const AppendResult done = appendCards(folder, cards);
    QCOMPARE(done.firstPosition, qint64(3));
    QCOMPARE(QFileInfo(file).size(), qint64(1002) * TSchedaIndirizzo::RecordSize);
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.at(2).section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 0"));
    QCOMPARE(stored.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("Nuova 999"));
}

void TestAddressImport::batchAppendOnFullDiskWritesNothing()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QString file = folder.file(AddressArchive::fileName());
    const QByteArray before = fileBytes(file);
    QList<ImportedCard> cards(2000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Nuova %1").arg(i);
    AppendResult result;
    {
        // Room for some hundred cards only: the disk fills in the middle of the pass.
        FileSizeLimit full(qint64(500) * TSchedaIndirizzo::RecordSize);
        result = appendCards(folder, cards);
    }
    QCOMPARE(int(result.status), int(AppendResult::Status::Failed));
    QCOMPARE(fileBytes(file), before);
}

void TestAddressImport::anotherCopyAppendsAfterTheWholeImport()
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    QList<ImportedCard> cards(3000);
    for (int i = 0; i < cards.size(); ++i)
        cards[i].card[TSchedaIndirizzo::Nome] = QStringLiteral("Importata %1").arg(i + 1);
    QProcess other;
    bool started = false;
    const AppendResult result = appendCards(folder, cards, [&](qint64) {
        if (!started) {
            // Another copy saves a card while the import is under way.
            started = true;
            other.start(QStringLiteral(STORAGE_DRIVER),
                        {QStringLiteral("append"), dir.path(), QStringLiteral("altra"), QStringLiteral("1")});
            other.waitForStarted();
            QTest::qWait(1500); // time for it to start and reach the archive
        }
        return true;
    });
    QCOMPARE(int(result.status), int(AppendResult::Status::Done));
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(10000));
    QCOMPARE(other.exitCode(), 0);
    // Its card waited for the lock: the imported cards stay together, in file order.
    const QStringList stored = archiveCards(dir.path());
    QCOMPARE(stored.size(), 3001);
    for (int i = 0; i < 3000; ++i)
        QCOMPARE(stored.at(i).section(QLatin1Char('|'), 0, 0), QStringLiteral("Importata %1").arg(i + 1));
    QCOMPARE(stored.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("altra-0"));
}

// ------------------------------------------------------------------ dialog

namespace {

struct DialogFixture
{
    QTemporaryDir dir;
    ui::MessageRecorder messages;
    std::unique_ptr<TfrmArchivio_Indirizzi> window;

    DialogFixture()
    {
        window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(dir.path()));
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

} // namespace

void TestAddressImport::windowHasImportButton()
{
    DialogFixture f;
    TfrmArchivio_Indirizzi &w = *f.window;
    QCoreApplication::processEvents();
    QVERIFY(w.cmdImporta);
    QCOMPARE(w.cmdImporta->parentWidget()->objectName(), QStringLiteral("boxImporta"));
    // Between the export and preview box and the help box; the other boxes keep their order.
    QStringList boxes;
    QList<QWidget *> ordered;
    for (const char *name :
         {"boxArchivio", "boxAllega", "boxStampa", "boxNavigazione", "boxStrumenti", "boxImporta", "boxUscita"})
        ordered << w.findChild<QWidget *>(QLatin1String(name));
    for (int i = 1; i < ordered.size(); ++i)
        QVERIFY2(ordered.at(i - 1)->geometry().right() < ordered.at(i)->geometry().left(),
                 qPrintable(ordered.at(i)->objectName()));
    // No box is squeezed below the room its pictures need.
    for (QWidget *box : ordered) {
        QVERIFY2(box->width() >= box->minimumSizeHint().width(), qPrintable(box->objectName()));
    }
    // The toolbar fits its panel.
    QWidget *panel = w.findChild<QWidget *>(QStringLiteral("panPrincipale"));
    QVERIFY(ordered.last()->geometry().right() <= panel->width());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.cmdImporta, &move);
    QCOMPARE(w.panInfo->text(), QStringLiteral("Importa schede da un file CSV o vCard."));
    QVERIFY(w.cmdImporta->focusPolicy() & Qt::TabFocus);
    QCOMPARE(w.cmdImporta->spokenName(), QStringLiteral("Importa schede da un file CSV o vCard"));
}

void TestAddressImport::dialogMapsAndImports()
{
    DialogFixture f;
    {
        AddressArchive archive{ProgramFolder(f.dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
    const QString path =
            f.write(QStringLiteral("outlook.csv"),
                    QByteArray("First Name,Last Name,Company,Business Street,Business City,Notes,E-mail\r\n"
                               "Mario,Rossi,Rossi Srl,Via Roma 1,Milano,cliente,m@r.it\r\n"
                               "Lucia,Bianchi,,Corso Po 2,Torino,,l@b.it\r\n"));
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(dialog.grdAnteprima->columnCount(), 7);
    QCOMPARE(dialog.grdAnteprima->rowCount(), 3); // the fields, then two rows
    QCOMPARE(dialog.grdAnteprima->item(2, 3)->text(), QStringLiteral("Corso Po 2"));
    auto *box = qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 2));
    QVERIFY(box);
    QCOMPARE(box->currentText(), QStringLiteral("Rigo02"));
    QCOMPARE(qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 6))->currentText(),
             QStringLiteral("(ignora)"));
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Separatore: virgola"));
    QVERIFY(dialog.chkIntestazione->isChecked());
    // The user sends the company to Tipo and the e-mail to the note.
    box->setCurrentIndex(box->findText(QStringLiteral("Tipo")));
    emit box->activated(box->currentIndex());
    auto *mail = qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 6));
    mail->setCurrentIndex(mail->findText(QStringLiteral("Note")));
    emit mail->activated(mail->currentIndex());
    f.messages.clear();
    dialog.show();
    dialog.btnImporta->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, QStringLiteral("Sono state aggiunte 2 schede all'archivio."));
    QCOMPARE(int(f.messages.last().buttons), int(ui::MessageButtons::Ok));
    const QStringList stored = archiveCards(f.dir.path());
    // The company's line stays empty: the lines keep the places they were given.
    QCOMPARE(stored.mid(1), (QStringList{"Mario Rossi|Rossi Srl|Mario Rossi||Via Roma 1|Milano|||cliente m@r.it",
                                         "Lucia Bianchi||Lucia Bianchi||Corso Po 2|Torino|||l@b.it"}));
    // The window shows the first imported card.
    QCOMPARE(f.window->lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(f.window->txtNome->text(), QStringLiteral("Mario Rossi"));
    QCOMPARE(f.window->txtTipo->text(), QStringLiteral("Rossi Srl"));
    QCOMPARE(f.window->txtNote->text(), QStringLiteral("cliente m@r.it"));
}

void TestAddressImport::dialogEncodingChange()
{
    DialogFixture f;
    const QString path = f.write(QStringLiteral("w1252.csv"), cp1252(QStringLiteral("Nome;Rigo01\nNicolò;Città\n")));
    TfrmImportaSchede dialog(*f.window);
    QVERIFY(dialog.setFile(path));
    QCOMPARE(dialog.cboCodifica->currentText(), QStringLiteral("Windows-1252"));
    QCOMPARE(dialog.grdAnteprima->item(1, 0)->text(), QStringLiteral("Nicolò"));
    // Read as UTF-8 the bytes are wrong, and the dialog says so.
    const int utf8 = dialog.cboCodifica->findText(QStringLiteral("UTF-8"));
    dialog.cboCodifica->setCurrentIndex(utf8);
    emit dialog.cboCodifica->activated(utf8);
    QCOMPARE(int(dialog.table().encoding), int(TextEncoding::Utf8));
    QVERIFY(dialog.grdAnteprima->item(1, 0)->text().contains(QChar(0xFFFD)));
    QVERIFY(dialog.lblRiepilogo->text().contains(QStringLiteral("non è corretto")));
    const int w1252 = dialog.cboCodifica->findText(QStringLiteral("Windows-1252"));
    dialog.cboCodifica->setCurrentIndex(w1252);
    emit dialog.cboCodifica->activated(w1252);
    QCOMPARE(dialog.grdAnteprima->item(1, 0)->text(), QStringLiteral("Nicolò"));
    QVERIFY(!dialog.lblRiepilogo->text().contains(QStringLiteral("non è corretto")));
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Nicolò||Città||||||"));
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
    QCOMPARE(warning.text, TfrmImportaSchede::lostCharactersQuestion(QStringLiteral("ŁŌ"), 2));
    QVERIFY(warning.text.contains(QStringLiteral("Ł Ō")));
    QVERIFY(warning.text.contains(QStringLiteral("\"?\"")));
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
    {
        AddressArchive archive{ProgramFolder(f.dir.path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(existingCard()), qint64(1));
    }
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

void TestAddressImport::dialogDamagedFileMessage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote never closed")
            << QByteArray("Nome;Rigo01\n\"Rossi;Via\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato.");
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0",
                                          16)
                            << QStringLiteral("Attenzione: il file selezionato non è un file CSV o vCard.");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Attenzione: il file selezionato è vuoto.");
    QTest::newRow("vCard cut short")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:Anna\n")
            << QStringLiteral("Attenzione: il file selezionato è danneggiato e non può essere importato.");
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
    QCOMPARE(dialog.cards().size(), 2);
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Ragione||Ragione|Strada|||||"));
    // The user says the first row names the columns.
    dialog.chkIntestazione->setChecked(true);
    QCOMPARE(dialog.grdAnteprima->horizontalHeaderItem(1)->text(), QStringLiteral("Strada"));
    QCOMPARE(dialog.grdAnteprima->rowCount(), 2);
    QCOMPARE(dialog.cards().size(), 0); // nothing is mapped now
    dialog.setColumnTarget(0, TSchedaIndirizzo::Rigo01);
    dialog.setColumnTarget(1, TSchedaIndirizzo::Rigo02);
    QCOMPARE(qobject_cast<QComboBox *>(dialog.grdAnteprima->cellWidget(0, 1))->currentText(), QStringLiteral("Rigo02"));
    QCOMPARE(cardLine(dialog.cards().first().card), QStringLiteral("Rossi||Rossi|Via Po 1|||||"));
    // A vCard has no header row to choose.
    QVERIFY(dialog.setFile(f.write(QStringLiteral("a.vcf"), "BEGIN:VCARD\nFN:Anna\nEND:VCARD\n")));
    QVERIFY(!dialog.chkIntestazione->isEnabled());
    QCOMPARE(dialog.lblSeparatore->text(), QStringLiteral("Formato: vCard"));
}

QTEST_MAIN(TestAddressImport)
#include "tst_addressimport.moc"
