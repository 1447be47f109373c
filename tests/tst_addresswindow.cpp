#include "addresses/TfrmArchivio_Indirizzi.h"
#include "storage/AddressArchive.h"
#include "ui/FocusHighlight.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace tavolux;
using ui::MessageButtons;
using ui::MessageKind;

namespace {

const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kDenied = QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                       "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma.");

TSchedaIndirizzo card(int n)
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = QStringLiteral("Nome %1").arg(n);
    c[TSchedaIndirizzo::Tipo] = QStringLiteral("Tipo %1").arg(n);
    for (int line = 0; line < 6; ++line)
        c[TSchedaIndirizzo::Rigo01 + line] = QStringLiteral("Riga %1.%2").arg(n).arg(line + 1);
    c[TSchedaIndirizzo::Note] = QStringLiteral("Nota %1").arg(n);
    c[TSchedaIndirizzo::File01] = QStringLiteral("doc%1.pdf").arg(n);
    c[TSchedaIndirizzo::Desc03] = QStringLiteral("descrizione %1").arg(n);
    return c;
}

} // namespace

class TestAddressWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsOnAnEmptyNewCard();
    void emptyArchiveNavigation_data();
    void emptyArchiveNavigation();
    void navigation_data();
    void navigation();
    void saveAppendsThenOverwrites();
    void saveOverwritesCardInPlace();
    void saveBeyondTheEndWritesNothing();
    void fullDiskGivesAccessDeniedAndKeepsCards();
    void saveWhileAnotherCopyHoldsTheFile();
    void saveRefusesBlankName_data();
    void saveRefusesBlankName();
    void duplicate();
    void duplicateOfNewCardIsRefused();
    void savedTextComesBackTrimmed();
    void unopenableArchiveKeepsShownCard_data();
    void unopenableArchiveKeepsShownCard();
    void enterRingAndFocusColours();
    void statusHints();
    void closeEmitsClosed();

private:
    void fill(int cards);
    void press(ui::PictureButton *button) { button->click(); }
    qint64 count();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_window;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestAddressWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(m_dir->path()));
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
}

void TestAddressWindow::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestAddressWindow::fill(int cards)
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (int n = 1; n <= cards; ++n)
        QCOMPARE(archive.append(card(n)), qint64(n));
}

qint64 TestAddressWindow::count()
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    return archive.open() ? archive.count() : -1;
}

void TestAddressWindow::startsOnAnEmptyNewCard()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Tavolux - Archivio Indirizzi"));
    QCOMPARE(m_window->panInfo->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QVERIFY(m_window->txtNome->hasFocus());
    for (auto *field : m_window->findChildren<QLineEdit *>())
        QCOMPARE(field->maxLength(), 250);
    // A hidden window keeps what it holds; showing it again starts a new card.
    fill(2);
    press(m_window->cmdUltimo);
    m_window->hide();
    m_window->show();
    QVERIFY(m_window->txtNome->text().isEmpty());
    QVERIFY(m_window->lblFile01->text().isEmpty());
    QVERIFY(m_window->lblPosizione->text().isEmpty());
}

void TestAddressWindow::emptyArchiveNavigation_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("first") << "cmdPrimo";
    QTest::newRow("previous") << "cmdIndietro";
    QTest::newRow("next") << "cmdAvanti";
    QTest::newRow("last") << "cmdUltimo";
}

void TestAddressWindow::emptyArchiveNavigation()
{
    QFETCH(QString, button);
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
    press(m_window->findChild<ui::PictureButton *>(button));
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kEmpty);
    QCOMPARE(m_messages->last().kind, MessageKind::Information);
    QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    // The first opening creates the archive empty.
    QCOMPARE(QFileInfo(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))).size(), 0);
}

