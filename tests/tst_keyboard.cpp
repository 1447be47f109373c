// The program from the keyboard: every control that reacts to the mouse has a
// name and a role for assistive tools and is reached by Tab; the toolbar keys
// press their buttons; the focus follows the work.
#include "AllWindows.h"
#include "cardlist/CardListDialog.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "reportui/PrintRecorder.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavolux;

namespace {

// Runs `step` on the modal dialog that the next action opens, then closes it.
void onNextDialog(std::function<void(QWidget *)> step = {})
{
    QTimer::singleShot(0, qApp, [step] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        if (step)
            step(dialog);
        if (dialog->isVisible())
            dialog->close();
    });
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyControlNamedAndReachable_data();
    void everyControlNamedAndReachable();
    void toolbarKeysPressTheirButtons_data();
    void toolbarKeysPressTheirButtons();
    void pictureButtonPressedBySpaceAndEnter_data();
    void pictureButtonPressedBySpaceAndEnter();
    void focusStaysOnImportedSlot();
    void focusOnNameAfterRecall();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<ui::MessageRecorder> m_messages;
    std::unique_ptr<report::PrintRecorder> m_printer;
};

void TestKeyboard::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_printer = std::make_unique<report::PrintRecorder>();
    AddressArchive archive{ProgramFolder(m_dir->path())};
    QVERIFY(archive.open());
    for (const char *name : {"Anna Rossi", "Bruno Verdi"}) {
        TSchedaIndirizzo card;
        card[TSchedaIndirizzo::Nome] = QString::fromLatin1(name);
        card[TSchedaIndirizzo::Rigo01] = QStringLiteral("Via ") + QString::fromLatin1(name);
        QVERIFY(archive.append(card) > 0);
    }
    m_program = std::make_unique<Program>(m_dir->path());
}

void TestKeyboard::cleanupTestCase()
{
    m_program.reset();
    m_printer.reset();
    m_messages.reset();
}

void TestKeyboard::everyControlNamedAndReachable_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &name : allwindows::names())
        QTest::newRow(qPrintable(name)) << name;
}

void TestKeyboard::everyControlNamedAndReachable()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> dialog;
    QWidget *shown = allwindows::make(*m_program, window, dialog);
    QVERIFY(shown);
    shown->show();
    QCoreApplication::processEvents();
    int controls = 0;
    for (QWidget *control : shown->findChildren<QWidget *>()) {
        const bool interactive = qobject_cast<QAbstractButton *>(control) || qobject_cast<ui::PictureButton *>(control)
                                 || qobject_cast<QLineEdit *>(control)
                                 || qobject_cast<QAbstractItemView *>(control);
        if (!interactive || !control->isVisibleTo(shown) || !control->isEnabled()
            || qobject_cast<QAbstractItemView *>(control->parentWidget()))
            continue;
        ++controls;
        const QString what = control->objectName() + QLatin1Char(' ') + QLatin1String(control->metaObject()->className());
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY2(accessible, qPrintable(what));
        QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(what));
        const QAccessible::Role role = accessible->role();
        if (qobject_cast<ui::PictureButton *>(control))
            QCOMPARE(role, QAccessible::Button);
        QVERIFY2(role != QAccessible::StaticText && role != QAccessible::NoRole, qPrintable(what));
        // Of a group of radio buttons Tab reaches the checked one, the arrows the others.
        auto *radio = qobject_cast<QRadioButton *>(control);
        if (!radio || radio->isChecked())
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(what));
    }
    QVERIFY(controls > 0);
    shown->hide();
}

void TestKeyboard::toolbarKeysPressTheirButtons_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QKeySequence>("keys");
    const QString addresses = QStringLiteral("address window"), labels = QStringLiteral("label window");
    QTest::newRow("addresses: new") << addresses << "cmdNuovo" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("addresses: duplicate") << addresses << "cmdDuplica" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
    QTest::newRow("addresses: save") << addresses << "cmdSalva" << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("addresses: find") << addresses << "cmdTrova" << QKeySequence(Qt::CTRL | Qt::Key_F);
    QTest::newRow("addresses: envelope") << addresses << "cmdStampa" << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("addresses: export") << addresses << "cmdEsporta" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E);
    QTest::newRow("addresses: import") << addresses << "cmdImporta" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I);
    QTest::newRow("addresses: first") << addresses << "cmdPrimo" << QKeySequence(Qt::ALT | Qt::Key_Home);
    QTest::newRow("addresses: previous") << addresses << "cmdIndietro" << QKeySequence(Qt::ALT | Qt::Key_Left);
    QTest::newRow("addresses: next") << addresses << "cmdAvanti" << QKeySequence(Qt::ALT | Qt::Key_Right);
    QTest::newRow("addresses: last") << addresses << "cmdUltimo" << QKeySequence(Qt::ALT | Qt::Key_End);
    QTest::newRow("addresses: help") << addresses << "cmdGuida" << QKeySequence(Qt::Key_F1);
    QTest::newRow("labels: new") << labels << "cmdNuovo" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("labels: save") << labels << "cmdSalva" << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("labels: print") << labels << "cmdStampa" << QKeySequence(Qt::CTRL | Qt::Key_P);
    QTest::newRow("labels: preview") << labels << "cmdAnteprima" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    QTest::newRow("labels: mailing") << labels << "cmdSchede" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A);
    QTest::newRow("labels: first") << labels << "cmdPrimo" << QKeySequence(Qt::ALT | Qt::Key_Home);
    QTest::newRow("labels: last") << labels << "cmdUltimo" << QKeySequence(Qt::ALT | Qt::Key_End);
    QTest::newRow("labels: help") << labels << "cmdGuida" << QKeySequence(Qt::Key_F1);
    QTest::newRow("launcher: help") << "launcher" << "imgGuida" << QKeySequence(Qt::Key_F1);
}

