#include "labels/TfrmArchivio_Etichette.h"
#include "storage/LabelPageArchive.h"
#include "ui/FocusHighlight.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tavolux;
using ui::MessageButtons;
using ui::MessageKind;

namespace {

const QString kFile = QStringLiteral("Archivio_Etichette.pro");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kDenied = QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                       "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kInserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kFirstLabel = QStringLiteral("Attenzione: per salvare la scheda è necessario importare la prima etichetta.");
constexpr int kRecord = 42168;

// Page n: every slot filled with text naming page, slot and line.
TPaginaEtichette page(int n)
{
    TPaginaEtichette p;
    for (int k = 1; k <= 24; ++k) {
        p.name(k) = QStringLiteral("Pagina %1 etichetta %2").arg(n).arg(k);
        for (int j = 1; j <= 6; ++j)
            p.line(k, j) = QStringLiteral("P%1 E%2 R%3").arg(n).arg(k).arg(j);
    }
    return p;
}

QStringList sixLines(const QString &prefix)
{
    QStringList lines;
    for (int j = 1; j <= 6; ++j)
        lines << QStringLiteral("%1 riga %2").arg(prefix).arg(j);
    return lines;
}

} // namespace

class TestLabelWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsOnAnEmptyNewPage();
    void slotGridIsRowByRow();
    void slotTags_data();
    void slotTags();
    void emptyArchiveNavigation_data();
    void emptyArchiveNavigation();
    void navigation_data();
    void navigation();
    void saveNewPageAppendsThenOverwrites();
    void saveOverwritesOnlyItsPage();
    void storedRecordLayout();
    void saveRefusesEmptyFirstLabel_data();
    void saveRefusesEmptyFirstLabel();
    void deleteInSlotOneThenSaveLeavesArchive();
    void keysInNameField_data();
    void keysInNameField();
    void enterRingAndFocusColour();
    void newPageDropsEverything();
    void fillAndReadSlots();
    void unopenableArchiveKeepsPage_data();
    void unopenableArchiveKeepsPage();
    void positionPastTheEndFails_data();
    void positionPastTheEndFails();
    void statusHints_data();
    void statusHints();
    void closeAndShowAgain_data();
    void closeAndShowAgain();

private:
    void fill(int pages);
    void showStored(int n);
    QByteArray fileBytes() const;
    QString path() const { return m_dir->filePath(kFile); }
    template <typename T = QWidget>
    T *child(const QString &name) const
    {
        T *found = m_window->findChild<T *>(name);
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmArchivio_Etichette> m_window;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestLabelWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_window = std::make_unique<TfrmArchivio_Etichette>(ProgramFolder(m_dir->path()));
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
}

void TestLabelWindow::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestLabelWindow::fill(int pages)
{
    LabelPageArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (int n = 1; n <= pages; ++n)
        QCOMPARE(archive.append(page(n)), qint64(n));
}

void TestLabelWindow::showStored(int n)
{
    LabelPageArchive archive{ProgramFolder(m_dir->path())};
    TPaginaEtichette stored;
    QVERIFY(archive.open() && archive.read(n, stored));
    m_window->showPage(stored, n);
}

