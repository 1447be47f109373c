#include "cardlist/CardList.h"
#include "cardlist/CardListModel.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "reportui/PrintRecorder.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace tavolux;

namespace {

TSchedaIndirizzo card(const QString &nome, const QString &tipo = QString(), const QString &note = QString(),
                      const QString &line1 = QString())
{
    TSchedaIndirizzo c;
    c[TSchedaIndirizzo::Nome] = nome;
    c[TSchedaIndirizzo::Tipo] = tipo;
    c[TSchedaIndirizzo::Note] = note;
    c[TSchedaIndirizzo::Rigo01] = line1;
    c[TSchedaIndirizzo::Desc02] = QStringLiteral("allegato di ") + nome;
    return c;
}

} // namespace

class TestFindDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout();
    void emptyListRefusesSearch_data();
    void emptyListRefusesSearch();
    void listIsSortedAndNamedOnly();
    void findWalksThroughMatches();
    void enterInSearchFieldMovesToTrova();
    void enterOnLineRecallsAndPrintsNothing_data();
    void enterOnLineRecallsAndPrintsNothing();
    void showingAgainKeepsSearch();
    void doubleClickOnBlankPartRecallsCurrent_data();
    void doubleClickOnBlankPartRecallsCurrent();
    void recallWritesCardAndPosition();
    void equalLinesRecallTheLaterCard();
    void longNameIsCutButRecalled();
    void closeChangesNothing();
    void unreadableArchiveGivesEmptyListSilently();
    void largeArchiveFillsQuickly();

private:
    void fill(const QList<TSchedaIndirizzo> &cards);
    std::unique_ptr<TfrmTrovaIndirizzi> openDialog();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_window;
    std::unique_ptr<ui::MessageRecorder> m_messages;
};

void TestFindDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(m_dir->path()));
    m_window->show();
}

void TestFindDialog::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestFindDialog::fill(const QList<TSchedaIndirizzo> &cards)
{
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (const TSchedaIndirizzo &c : cards)
        QVERIFY(archive.append(c) > 0);
}

std::unique_ptr<TfrmTrovaIndirizzi> TestFindDialog::openDialog()
{
    auto dialog = std::make_unique<TfrmTrovaIndirizzi>(*m_window);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    return dialog;
}

void TestFindDialog::layout()
{
    auto dialog = openDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral(" Trova schede in archivio"));
    QCOMPARE(dialog->size(), QSize(862, 560));
    QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dialog->windowFlags() & Qt::WindowSystemMenuHint));
    QCOMPARE(dialog->lblRigo03->text(), QStringLiteral("Fare doppio clic su una voce in elenco per richiamare la scheda"));
    QCOMPARE(dialog->btnTrova->text(), QStringLiteral("Trova"));
    QCOMPARE(dialog->btnStampa->text(), QStringLiteral("Stampa"));
    QCOMPARE(dialog->btnChiudi->text(), QStringLiteral("Chiudi"));
    QCOMPARE(dialog->lstRecords->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(dialog->lstRecords->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(dialog->txtTrova->hasFocus());
    // Tab order: search field, list, Stampa, Trova, Chiudi; then the added "Etichette…".
    QWidget *expected[] = {dialog->lstRecords, dialog->btnStampa, dialog->btnTrova, dialog->btnChiudi,
                           dialog->btnEtichette};
    QWidget *at = dialog->txtTrova;
    for (QWidget *next : expected) {
        at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus))
            at = at->nextInFocusChain();
        QCOMPARE(at, next);
    }
}

void TestFindDialog::emptyListRefusesSearch_data()
{
    QTest::addColumn<int>("unnamedCards");
    QTest::newRow("no archive") << 0;
    QTest::newRow("only unnamed cards") << 3;
}

void TestFindDialog::emptyListRefusesSearch()
{
    QFETCH(int, unnamedCards);
    QList<TSchedaIndirizzo> cards;
    for (int i = 0; i < unnamedCards; ++i)
        cards << card(QStringLiteral("   "), QStringLiteral("tipo"), QStringLiteral("nota"));
    fill(cards);
    auto dialog = openDialog();
    QCOMPARE(dialog->model()->rowCount(), 0);
    dialog->txtTrova->setText(QStringLiteral("tipo"));
    dialog->btnTrova->click();
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
    QCOMPARE(m_messages->last().kind, ui::MessageKind::Plain);
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    QVERIFY(dialog->searchMemory().isEmpty());
}

void TestFindDialog::listIsSortedAndNamedOnly()
{
    fill({card("verdi"), card(""), card("Bianchi", "Cliente", "chiamare"), card("ROSSI")});
    auto dialog = openDialog();
    const QStringList lines = dialog->lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).startsWith("Bianchi "));
    QVERIFY(lines.at(1).startsWith("ROSSI "));
    QVERIFY(lines.at(2).startsWith("verdi "));
    QCOMPARE(dialog->currentLine(), 0);
}