void TestAddressWindow::navigation_data()
{
    QTest::addColumn<QString>("from"); // position shown before: "" for a new card
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("to");
    QTest::newRow("first") << "2" << "cmdPrimo" << "1";
    QTest::newRow("last") << "1" << "cmdUltimo" << "3";
    QTest::newRow("next") << "1" << "cmdAvanti" << "2";
    QTest::newRow("previous") << "3" << "cmdIndietro" << "2";
    QTest::newRow("next from new") << "" << "cmdAvanti" << "1";
    QTest::newRow("previous from new") << "" << "cmdIndietro" << "1";
    QTest::newRow("next at last") << "3" << "cmdAvanti" << "3";
    QTest::newRow("previous at first") << "1" << "cmdIndietro" << "1";
}

void TestAddressWindow::navigation()
{
    QFETCH(QString, from);
    QFETCH(QString, button);
    QFETCH(QString, to);
    fill(3);
    if (!from.isEmpty()) {
        AddressArchive archive{ProgramFolder(m_dir->path())};
        TSchedaIndirizzo shown;
        QVERIFY(archive.open() && archive.read(from.toInt(), shown));
        m_window->showCard(shown, from.toInt());
    }
    m_window->txtNome->setText(QStringLiteral("typed, not saved"));
    press(m_window->findChild<ui::PictureButton *>(button));
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(m_window->lblPosizione->text(), to);
    const bool moved = from != to;
    if (moved) {
        const TSchedaIndirizzo expected = card(to.toInt());
        QCOMPARE(m_window->buildCard().values, expected.values);
    } else {
        // At either end nothing changes, the typed text included.
        QCOMPARE(m_window->txtNome->text(), QStringLiteral("typed, not saved"));
    }
}

void TestAddressWindow::saveAppendsThenOverwrites()
{
    fill(4);
    m_window->txtNome->setText(QStringLiteral("Nuova"));
    m_window->txtRigo03->setText(QStringLiteral("Via Nuova 1"));
    press(m_window->cmdSalva);
    QCOMPARE(m_messages->last().text, QStringLiteral("La scheda corrente è stata inserita in archivio."));
    QCOMPARE(m_messages->last().kind, MessageKind::Information);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("5"));
    QCOMPARE(count(), 5);

    m_window->txtRigo03->setText(QStringLiteral("Via Cambiata 2"));
    press(m_window->cmdSalva);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("5"));
    QCOMPARE(count(), 5);
    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo stored;
    QVERIFY(archive.open() && archive.read(5, stored));
    QCOMPARE(stored[TSchedaIndirizzo::Rigo03], QStringLiteral("Via Cambiata 2"));
}

void TestAddressWindow::saveOverwritesCardInPlace()
{
    fill(40);
    const QString path = m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo c;
    QVERIFY(archive.open() && archive.read(17, c));
    archive.close();
    m_window->showCard(c, 17);
    m_window->txtNote->setText(QStringLiteral("cambiata"));
    m_window->lblFile02->setText(QStringLiteral("nuovo.doc"));
    press(m_window->cmdSalva);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(16 * 3765), before.left(16 * 3765));
    QCOMPARE(after.mid(17 * 3765), before.mid(17 * 3765));
    const TSchedaIndirizzo stored = TSchedaIndirizzo::fromRecord(after.constData() + 16 * 3765);
    QCOMPARE(stored[TSchedaIndirizzo::Note], QStringLiteral("cambiata"));
    QCOMPARE(stored[TSchedaIndirizzo::File02], QStringLiteral("nuovo.doc"));
    QCOMPARE(stored[TSchedaIndirizzo::File01], QStringLiteral("doc17.pdf"));
}

void TestAddressWindow::saveBeyondTheEndWritesNothing()
{
    fill(2);
    m_window->showCard(card(9), 5);
    press(m_window->cmdSalva);
    QCOMPARE(m_messages->last().text, kDenied);
    QCOMPARE(count(), 2);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("5"));
}