QByteArray TestLabelWindow::fileBytes() const
{
    QFile file(path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestLabelWindow::startsOnAnEmptyNewPage()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Tavolux - Gestione Etichette"));
    QCOMPARE(m_window->panInfo->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QVERIFY(m_window->txtNome_E(1)->hasFocus());
    QCOMPARE(m_window->findChildren<QLineEdit *>().size(), 24);
    for (int k = 1; k <= 24; ++k) {
        const QString kk = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        QLineEdit *name = child<QLineEdit>(QStringLiteral("txtNome_E") + kk);
        QCOMPARE(name, m_window->txtNome_E(k));
        QVERIFY(name->isReadOnly());
        QCOMPARE(name->maxLength(), 250);
        QVERIFY(name->text().isEmpty());
        QCOMPARE(child<ui::PictureButton>(QStringLiteral("impIndirizzo_E") + kk), m_window->impIndirizzo_E(k));
        QCOMPARE(m_window->impIndirizzo_E(k)->size(), QSize(22, 22));
        QCOMPARE(m_window->impIndirizzo_E(k)->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(child<QFrame>(QStringLiteral("bkgIndirizzo_") + kk), m_window->bkgIndirizzo(k));
        for (int j = 1; j <= 6; ++j) {
            QLabel *holder = child<QLabel>(QStringLiteral("txtRigo0%1_E%2").arg(j).arg(kk));
            QCOMPARE(holder, m_window->txtRigo_E(k, j));
            QCOMPARE(holder->parentWidget(), m_window->panMemory);
            QVERIFY(!holder->isVisible());
        }
    }
    QVERIFY(!m_window->panMemory->isVisible());
    // Tab runs from slot 1 to slot 24.
    for (int k = 1; k < 24; ++k) {
        QTest::keyClick(m_window->txtNome_E(k), Qt::Key_Tab);
        QVERIFY(m_window->txtNome_E(k + 1)->hasFocus());
    }
    // The five instruction lines, as written.
    const QStringList instructions{
        QStringLiteral("Importare le etichette da stampare dall'archivio degli indirizzi nei campi sottostanti."),
        QStringLiteral("Dopo aver importato le etichette, premere il pulsante con l'icona del dischetto floppy per salvare la pagina."),
        QStringLiteral("Per aggiornare un indirizzo, aprire la relativa scheda nell'archivio degli indirizzi e apportare le modifiche."),
        QStringLiteral("Premere il pulsante Anteprima per visualizzare la pagina delle etichette prima di stamparla su carta."),
        QStringLiteral("Premere il pulsante Stampa per stampare la pagina delle etichette direttamente su carta."),
    };
    for (int i = 0; i < instructions.size(); ++i) {
        QLabel *line = child<QLabel>(QStringLiteral("lblIstruzione%1").arg(i + 1));
        QCOMPARE(line->text(), instructions.at(i));
        QVERIFY(line->styleSheet().contains(i < 3 ? QStringLiteral("#8b0000") : QStringLiteral("#505050")));
    }
    // Toolbar order, left to right, with the position label between back and
    // forward; the mailing button after the two printing ones.
    const QList<QWidget *> order{m_window->cmdNuovo, m_window->cmdSalva, m_window->cmdAnteprima, m_window->cmdStampa,
                                 m_window->cmdSchede, m_window->cmdPrimo, m_window->cmdIndietro, m_window->lblPosizione,
                                 m_window->cmdAvanti, m_window->cmdUltimo, m_window->cmdGuida, m_window->cmdEsci};
    for (int i = 1; i < order.size(); ++i)
        QVERIFY2(order.at(i - 1)->mapTo(m_window.get(), QPoint()).x() < order.at(i)->mapTo(m_window.get(), QPoint()).x(),
                 qPrintable(order.at(i)->objectName()));
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!QFileInfo::exists(path()));
}

void TestLabelWindow::slotGridIsRowByRow()
{
    const QPoint origin = m_window->bkgIndirizzo(1)->pos();
    for (int k = 1; k <= 24; ++k) {
        QFrame *box = m_window->bkgIndirizzo(k);
        QCOMPARE(box->size(), QSize(310, 38));
        QCOMPARE(box->pos() - origin, QPoint(((k - 1) % 3) * 318, ((k - 1) / 3) * 46));
        QLineEdit *name = m_window->txtNome_E(k);
        ui::PictureButton *import = m_window->impIndirizzo_E(k);
        QCOMPARE(name->parentWidget(), box);
        QCOMPARE(import->parentWidget(), box);
        QVERIFY(import->x() >= name->geometry().right());
        QVERIFY(box->rect().contains(import->geometry()));
        QVERIFY(box->isVisible() && name->isVisible() && import->isVisible());
    }
}

void TestLabelWindow::slotTags_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("slot");
    QTest::newRow("first") << "etichetta_E01" << 1;
    QTest::newRow("seventh") << "etichetta_E07" << 7;
    QTest::newRow("last") << "etichetta_E24" << 24;
    QTest::newRow("zero") << "etichetta_E00" << 0;
    QTest::newRow("past the page") << "etichetta_E25" << 0;
    QTest::newRow("one digit") << "etichetta_E1" << 0;
    QTest::newRow("attachments tag") << "archivio_indirizzi" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestLabelWindow::slotTags()
{
    QFETCH(QString, tag);
    QFETCH(int, slot);
    QCOMPARE(TfrmArchivio_Etichette::slotOfTag(tag), slot);
    if (slot > 0)
        QCOMPARE(TfrmArchivio_Etichette::slotTag(slot), tag);
}

void TestLabelWindow::emptyArchiveNavigation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("from");      // position shown before
    QTest::addColumn<bool>("message");      // the empty-archive notice
    QTest::addColumn<QString>("positionAfter");
    QTest::newRow("first") << "cmdPrimo" << "" << true << "";
    QTest::newRow("last") << "cmdUltimo" << "" << true << "";
    QTest::newRow("next") << "cmdAvanti" << "" << true << "";
    QTest::newRow("previous") << "cmdIndietro" << "" << true << "";
    QTest::newRow("first keeps position") << "cmdPrimo" << "2" << true << "2";
    QTest::newRow("next empties position") << "cmdAvanti" << "2" << true << "";
    QTest::newRow("previous keeps position") << "cmdIndietro" << "2" << true << "2";
    QTest::newRow("previous from 1 is silent") << "cmdIndietro" << "1" << false << "1";
}

void TestLabelWindow::emptyArchiveNavigation()
{
    QFETCH(QString, button);
    QFETCH(QString, from);
    QFETCH(bool, message);
    QFETCH(QString, positionAfter);
    QVERIFY(!QFileInfo::exists(path()));
    m_window->fillSlot(3, QStringLiteral("Bianchi"), sixLines(QStringLiteral("b")));
    m_window->lblPosizione->setText(from);
    child<ui::PictureButton>(button)->click();
    QCOMPARE(m_messages->count(), message ? 1 : 0);
    if (message) {
        QCOMPARE(m_messages->last().text, kEmpty);
        QCOMPARE(m_messages->last().kind, MessageKind::Information);
        QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    }
    QCOMPARE(m_window->lblPosizione->text(), positionAfter);
    QCOMPARE(m_window->txtNome_E(3)->text(), QStringLiteral("Bianchi"));
    // Any action creates the archive, empty.
    QVERIFY(QFileInfo::exists(path()));
    QCOMPARE(QFileInfo(path()).size(), 0);
}

void TestLabelWindow::navigation_data()
{
    QTest::addColumn<QString>("from"); // "" for a new page
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("to");
    QTest::newRow("first") << "2" << "cmdPrimo" << "1";
    QTest::newRow("last") << "1" << "cmdUltimo" << "3";
    QTest::newRow("next") << "1" << "cmdAvanti" << "2";
    QTest::newRow("previous") << "3" << "cmdIndietro" << "2";
    QTest::newRow("next from new") << "" << "cmdAvanti" << "1";
    QTest::newRow("previous from new") << "" << "cmdIndietro" << "1";
    QTest::newRow("first from new") << "" << "cmdPrimo" << "1";
    QTest::newRow("last from new") << "" << "cmdUltimo" << "3";
    QTest::newRow("next at last") << "3" << "cmdAvanti" << "3";
    QTest::newRow("previous at first") << "1" << "cmdIndietro" << "1";
    QTest::newRow("padded position") << " 2 " << "cmdAvanti" << "3";
}

void TestLabelWindow::navigation()
{
    QFETCH(QString, from);
    QFETCH(QString, button);
    QFETCH(QString, to);
    fill(3);
    const QString shown = from.trimmed();
    if (!shown.isEmpty())
        showStored(shown.toInt());
    m_window->lblPosizione->setText(from);
    // An unsaved change: navigation drops it without asking, except at the ends.
    m_window->emptySlot(5);
    m_window->fillSlot(9, QStringLiteral("importata"), sixLines(QStringLiteral("i")));
    const QByteArray before = fileBytes();
    child<ui::PictureButton>(button)->click();
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(fileBytes(), before);
    if (shown != to) {
        QCOMPARE(m_window->lblPosizione->text(), to);
        QCOMPARE(m_window->buildPage().values, page(to.toInt()).values);
    } else {
        QCOMPARE(m_window->lblPosizione->text(), from);
        QVERIFY(m_window->txtNome_E(5)->text().isEmpty());
        QCOMPARE(m_window->txtNome_E(9)->text(), QStringLiteral("importata"));
        QCOMPARE(m_window->lineText(9, 6), QStringLiteral("i riga 6"));
    }
}

void TestLabelWindow::saveNewPageAppendsThenOverwrites()
{
    m_window->fillSlot(1, QStringLiteral("Rossi"), sixLines(QStringLiteral("r")));
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kInserted);
    QCOMPARE(m_messages->last().kind, MessageKind::Information);
    QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("1"));
    QCOMPARE(QFileInfo(path()).size(), kRecord);
    // Only label 1 is filled: the 167 other fields are empty.
    const QByteArray record = fileBytes();
    for (int field = 0; field < 168; ++field) {
        const bool slotOne = field == 0 || (field >= 24 && field < 30);
        QCOMPARE(quint8(record.at(field * 251)) > 0, slotOne);
    }

    m_window->fillSlot(2, QStringLiteral("Verdi"), sixLines(QStringLiteral("v")));
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->count(), 2);
    QCOMPARE(m_messages->last().text, kUpdated);
    QCOMPARE(m_messages->last().kind, MessageKind::Information);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("1"));
    QCOMPARE(QFileInfo(path()).size(), kRecord);
    LabelPageArchive archive{ProgramFolder(m_dir->path())};
    TPaginaEtichette stored;
    QVERIFY(archive.open() && archive.read(1, stored));
    QCOMPARE(stored.name(1), QStringLiteral("Rossi"));
    QCOMPARE(stored.name(2), QStringLiteral("Verdi"));
    QCOMPARE(stored.line(2, 6), QStringLiteral("v riga 6"));
}