void TestKeyboard::toolbarKeysPressTheirButtons()
{
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QKeySequence, keys);
    std::unique_ptr<QWidget> owned;
    QWidget *shown = allwindows::make(*m_program, window, owned);
    shown->show();
    QApplication::setActiveWindow(shown);
    auto *control = shown->findChild<ui::PictureButton *>(button);
    QVERIFY(control);
    QVERIFY2(control->toolTip().contains(keys.toString(QKeySequence::NativeText)), qPrintable(control->toolTip()));
    // Typed in an edit field where there is one: the keys meet the field first.
    QWidget *field = shown->findChild<QLineEdit *>();
    if (!field)
        field = shown->findChild<ui::PictureButton *>();
    field->setFocus();
    QSignalSpy pressed(control, &ui::PictureButton::clicked);
    onNextDialog();
    const QKeyCombination combination = keys[0];
    QTest::keyClick(field, combination.key(), combination.keyboardModifiers());
    QCOMPARE(pressed.count(), 1);
    shown->hide();
}

void TestKeyboard::pictureButtonPressedBySpaceAndEnter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::newRow("space") << int(Qt::Key_Space) << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << 1;
    QTest::newRow("enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("a letter") << int(Qt::Key_A) << 0;
}

void TestKeyboard::pictureButtonPressedBySpaceAndEnter()
{
    QFETCH(int, key);
    QFETCH(int, presses);
    TfrmArchivio_Indirizzi *window = m_program->addressWindow();
    window->show();
    auto *save = window->findChild<ui::PictureButton *>(QStringLiteral("cmdSalva"));
    save->setFocus();
    QSignalSpy pressed(save, &ui::PictureButton::clicked);
    QTest::keyClick(save, Qt::Key(key));
    QCOMPARE(pressed.count(), presses);
    window->hide();
}

void TestKeyboard::focusStaysOnImportedSlot()
{
    TfrmArchivio_Etichette *window = m_program->labelWindow();
    window->show();
    QApplication::setActiveWindow(window);
    auto *importButton = window->findChild<ui::PictureButton *>(QStringLiteral("impIndirizzo_E05"));
    importButton->setFocus();
    QString tag;
    onNextDialog([&tag](QWidget *dialog) {
        auto *import = qobject_cast<TfrmImportaIndirizzi *>(dialog);
        tag = import->lblMemory->text();
        import->setCurrentLine(1);
        import->recallCurrent();
    });
    QTest::keyClick(importButton, Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(tag, QStringLiteral("etichetta_E05"));
    QCOMPARE(window->txtNome_E(5)->text(), QStringLiteral("Bruno Verdi"));
    QTRY_COMPARE(window->focusWidget(), window->txtNome_E(5));
    // Delete there empties the slot just filled.
    QTest::keyClick(window->focusWidget(), Qt::Key_Delete);
    QVERIFY(window->txtNome_E(5)->text().isEmpty());
    window->hide();
}

void TestKeyboard::focusOnNameAfterRecall()
{
    TfrmArchivio_Indirizzi *window = m_program->addressWindow();
    window->show();
    QApplication::setActiveWindow(window);
    window->txtRigo03->setFocus();
    onNextDialog([](QWidget *dialog) {
        auto *find = qobject_cast<CardListDialog *>(dialog);
        find->setCurrentLine(0);
        QTest::keyClick(find->lstRecords, Qt::Key_Return);
    });
    QTest::keyClick(window->txtRigo03, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(window->txtNome->text(), QStringLiteral("Anna Rossi"));
    QTRY_COMPARE(window->focusWidget(), window->txtNome);
    window->hide();
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