void TestFindDialog::findWalksThroughMatches()
{
    fill({card("Anna", "Cliente"), card("Bruno", "Fornitore"), card("Carla", "cliente"), card("Dario")});
    auto dialog = openDialog();
    dialog->txtTrova->setText(QStringLiteral("CLIENTE"));
    QList<int> visited;
    for (int i = 0; i < 3; ++i) {
        dialog->btnTrova->click();
        visited << dialog->currentLine();
    }
    QCOMPARE(visited, QList<int>({0, 2, 0}));
    // A new text starts again from the top; no match leaves the line where it is.
    dialog->txtTrova->setText(QStringLiteral("dario"));
    dialog->btnTrova->click();
    QCOMPARE(dialog->currentLine(), 3);
    dialog->txtTrova->setText(QStringLiteral("nessuno"));
    dialog->btnTrova->click();
    QCOMPARE(dialog->currentLine(), 3);
    dialog->txtTrova->clear();
    dialog->btnTrova->click();
    QCOMPARE(dialog->currentLine(), 3);
    QCOMPARE(m_messages->count(), 0);
}

void TestFindDialog::enterInSearchFieldMovesToTrova()
{
    fill({card("Anna"), card("Bruno")});
    auto dialog = openDialog();
    dialog->txtTrova->setText(QStringLiteral("bruno"));
    QTest::keyClick(dialog->txtTrova, Qt::Key_Return);
    QVERIFY(dialog->btnTrova->hasFocus());
    QCOMPARE(dialog->currentLine(), 0); // no search yet
    QVERIFY(dialog->isVisible());
    QTest::keyClick(dialog->btnTrova, Qt::Key_Return);
    QCOMPARE(dialog->currentLine(), 1);
}

void TestFindDialog::enterOnLineRecallsAndPrintsNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("line"); // -1: no current line
    QTest::newRow("Return on line 2") << int(Qt::Key_Return) << 1;
    QTest::newRow("Enter on line 3") << int(Qt::Key_Enter) << 2;
    QTest::newRow("Return with no line") << int(Qt::Key_Return) << -1;
}

void TestFindDialog::enterOnLineRecallsAndPrintsNothing()
{
    QFETCH(int, key);
    QFETCH(int, line);
    report::PrintRecorder printer;
    fill({card("Anna", "t", "", "Via A"), card("Bruno", "t", "", "Via B"), card("Carla", "t", "", "Via C")});
    auto dialog = openDialog();
    dialog->lstRecords->setFocus();
    dialog->setCurrentLine(line);
    QTest::keyClick(dialog->lstRecords, Qt::Key(key));
    QCOMPARE(printer.count(), 0); // "Stampa" was not pressed
    if (line < 0) {
        QVERIFY(dialog->isVisible());
        QVERIFY(m_window->lblPosizione->text().isEmpty());
        return;
    }
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_window->txtRigo01->text(), QStringLiteral("Via ") + QChar(u'A' + line));
    QCOMPARE(m_window->lblPosizione->text(), QString::number(line + 1));
}

void TestFindDialog::showingAgainKeepsSearch()
{
    // The window manager shows a restored dialog again: nothing is refilled.
    fill({card("Anna", "cliente"), card("Bruno"), card("Carla", "cliente")});
    auto dialog = openDialog();
    dialog->txtTrova->setText(QStringLiteral("cliente"));
    dialog->btnTrova->click();
    dialog->btnTrova->click();
    QCOMPARE(dialog->currentLine(), 2);
    fill({card("Aaron")}); // another copy adds a card meanwhile
    dialog->hide();
    dialog->show();
    QCOMPARE(dialog->txtTrova->text(), QStringLiteral("cliente"));
    QCOMPARE(dialog->searchMemory(), QStringLiteral("cliente"));
    QCOMPARE(dialog->currentLine(), 2);
    QCOMPARE(dialog->model()->rowCount(), 3);
}

void TestFindDialog::doubleClickOnBlankPartRecallsCurrent_data()
{
    QTest::addColumn<int>("line"); // -1: no current line
    QTest::newRow("current line 2") << 1;
    QTest::newRow("no current line") << -1;
}

void TestFindDialog::doubleClickOnBlankPartRecallsCurrent()
{
    QFETCH(int, line);
    fill({card("Anna", "t", "", "Via A"), card("Bruno", "t", "", "Via B")});
    auto dialog = openDialog();
    dialog->setCurrentLine(line);
    // Well below the two lines.
    const QPoint blank(20, dialog->lstRecords->viewport()->height() - 10);
    QVERIFY(!dialog->lstRecords->indexAt(blank).isValid());
    QTest::mouseDClick(dialog->lstRecords->viewport(), Qt::LeftButton, {}, blank);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_window->lblPosizione->text(), line < 0 ? QString() : QString::number(line + 1));
    QCOMPARE(m_window->txtRigo01->text(), line < 0 ? QString() : QStringLiteral("Via B"));
}