void TestLabelWindow::saveOverwritesOnlyItsPage()
{
    fill(3);
    const QByteArray before = fileBytes();
    showStored(2);
    m_window->emptySlot(7);
    m_window->fillSlot(24, QStringLiteral("Ultima"), {QStringLiteral("sola riga")});
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->last().text, kUpdated);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("2"));
    const QByteArray after = fileBytes();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(kRecord), before.left(kRecord));
    QCOMPARE(after.mid(2 * kRecord), before.mid(2 * kRecord));
    const TPaginaEtichette stored = TPaginaEtichette::fromRecord(after.constData() + kRecord);
    TPaginaEtichette expected = page(2);
    expected.name(7).clear();
    for (int j = 1; j <= 6; ++j)
        expected.line(7, j).clear();
    expected.name(24) = QStringLiteral("Ultima");
    expected.line(24, 1) = QStringLiteral("sola riga");
    for (int j = 2; j <= 6; ++j)
        expected.line(24, j).clear();
    QCOMPARE(stored.values, expected.values);
}

void TestLabelWindow::storedRecordLayout()
{
    m_window->fillSlot(1, QStringLiteral("Uno"), {QStringLiteral("Via Uno")});
    m_window->fillSlot(2, QStringLiteral("  Due  "), {QStringLiteral("Via Due")});
    m_window->fillSlot(24, QStringLiteral("Ventiquattro"),
                       {QString(), QString(), QString(), QString(), QString(), QStringLiteral("Fine")});
    m_window->cmdSalva->click();
    const QByteArray record = fileBytes();
    QCOMPARE(record.size(), kRecord);
    auto field = [&](int offset) { return record.mid(offset + 1, quint8(record.at(offset))); };
    QCOMPARE(field(0), QByteArray("Uno"));
    QCOMPARE(field(251), QByteArray("Due")); // stored trimmed
    QCOMPARE(field(6024), QByteArray("Via Uno"));
    QCOMPARE(field(7530), QByteArray("Via Due"));
    QCOMPARE(field(23 * 251), QByteArray("Ventiquattro"));
    QCOMPARE(field(kRecord - 251), QByteArray("Fine"));
}