void TestAddressWindow::saveWhileAnotherCopyHoldsTheFile()
{
    fill(2);
    m_window->first();
    const QString path = m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    QProcess holder;
    holder.start(QStringLiteral(STORAGE_DRIVER), {QStringLiteral("hold"), path, QString::number(RecordFile::LockWaitMs + 4000)});
    QVERIFY(holder.waitForReadyRead(10000));
    const int before = m_messages->count();
    m_window->txtNome->setText(QStringLiteral("cambiata"));
    QElapsedTimer timer;
    timer.start();
    press(m_window->cmdSalva);
    const qint64 waited = timer.elapsed();
    holder.kill();
    holder.waitForFinished();
    // The save gives up after the wait limit, with the usual box.
    QVERIFY2(waited < RecordFile::LockWaitMs + 2000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
    QCOMPARE(m_messages->count(), before + 1);
    QCOMPARE(m_messages->last().text, kDenied);
    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo card;
    QVERIFY(archive.open() && archive.read(1, card));
    QVERIFY(card[TSchedaIndirizzo::Nome] != QStringLiteral("cambiata"));
}

void TestAddressWindow::fullDiskGivesAccessDeniedAndKeepsCards()
{
    fill(3);
    const QString path = m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    // A file size limit makes the append fail part way, as a full disk does.
    struct rlimit old;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = before.size() + 100;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    m_window->txtNome->setText(QStringLiteral("non entra"));
    press(m_window->cmdSalva);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QCOMPARE(m_messages->last().text, kDenied);
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("non entra"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(before.size()), before);
    QCOMPARE(count(), 3);
    // With room again, the same save appends card 4 over the piece left behind.
    press(m_window->cmdSalva);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("4"));
    QCOMPARE(QFileInfo(path).size(), 4 * 3765);
}

void TestAddressWindow::saveRefusesBlankName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("    ");
    QTest::newRow("tab") << QStringLiteral("\t");
}

void TestAddressWindow::saveRefusesBlankName()
{
    QFETCH(QString, name);
    m_window->txtNome->setText(name);
    m_window->txtRigo01->setText(QStringLiteral("Via Roma"));
    m_window->txtRigo01->setFocus();
    press(m_window->cmdSalva);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il nome dell'etichetta."));
    QCOMPARE(m_messages->last().kind, MessageKind::Warning);
    QVERIFY(m_window->txtNome->hasFocus());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
}

void TestAddressWindow::duplicate()
{
    fill(3);
    press(m_window->cmdAvanti);
    press(m_window->cmdAvanti);
    press(m_window->cmdAvanti);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("3"));
    press(m_window->cmdDuplica);
    QCOMPARE(m_messages->last().kind, MessageKind::Information);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                            "Al termine premere Salva per inserire la scheda in archivio."));
    QVERIFY(m_window->lblPosizione->text().isEmpty());
    QVERIFY(m_window->lblFile01->text().isEmpty());
    QVERIFY(m_window->lblDesc03->text().isEmpty());
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("Nome 3"));
    QCOMPARE(m_window->txtRigo06->text(), QStringLiteral("Riga 3.6"));
    QVERIFY(m_window->txtNome->hasFocus());

    press(m_window->cmdSalva);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("4"));
    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo third, fourth;
    QVERIFY(archive.open() && archive.read(3, third) && archive.read(4, fourth));
    QCOMPARE(third.values, card(3).values);
    TSchedaIndirizzo expected = card(3);
    expected[TSchedaIndirizzo::File01].clear();
    expected[TSchedaIndirizzo::Desc03].clear();
    QCOMPARE(fourth.values, expected.values);
}

void TestAddressWindow::duplicateOfNewCardIsRefused()
{
    m_window->txtNome->setText(QStringLiteral("x"));
    press(m_window->cmdDuplica);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, MessageKind::Warning);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che questa è stata inserita in archivio."));
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("x"));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
}

void TestAddressWindow::savedTextComesBackTrimmed()
{
    m_window->txtNome->setText(QStringLiteral("   Bianchi – Caffè  "));
    m_window->txtNote->setText(QStringLiteral("\tnota "));
    press(m_window->cmdSalva);
    press(m_window->cmdNuovo);
    QVERIFY(m_window->txtNome->text().isEmpty());
    press(m_window->cmdPrimo);
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("Bianchi – Caffè"));
    QCOMPARE(m_window->txtNote->text(), QStringLiteral("nota"));
}