void TestFindDialog::recallWritesCardAndPosition()
{
    fill({card("Anna", "t", "", "Via A"), card("Bruno", "t", "", "Via B"), card("Carla", "t", "", "Via C")});
    auto dialog = openDialog();
    dialog->setCurrentLine(1);
    dialog->recallCurrent();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->model()->rowCount(), 0); // emptied on closing
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("Bruno"));
    QCOMPARE(m_window->txtRigo01->text(), QStringLiteral("Via B"));
    QCOMPARE(m_window->lblDesc02->text(), QStringLiteral("allegato di Bruno"));
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("2"));
    // Saving now overwrites card 2.
    m_window->txtRigo02->setText(QStringLiteral("nuova riga"));
    m_window->save();
    AddressArchive archive{ProgramFolder(m_dir->path())};
    TSchedaIndirizzo stored;
    QVERIFY(archive.open());
    QCOMPARE(archive.count(), 3);
    QVERIFY(archive.read(2, stored));
    QCOMPARE(stored[TSchedaIndirizzo::Rigo02], QStringLiteral("nuova riga"));
}

void TestFindDialog::equalLinesRecallTheLaterCard()
{
    fill({card("Gemello", "x", "n", "primo"), card("Altro"), card("Gemello", "x", "n", "secondo"), card("Zeta")});
    auto dialog = openDialog();
    QCOMPARE(dialog->lines().at(1), dialog->lines().at(2));
    dialog->setCurrentLine(1);
    dialog->recallCurrent();
    QCOMPARE(m_window->txtRigo01->text(), QStringLiteral("secondo"));
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("3"));
}

void TestFindDialog::longNameIsCutButRecalled()
{
    const QString longName = QStringLiteral("Associazione Culturale Amici della Città di Trento");
    fill({card("Primo"), card(longName, "", "", "Via Lunga")});
    auto dialog = openDialog();
    QCOMPARE(dialog->lines().at(0).left(40), longName.left(40));
    dialog->setCurrentLine(0);
    dialog->recallCurrent();
    QCOMPARE(m_window->txtNome->text(), longName);
    QCOMPARE(m_window->lblPosizione->text(), QStringLiteral("2"));
}

void TestFindDialog::closeChangesNothing()
{
    fill({card("Anna")});
    m_window->txtNome->setText(QStringLiteral("in corso"));
    auto dialog = openDialog();
    dialog->btnChiudi->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_window->txtNome->text(), QStringLiteral("in corso"));
    QVERIFY(m_window->lblPosizione->text().isEmpty());
}

void TestFindDialog::unreadableArchiveGivesEmptyListSilently()
{
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TfrmArchivio_Indirizzi window(ProgramFolder(m_dir->filePath(QStringLiteral("blocker"))));
    TfrmTrovaIndirizzi dialog(window);
    dialog.show();
    QCOMPARE(dialog.model()->rowCount(), 0);
    dialog.recallCurrent();
    QCOMPARE(m_messages->count(), 0);
}

void TestFindDialog::largeArchiveFillsQuickly()
{
    // Read in two runs at once: every card's line once, in list order, the
    // nameless ones (one in 1000, on both sides of the middle) left out.
    const int cards = 20000;
    QStringList expected;
    {
        QFile file(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < cards; ++i) {
            const TSchedaIndirizzo c = card(i % 1000 == 999 ? QString() : QStringLiteral("Cliente %1").arg((i * 7919) % cards),
                                            QStringLiteral("tipo"), QStringLiteral("nota %1").arg(i));
            file.write(c.toRecord());
            if (!c[TSchedaIndirizzo::Nome].isEmpty())
                expected << cardlist::listLine(c);
        }
    }
    std::stable_sort(expected.begin(), expected.end(), cardlist::listLess);
    QElapsedTimer timer;
    timer.start();
    auto dialog = openDialog();
    const qint64 fillMs = timer.elapsed();
    QCOMPARE(dialog->model()->rowCount(), cards - cards / 1000);
    QCOMPARE(dialog->lines(), expected);
    timer.restart();
    dialog->txtTrova->setText(QStringLiteral("non c'è"));
    dialog->btnTrova->click();
    const qint64 findMs = timer.elapsed();
    qInfo("fill %d cards: %lld ms; find with no match: %lld ms", cards, fillMs, findMs);
    QVERIFY2(fillMs < 2000, "filling the list must stay quick");
}

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