void TestLabelWindow::saveRefusesEmptyFirstLabel_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("    ");
    QTest::newRow("tab and blanks") << QStringLiteral(" \t ");
}

void TestLabelWindow::saveRefusesEmptyFirstLabel()
{
    QFETCH(QString, name);
    m_window->fillSlot(1, name, sixLines(QStringLiteral("a")));
    m_window->fillSlot(2, QStringLiteral("Seconda"), sixLines(QStringLiteral("b")));
    m_window->txtNome_E(2)->setFocus();
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kFirstLabel);
    QCOMPARE(m_messages->last().kind, MessageKind::Warning);
    QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    QVERIFY(m_window->txtNome_E(1)->hasFocus());
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    // The archive is not even opened.
    QVERIFY(!QFileInfo::exists(path()));
}

void TestLabelWindow::deleteInSlotOneThenSaveLeavesArchive()
{
    fill(2);
    const QByteArray before = fileBytes();
    m_window->cmdPrimo->click();
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("1"));
    QTest::keyClick(m_window->txtNome_E(1), Qt::Key_Delete);
    QVERIFY(m_window->txtNome_E(1)->text().isEmpty());
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kFirstLabel);
    QCOMPARE(fileBytes(), before);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("1"));
}

void TestLabelWindow::keysInNameField_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("empties");
    QTest::newRow("backspace in 7") << 7 << int(Qt::Key_Backspace) << true;
    QTest::newRow("delete in 7") << 7 << int(Qt::Key_Delete) << true;
    QTest::newRow("backspace in 24") << 24 << int(Qt::Key_Backspace) << true;
    QTest::newRow("letter in 7") << 7 << int(Qt::Key_A) << false;
    QTest::newRow("space in 7") << 7 << int(Qt::Key_Space) << false;
}