void TestAddressWindow::unopenableArchiveKeepsShownCard_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("positionAfter");
    QTest::newRow("save") << "cmdSalva" << "2";
    QTest::newRow("first") << "cmdPrimo" << "2";
    QTest::newRow("last") << "cmdUltimo" << "2";
    QTest::newRow("next") << "cmdAvanti" << "2";
    QTest::newRow("previous") << "cmdIndietro" << "2";
    QTest::newRow("duplicate") << "cmdDuplica" << "";
}

void TestAddressWindow::unopenableArchiveKeepsShownCard()
{
    QFETCH(QString, button);
    QFETCH(QString, positionAfter);
    // The program folder runs through a regular file, so even root cannot open it.
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmArchivio_Indirizzi window(ProgramFolder(m_dir->filePath(QStringLiteral("blocker"))));
    window.show();
    window.showCard(card(7), 2);
    press(window.findChild<ui::PictureButton *>(button));
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kDenied);
    QCOMPARE(m_messages->last().kind, MessageKind::Error);
    QCOMPARE(m_messages->last().buttons, MessageButtons::OkCancel);
    QCOMPARE(window.lblPosizione->text(), positionAfter);
    QCOMPARE(window.txtNome->text(), QStringLiteral("Nome 7"));
    QCOMPARE(window.txtRigo06->text(), QStringLiteral("Riga 7.6"));
}

void TestAddressWindow::enterRingAndFocusColours()
{
    const QList<QLineEdit *> ring{m_window->txtNome, m_window->txtTipo, m_window->txtRigo01, m_window->txtRigo02,
                                  m_window->txtRigo03, m_window->txtRigo04, m_window->txtRigo05,
                                  m_window->txtRigo06, m_window->txtNote};
    m_window->txtNome->setFocus();
    for (int i = 0; i < ring.size(); ++i) {
        QLineEdit *focused = ring.at(i);
        QVERIFY(focused->hasFocus());
        QCOMPARE(ui::FocusHighlight::currentBackground(focused), QColor(0xFF, 0xFF, 0x00));
        QVERIFY(focused->styleSheet().contains(QStringLiteral("#87ceeb")));
        QTest::keyClick(focused, Qt::Key_Return);
        const QColor rest = (i >= 2 && i <= 7) ? QColor(Qt::white) : QColor(0xF0, 0xF8, 0xFF);
        QCOMPARE(ui::FocusHighlight::currentBackground(focused), rest);
    }
    QVERIFY(m_window->txtNome->hasFocus());
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
}

void TestAddressWindow::statusHints()
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_window->cmdEsporta, &move);
    QCOMPARE(m_window->panInfo->text(), QStringLiteral("Esporta l'archivio in un file di Excel."));
    QApplication::sendEvent(m_window->txtNome, &move);
    QCOMPARE(m_window->panInfo->text(), QStringLiteral("Esporta l'archivio in un file di Excel."));
    QApplication::sendEvent(m_window.get(), &move);
    QVERIFY(m_window->panInfo->text().isEmpty());
    QApplication::sendEvent(m_window->cmdEsci, &move);
    QCOMPARE(m_window->panInfo->text(), QStringLiteral("Esci da questa schermata."));
    QApplication::sendEvent(m_window->findChild<QWidget *>(QStringLiteral("imgBusta")), &move);
    QVERIFY(m_window->panInfo->text().isEmpty());
    for (auto *button : m_window->findChildren<ui::PictureButton *>())
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
}

void TestAddressWindow::closeEmitsClosed()
{
    int closed = 0;
    connect(m_window.get(), &TfrmArchivio_Indirizzi::closed, this, [&] { ++closed; });
    m_window->txtNome->setText(QStringLiteral("non salvata"));
    press(m_window->cmdEsci);
    QCOMPARE(closed, 1);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
}

QTEST_MAIN(TestAddressWindow)
#include "tst_addresswindow.moc"
