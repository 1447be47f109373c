// The program from the keyboard: every control that reacts to the mouse has a
// name and a role for assistive tools and is reached by Tab; the toolbar keys
// press their buttons; the focus follows the work.
#include "AllWindows.h"
#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "cardlist/CardListDialog.h"
#include "addresses/ExportGridModel.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmTrovaIndirizzi.h"
#include "app/Program.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "labels/TfrmImportaIndirizzi.h"
#include "reportui/PrintRecorder.h"
#include "storage/AddressArchive.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"
#include "ui/Shortcuts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
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

// The relative luminance and the contrast of two colours, as accessibility
// guidelines measure them (3:1 is the least for a focus mark).
double luminance(QColor colour)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

double distance(QColor a, QColor b)
{
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
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
    void accessKeysUnique_data();
    void accessKeysUnique();
    void toolbarKeysPressTheirButtons_data();
    void toolbarKeysPressTheirButtons();
    void pictureButtonPressedBySpaceAndEnter_data();
    void pictureButtonPressedBySpaceAndEnter();
    void focusStaysOnImportedSlot();
    void focusOnNameAfterRecall();
    void exportGridLetsTabOut_data();
    void exportGridLetsTabOut();
    void escapeClosesChangePassword();
    void currentLineShowsListFocus_data();
    void currentLineShowsListFocus();
    void buttonFocusRingIsPlain();

private:
    // The window of that name, shown and laid out.
    QWidget *showWindow(const QString &name, std::unique_ptr<QWidget> &owned);
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

QWidget *TestKeyboard::showWindow(const QString &name, std::unique_ptr<QWidget> &owned)
{
    QWidget *shown = allwindows::make(*m_program, name, owned);
    if (shown) {
        shown->show();
        QCoreApplication::processEvents();
    }
    return shown;
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
    QWidget *shown = showWindow(window, dialog);
    QVERIFY(shown);
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
        // A picture beside its own button (the launcher's apps) is a picture
        // whose button is reached instead, under another name.
        auto *picture = qobject_cast<ui::PictureButton *>(control);
        if (picture && picture->twin()) {
            QCOMPARE(role, QAccessible::Graphic);
            QVERIFY2(picture->twin()->focusPolicy() & Qt::TabFocus, qPrintable(what));
            QVERIFY2(picture->twin()->accessibleName() != picture->accessibleName(), qPrintable(what));
            continue;
        }
        if (picture) {
            QCOMPARE(role, QAccessible::Button);
            // The name is the short caption, the hint its description.
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.endsWith(QLatin1Char('.')) && name.size() <= 40, qPrintable(what + QLatin1Char(' ') + name));
            if (!picture->toolTip().isEmpty())
                QCOMPARE(accessible->text(QAccessible::Description), picture->toolTip());
        }
        QVERIFY2(role != QAccessible::StaticText && role != QAccessible::NoRole, qPrintable(what));
        // Of a group of radio buttons Tab reaches the checked one, the arrows the others.
        auto *radio = qobject_cast<QRadioButton *>(control);
        if (!radio || radio->isChecked())
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(what));
    }
    QVERIFY(controls > 0);
    shown->hide();
}

void TestKeyboard::accessKeysUnique_data()
{
    everyControlNamedAndReachable_data();
}

// Two controls of one window with the same Alt letter: Alt then only moves
// the focus between them and presses neither.
void TestKeyboard::accessKeysUnique()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> dialog;
    QWidget *shown = showWindow(window, dialog);
    QVERIFY(shown);
    auto letterOf = [](const QString &text) -> QChar {
        for (qsizetype i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i) != QLatin1Char('&'))
                continue;
            if (text.at(i + 1) != QLatin1Char('&'))
                return text.at(i + 1).toLower();
            ++i;
        }
        return {};
    };
    QMap<QChar, QStringList> owners;
    for (QWidget *control : shown->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(shown))
            continue;
        QString text;
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            text = button->text();
        else if (auto *label = qobject_cast<QLabel *>(control); label && label->buddy())
            text = label->text();
        else if (auto *group = qobject_cast<QGroupBox *>(control); group && group->isCheckable())
            text = group->title();
        if (auto *tabs = qobject_cast<QTabWidget *>(control))
            for (int t = 0; t < tabs->count(); ++t)
                if (const QChar letter = letterOf(tabs->tabText(t)); !letter.isNull())
                    owners[letter] << tabs->objectName() + QLatin1Char(':') + tabs->tabText(t);
        if (const QChar letter = letterOf(text); !letter.isNull())
            owners[letter] << control->objectName() + QLatin1Char(':') + text;
    }
    for (auto it = owners.cbegin(); it != owners.cend(); ++it)
        QVERIFY2(it.value().size() == 1, qPrintable(QStringLiteral("Alt+%1: ").arg(it.key()) + it.value().join(QStringLiteral(", "))));
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
    QVERIFY2(control->toolTip().contains(ui::keyText(keys)), qPrintable(control->toolTip()));
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

void TestKeyboard::exportGridLetsTabOut_data()
{
    QTest::addColumn<QString>("cell");   // "first", "middle" or "last"
    QTest::addColumn<bool>("editing");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("focus");  // where the focus goes
    const int shift = int(Qt::ShiftModifier), ctrl = int(Qt::ControlModifier);
    QTest::newRow("tab in the grid") << "middle" << false << 0 << "grdRecords";
    QTest::newRow("shift+tab in the grid") << "middle" << false << shift << "grdRecords";
    QTest::newRow("tab after the last cell") << "last" << false << 0 << "cmdEsporta";
    QTest::newRow("shift+tab before the first cell") << "first" << false << shift << "cmdEsci";
    QTest::newRow("ctrl+tab") << "middle" << false << ctrl << "cmdEsporta";
    QTest::newRow("ctrl+shift+tab") << "middle" << false << (ctrl | shift) << "cmdEsci";
    QTest::newRow("tab while editing the last cell") << "last" << true << 0 << "cmdEsporta";
    QTest::newRow("ctrl+tab while editing") << "middle" << true << ctrl << "cmdEsporta";
    QTest::newRow("tab while editing a cell") << "middle" << true << 0 << "grdRecords";
}