void TestLabelWindow::keysInNameField()
{
    QFETCH(int, slot);
    QFETCH(int, key);
    QFETCH(bool, empties);
    fill(1);
    m_window->cmdUltimo->click();
    QLineEdit *field = m_window->txtNome_E(slot);
    field->setFocus();
    QTest::keyClick(field, Qt::Key(key));
    TPaginaEtichette expected = page(1);
    if (empties) {
        expected.name(slot).clear();
        for (int j = 1; j <= 6; ++j)
            expected.line(slot, j).clear();
    }
    QCOMPARE(m_window->buildPage().values, expected.values);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("1"));
    // The emptied slot reaches the same page at the next save.
    m_window->cmdSalva->click();
    QCOMPARE(m_messages->last().text, kUpdated);
    LabelPageArchive archive{ProgramFolder(m_dir->path())};
    TPaginaEtichette stored;
    QVERIFY(archive.open() && archive.read(1, stored));
    QCOMPARE(archive.count(), qint64(1));
    QCOMPARE(stored.values, expected.values);
}

void TestLabelWindow::enterRingAndFocusColour()
{
    m_window->txtNome_E(1)->setFocus();
    for (int k = 1; k <= 24; ++k) {
        QLineEdit *field = m_window->txtNome_E(k);
        QVERIFY2(field->hasFocus(), qPrintable(field->objectName()));
        QCOMPARE(ui::FocusHighlight::currentBackground(field), QColor(0xFF, 0xFF, 0x00));
        QTest::keyClick(field, k % 2 ? Qt::Key_Return : Qt::Key_Enter);
        QCOMPARE(ui::FocusHighlight::currentBackground(field), QColor(0xE4, 0xE4, 0xE4));
    }
    QVERIFY(m_window->txtNome_E(1)->hasFocus());
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!QFileInfo::exists(path()));
}

void TestLabelWindow::newPageDropsEverything()
{
    fill(2);
    m_window->cmdUltimo->click();
    m_window->txtNome_E(13)->setFocus();
    m_window->cmdNuovo->click();
    QCOMPARE(m_window->buildPage().values, TPaginaEtichette().values);
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QVERIFY(m_window->txtNome_E(1)->hasFocus());
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(QFileInfo(path()).size(), 2 * kRecord);
}

void TestLabelWindow::fillAndReadSlots()
{
    // What the import dialog writes and the printing dialogs read, slot by slot.
    for (int k = 1; k <= 24; ++k)
        m_window->fillSlot(k, QStringLiteral("nome %1").arg(k), sixLines(QStringLiteral("e%1").arg(k)));
    const std::function<QString(int, int)> read = m_window->lineReader();
    for (int k = 1; k <= 24; ++k)
        for (int j = 1; j <= 6; ++j)
            QCOMPARE(read(k, j), QStringLiteral("e%1 riga %2").arg(k).arg(j));
    // Fewer lines empty the rest of the slot.
    m_window->fillSlot(4, QStringLiteral("corta"), {QStringLiteral("una")});
    QCOMPARE(read(4, 1), QStringLiteral("una"));
    QVERIFY(read(4, 2).isEmpty() && read(4, 6).isEmpty());
    QCOMPARE(read(5, 1), QStringLiteral("e5 riga 1"));

    m_window->cmdSalva->click();
    m_window->cmdNuovo->click();
    QVERIFY(read(12, 3).isEmpty());
    m_window->cmdPrimo->click();
    QCOMPARE(read(12, 3), QStringLiteral("e12 riga 3"));
    QCOMPARE(m_window->txtNome_E(4)->text(), QStringLiteral("corta"));
    QVERIFY(read(4, 6).isEmpty());
}

void TestLabelWindow::unopenableArchiveKeepsPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << "cmdSalva";
    QTest::newRow("first") << "cmdPrimo";
    QTest::newRow("last") << "cmdUltimo";
    QTest::newRow("next") << "cmdAvanti";
    QTest::newRow("previous") << "cmdIndietro";
}

void TestLabelWindow::unopenableArchiveKeepsPage()
{
    QFETCH(QString, button);
    // The program folder runs through a regular file, so even root cannot open the archive.
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmArchivio_Etichette window(ProgramFolder(m_dir->filePath(QStringLiteral("blocker"))));
    window.show();
    window.showPage(page(7), 2);
    window.findChild<ui::PictureButton *>(button)->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kDenied);
    QCOMPARE(m_messages->last().kind, MessageKind::Error);
    QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    QCOMPARE(window.lblPosizione->text(), QStringLiteral("2"));
    QCOMPARE(window.buildPage().values, page(7).values);
}

void TestLabelWindow::positionPastTheEndFails_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("save") << "cmdSalva";
    QTest::newRow("previous") << "cmdIndietro";
}

void TestLabelWindow::positionPastTheEndFails()
{
    // A page number beyond the archive (replaced by a shorter one meanwhile)
    // is a failure: nothing is written past the end, the page stays shown.
    QFETCH(QString, button);
    fill(3);
    const QByteArray before = fileBytes();
    m_window->showPage(page(9), 9);
    child<ui::PictureButton>(button)->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kDenied);
    QCOMPARE(m_messages->last().kind, MessageKind::Error);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("9"));
    QCOMPARE(m_window->buildPage().values, page(9).values);
    QCOMPARE(fileBytes(), before);
}