void TestKeyboard::exportGridLetsTabOut()
{
    QFETCH(QString, cell);
    QFETCH(bool, editing);
    QFETCH(int, modifiers);
    QFETCH(QString, focus);
    TfrmExpIndirizzi window(m_program->folder(), m_program->addressWindow());
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTableView *grid = window.grdRecords;
    const int rows = grid->model()->rowCount(), columns = grid->model()->columnCount();
    QCOMPARE(rows, 2);
    // The middle cell is an editable one: the note of the first card.
    const QModelIndex start = cell == QLatin1String("first") ? grid->model()->index(0, 0)
                              : cell == QLatin1String("last") ? grid->model()->index(rows - 1, columns - 1)
                                                              : grid->model()->index(0, TfrmExpIndirizzi::colNote);
    grid->setFocus();
    grid->setCurrentIndex(start);
    QWidget *target = grid;
    if (editing) {
        grid->edit(start);
        target = QApplication::focusWidget();
        QVERIFY(target && target != grid);
        QTest::keyClicks(target, QStringLiteral("nuova nota"));
    }
    QTest::keyClick(target, Qt::Key_Tab, Qt::KeyboardModifiers(modifiers));
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    const QString where = focused == grid || grid->isAncestorOf(focused) ? QStringLiteral("grdRecords")
                                                                           : focused->objectName();
    QCOMPARE(where, focus);
    if (editing)
        QCOMPARE(window.model()->text(start.row(), start.column()), QStringLiteral("nuova nota"));
}

void TestKeyboard::escapeClosesChangePassword()
{
    TfrmCambiaPassword *window = m_program->changePasswordWindow();
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QSignalSpy closed(window, &TfrmCambiaPassword::closed);
    QTest::keyClicks(window->txtPasswordOld, QStringLiteral("vecchia"));
    QTest::keyClick(window->txtPasswordOld, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window->isVisible());
    // Back at the login, as after "Chiudi".
    QTRY_VERIFY(m_program->loginWindow()->isVisible());
    m_program->loginWindow()->hide();
}

void TestKeyboard::currentLineShowsListFocus_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("find") << "find";
    QTest::newRow("import") << "import";
}

void TestKeyboard::currentLineShowsListFocus()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> owned;
    auto *dialog = qobject_cast<CardListDialog *>(allwindows::make(*m_program, window, owned));
    QVERIFY(dialog);
    dialog->show();
    QApplication::setActiveWindow(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->setCurrentLine(1);
    QListView *list = dialog->lstRecords;
    // A point of the current line right of its text, at the lines' far end.
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    const QRect line = list->visualRect(list->currentIndex());
    const QPoint point(list->viewport()->width() - 30, line.center().y());
    const QColor blank = list->viewport()->grab().toImage().pixelColor(point.x(), line.bottom() + line.height() * 3);
    list->setFocus();
    QVERIFY(list->hasFocus());
    const QColor focused = list->viewport()->grab().toImage().pixelColor(point);
    dialog->txtTrova->setFocus();
    QVERIFY(!list->hasFocus());
    const QColor resting = list->viewport()->grab().toImage().pixelColor(point);
    // Plainly apart with and without the focus, and the current line still
    // shown without it.
    QVERIFY2(distance(focused, resting) >= 100, qPrintable(focused.name() + QLatin1Char(' ') + resting.name()));
    QVERIFY2(distance(resting, blank) >= 40, qPrintable(resting.name() + QLatin1Char(' ') + blank.name()));
    // The text stays black on both.
    QCOMPARE(list->model()->data(list->currentIndex(), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    dialog->hide();
}

void TestKeyboard::buttonFocusRingIsPlain()
{
    TfrmTrovaIndirizzi dialog(*m_program->addressWindow());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        button->setFocus();
        QVERIFY(button->hasFocus());
        const QImage focused = button->grab().toImage();
        dialog.lstRecords->setFocus();
        const QImage resting = button->grab().toImage();
        QCOMPARE(focused.size(), resting.size());
        // Each row and each column of the button crosses the ring: on each,
        // at least two pixels (its two sides) stand out 3:1 from the resting button.
        const auto marked = [&](int x, int y) { return contrast(focused.pixelColor(x, y), resting.pixelColor(x, y)) >= 3.0; };
        int rowsCrossed = 0, columnsCrossed = 0;
        for (int y = 0; y < focused.height(); ++y) {
            int count = 0;
            for (int x = 0; x < focused.width(); ++x)
                count += marked(x, y);
            rowsCrossed += count >= 2;
        }
        for (int x = 0; x < focused.width(); ++x) {
            int count = 0;
            for (int y = 0; y < focused.height(); ++y)
                count += marked(x, y);
            columnsCrossed += count >= 2;
        }
        QVERIFY2(rowsCrossed >= focused.height() * 2 / 3 && columnsCrossed >= focused.width() * 2 / 3,
                 qPrintable(QStringLiteral("%1: %2 of %3 rows, %4 of %5 columns")
                                .arg(button->objectName()).arg(rowsCrossed).arg(focused.height())
                                .arg(columnsCrossed).arg(focused.width())));
    }
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