void TestLabelWindow::statusHints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint"); // "=" : the status text stays as it was
    QTest::newRow("cmdNuovo") << "cmdNuovo" << "Prepara la schermata per la registrazione di una nuova scheda.";
    QTest::newRow("cmdSalva") << "cmdSalva" << "Salva la scheda corrente.";
    QTest::newRow("cmdAnteprima") << "cmdAnteprima" << "Visualizza l'anteprima di stampa della pagina delle etichette.";
    QTest::newRow("cmdStampa") << "cmdStampa" << "Stampa la pagina delle etichette.";
    QTest::newRow("cmdSchede") << "cmdSchede" << "Stampa le etichette delle schede scelte dall'archivio degli indirizzi.";
    QTest::newRow("cmdPrimo") << "cmdPrimo" << "Visualizza la prima scheda in archivio.";
    QTest::newRow("cmdIndietro") << "cmdIndietro" << "Visualizza la scheda precedente in archivio.";
    QTest::newRow("cmdAvanti") << "cmdAvanti" << "Visualizza la scheda successiva in archivio.";
    QTest::newRow("cmdUltimo") << "cmdUltimo" << "Visualizza l'ultima scheda in archivio.";
    QTest::newRow("cmdGuida") << "cmdGuida" << "Visualizza la guida in linea.";
    QTest::newRow("cmdEsci") << "cmdEsci" << "Esci da questa schermata.";
    QTest::newRow("impIndirizzo_E01") << "impIndirizzo_E01" << "Importa etichetta da archivio indirizzi.";
    QTest::newRow("impIndirizzo_E24") << "impIndirizzo_E24" << "Importa etichetta da archivio indirizzi.";
    QTest::newRow("window") << "TfrmArchivio_Etichette" << "";
    QTest::newRow("content panel") << "panPrincipale" << "";
    QTest::newRow("toolbar tile") << "boxNavigazione" << "";
    QTest::newRow("mailing tile") << "boxSchede" << "";
    QTest::newRow("body") << "panCorpo" << "";
    QTest::newRow("status bar") << "panStato" << "";
    QTest::newRow("status text") << "panInfo" << "";
    QTest::newRow("slot box 1") << "bkgIndirizzo_01" << "";
    QTest::newRow("slot box 24") << "bkgIndirizzo_24" << "";
    QTest::newRow("slot grid") << "panEtichette" << "";
    QTest::newRow("instructions") << "panIstruzioni" << "";
    QTest::newRow("instruction picture") << "imgEtichette" << "";
    QTest::newRow("instruction line") << "lblIstruzione4" << "";
    QTest::newRow("hidden panel") << "panMemory" << "";
    QTest::newRow("name field") << "txtNome_E05" << "=";
    QTest::newRow("position label") << "lblPosizione" << "=";
    QTest::newRow("title strip") << "lblTitoloStampa" << "=";
}

void TestLabelWindow::statusHints()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    const QString before = QStringLiteral("testo precedente");
    m_window->panInfo->setText(before);
    QWidget *target = control == m_window->objectName() ? m_window.get() : child(control);
    QVERIFY(target);
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QCOMPARE(m_window->panInfo->text(), hint == QLatin1String("=") ? before : hint);
}

void TestLabelWindow::closeAndShowAgain_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("exit button") << false;
    QTest::newRow("close box") << true;
}

void TestLabelWindow::closeAndShowAgain()
{
    QFETCH(bool, closeBox);
    fill(2);
    int closed = 0;
    connect(m_window.get(), &TfrmArchivio_Etichette::closed, this, [&] { ++closed; });
    m_window->cmdUltimo->click();
    m_window->fillSlot(3, QStringLiteral("non salvata"), sixLines(QStringLiteral("n")));
    const QByteArray before = fileBytes();
    if (closeBox)
        m_window->close();
    else
        m_window->cmdEsci->click();
    QCOMPARE(closed, 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(fileBytes(), before);

    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QCOMPARE(m_window->buildPage().values, TPaginaEtichette().values);
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QVERIFY(m_window->txtNome_E(1)->hasFocus());
}

QTEST_MAIN(TestLabelWindow)
#include "tst_labelwindow.moc"
