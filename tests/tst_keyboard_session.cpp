// A whole working session from the keyboard alone, on the real windows of the
// program under a real X server and window manager: log in, type and save two
// address cards, find one and recall it, fill two labels of a page, save it,
// preview it, print it through the print dialog into the test print queue, go
// back and exit. The keys are real X key events (xdotool); not one mouse event
// reaches the program. Run by run-with-window-manager.sh under Xvfb and openbox.
#include "TestPrintQueue.h"
#include "PdfText.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "mailing/TfrmStampaSchede.h"
#include "storage/AddressArchive.h"
#include "storage/LabelPageArchive.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QListWidget>
#include <QPrintDialog>
#include <QSpinBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

using namespace tavolux;

namespace {

// Counts every mouse event that reaches any object of the program.
class MouseCounter : public QObject
{
public:
    MouseCounter() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
            ++count;
            break;
        default:
            break;
        }
        return false;
    }
};

QString nameOf(QWidget *widget)
{
    return widget ? widget->objectName() : QStringLiteral("(none)");
}

// The user: a thread that presses keys as a person would and looks at the
// screen (the widgets, asked on the interface thread) before each step. Modal
// dialogs run their own event loops on the interface thread, so the user goes
// on typing into them as into any window.
class KeyboardUser : public QThread
{
public:
    explicit KeyboardUser(std::function<void(KeyboardUser &)> session) : m_session(std::move(session)) {}

    QString failure() const { return m_failure; }
    QStringList log() const { return m_log; }

    template <typename F>
    auto look(F f)
    {
        decltype(f()) result{};
        QMetaObject::invokeMethod(qApp, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }

    bool fail(const QString &why)
    {
        if (m_failure.isEmpty()) {
            m_failure = why + QStringLiteral(" (focus on ") + look([] { return nameOf(QApplication::focusWidget()); })
                        + QStringLiteral(", window ")
                        + look([] { return nameOf(QApplication::activeWindow()); }) + QStringLiteral(", shown ")
                        + look([] {
                              QStringList shown;
                              for (QWidget *w : QApplication::topLevelWidgets())
                                  if (w->isVisible())
                                      shown << nameOf(w) + QLatin1Char('/') + w->windowTitle();
                              return shown.join(QLatin1Char(' '));
                          })
                        + QLatin1Char(')');
            // Said at once: a modal window left open keeps the test from ending.
            qWarning("%s", qPrintable(m_failure));
        }
        return false;
    }

    bool ok() const { return m_failure.isEmpty(); }

    // Waits until the screen shows what `seen` looks for.
    bool waitFor(const QString &what, const std::function<bool()> &seen, int timeoutMs = 15000)
    {
        if (!ok())
            return false;
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            if (look(seen))
                return true;
            msleep(20);
        }
        return fail(QStringLiteral("did not see: ") + what);
    }

    bool focusIs(const QString &name, int timeoutMs = 15000)
    {
        return waitFor(QStringLiteral("focus on ") + name,
                       [name] { return nameOf(QApplication::focusWidget()) == name; }, timeoutMs);
    }

    bool activeIs(const QString &name)
    {
        return waitFor(QStringLiteral("active window ") + name, [name] {
            QWidget *active = QApplication::activeWindow();
            return active && active->objectName() == name && !QApplication::activeModalWidget();
        });
    }

    bool modalIs(const std::function<bool(QWidget *)> &is, const QString &what)
    {
        return waitFor(what, [is] {
            QWidget *modal = QApplication::activeModalWidget();
            return modal && modal == QApplication::activeWindow() && is(modal);
        });
    }

    bool noModal()
    {
        return waitFor(QStringLiteral("no dialog"), [] { return !QApplication::activeModalWidget(); });
    }

    // Real key presses, through the X server to the focused window.
    bool keys(const QStringList &keys)
    {
        if (!ok())
            return false;
        m_log << keys.join(QLatin1Char(' '));
        if (QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                                     QStringLiteral("60")} + keys) != 0)
            return fail(QStringLiteral("xdotool key failed"));
        return true;
    }
    bool key(const QString &key) { return keys({key}); }

    bool type(const QString &text)
    {
        if (!ok())
            return false;
        m_log << QStringLiteral("type ") + text;
        if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                          QStringLiteral("40"), text}) != 0)
            return fail(QStringLiteral("xdotool type failed"));
        return waitFor(QStringLiteral("typed text ") + text, [text] {
            auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            return edit && edit->text().endsWith(text);
        });
    }

    // Presses Tab until the focus is on `name`, as a user watching the focus mark would.
    bool tabTo(const QString &name, int most = 80)
    {
        for (int i = 0; i < most && ok(); ++i) {
            const QString now = look([] { return nameOf(QApplication::focusWidget()); });
            if (now == name)
                return true;
            key(QStringLiteral("Tab"));
            waitFor(QStringLiteral("focus moved from ") + now,
                    [now] { return nameOf(QApplication::focusWidget()) != now; }, 3000);
        }
        return ok() && focusIs(name, 100);
    }

    // Dismisses the message box on screen with Enter; returns its text.
    QString acknowledge()
    {
        if (!modalIs([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; }, QStringLiteral("a message box")))
            return {};
        const QString text = look([] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            return box ? box->text() : QString();
        });
        key(QStringLiteral("Return"));
        return text;
    }

    // From the label-page window back to the launcher, and out of the program.
    void leaveLabelPages(const std::atomic<bool> &ended)
    {
        tabTo(QStringLiteral("cmdEsci"));
        key(QStringLiteral("space"));
        activeIs(QStringLiteral("TfrmAvvio"));
        tabTo(QStringLiteral("imgEsci"));
        key(QStringLiteral("space"));
        waitFor(QStringLiteral("the program ended"), [&] { return bool(ended); });
    }

protected:
    void run() override { m_session(*this); }

private:
    std::function<void(KeyboardUser &)> m_session;
    QString m_failure;
    QStringList m_log;
};

// The real program on a folder, started, with a count of the mouse events
// that reach any of its objects.
struct RunningProgram
{
    explicit RunningProgram(const QString &folder) : program(folder)
    {
        QObject::connect(&program, &Program::ended, &program, [this] { ended = true; });
        program.start();
    }

    MouseCounter mice; // made first: it counts from the program's creation on
    Program program;
    std::atomic<bool> ended{false};
};

// The print dialog offers the test queue as the default printer; the
// screenshots go to their folder, which is returned.
QString screenshots(const TestPrintQueue &queue)
{
    qputenv("PRINTER", queue.name().toLocal8Bit());
    const QString shots = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(shots);
    return shots;
}

// Runs the user's session to its end; it fails where the user saw something
// else than expected or a mouse event reached the program.
void runSession(KeyboardUser &user, MouseCounter &mice)
{
    user.start();
    QTRY_VERIFY_WITH_TIMEOUT(user.isFinished(), 240000);
    qApp->removeEventFilter(&mice);
    QVERIFY2(user.ok(), qPrintable(user.failure() + QStringLiteral("\nkeys: ") + user.log().join(QStringLiteral(" | "))));
    QCOMPARE(mice.count, 0);
}

} // namespace

class TestKeyboardSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void wholeSessionWithoutTheMouse();
    void mailingWithoutTheMouse();

private:
    TestPrintQueue m_queue;
};

void TestKeyboardSession::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (run-with-window-manager.sh starts one)");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed");
    if (!m_queue.configured())
        QSKIP(qPrintable(TestPrintQueue::skipReason()));
}

void TestKeyboardSession::wholeSessionWithoutTheMouse()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(DEFAULT_STORE), dir.filePath(QStringLiteral("unins000.dll"))));
    const QSet<QString> pdfsBefore = m_queue.files(QStringLiteral("Pagina Etichette"));
    const QString shots = screenshots(m_queue);
    RunningProgram running(dir.path());
    Program &program = running.program;
    std::atomic<bool> &ended = running.ended;
    MouseCounter &mice = running.mice;

    QString printerShown;
    KeyboardUser user([&](KeyboardUser &u) {
        // Login with the first-access password.
        u.activeIs(QStringLiteral("TfrmPassword"));
        u.focusIs(QStringLiteral("txtPassword"));
        u.type(QStringLiteral("chiaveprovvisa"));
        u.key(QStringLiteral("Return"));

        // The launcher: the address archive has the focus.
        u.activeIs(QStringLiteral("TfrmAvvio"));
        u.focusIs(QStringLiteral("btnApp01"));
        u.key(QStringLiteral("space"));

        // Two cards, field after field with Enter, each saved with Ctrl+S.
        u.activeIs(QStringLiteral("TfrmArchivio_Indirizzi"));
        const QList<QStringList> cards = {
            {QStringLiteral("Anna Rossi"), QStringLiteral("Cliente"), QStringLiteral("Via Roma 12"),
             QStringLiteral("00184 Roma RM")},
            {QStringLiteral("Bruno Verdi"), QStringLiteral("Fornitore"), QStringLiteral("Corso Italia 3"),
             QStringLiteral("20122 Milano MI")}};
        for (const QStringList &card : cards) {
            u.key(QStringLiteral("ctrl+n"));
            u.focusIs(QStringLiteral("txtNome"));
            const QStringList fields = {QStringLiteral("txtNome"), QStringLiteral("txtTipo"), QStringLiteral("txtRigo01"),
                                        QStringLiteral("txtRigo02")};
            for (int i = 0; i < card.size(); ++i) {
                u.focusIs(fields.at(i));
                u.type(card.at(i));
                u.key(QStringLiteral("Return"));
            }
            u.key(QStringLiteral("ctrl+s"));
            const QString saved = u.acknowledge();
            if (u.ok() && !saved.contains(QLatin1String("in archivio")))
                u.fail(QStringLiteral("save said: ") + saved);
            u.noModal();
        }

        // Find the first card and recall it with Enter on its line.
        u.key(QStringLiteral("ctrl+f"));
        u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmTrovaIndirizzi"); },
                  QStringLiteral("the find dialog"));
        u.focusIs(QStringLiteral("txtTrova"));
        u.type(QStringLiteral("rossi"));
        u.key(QStringLiteral("Return"));
        u.focusIs(QStringLiteral("btnTrova"));
        u.key(QStringLiteral("space"));
        u.tabTo(QStringLiteral("lstRecords"));
        u.key(QStringLiteral("Return"));
        u.activeIs(QStringLiteral("TfrmArchivio_Indirizzi"));
        u.waitFor(QStringLiteral("Anna Rossi recalled"), [&] {
            return program.addressWindow()->txtNome->text() == QLatin1String("Anna Rossi")
                   && program.addressWindow()->txtRigo01->text() == QLatin1String("Via Roma 12");
        });
        u.focusIs(QStringLiteral("txtNome"));

        // Back to the launcher, on to the label pages.
        u.tabTo(QStringLiteral("cmdEsci"));
        u.key(QStringLiteral("space"));
        u.activeIs(QStringLiteral("TfrmAvvio"));
        u.tabTo(QStringLiteral("btnApp02"));
        u.key(QStringLiteral("Return"));
        u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));

        // Slot 1 and slot 2, each imported with Ctrl+I and Enter on a line.
        u.tabTo(QStringLiteral("txtNome_E01"));
        const QStringList names = {QStringLiteral("Anna Rossi"), QStringLiteral("Bruno Verdi")};
        for (int slot = 1; slot <= 2; ++slot) {
            const QString field = QStringLiteral("txtNome_E0%1").arg(slot);
            u.focusIs(field);
            u.key(QStringLiteral("ctrl+i"));
            u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmImportaIndirizzi"); },
                      QStringLiteral("the import dialog"));
            u.tabTo(QStringLiteral("lstRecords"));
            u.keys(slot == 1 ? QStringList{QStringLiteral("Home")}
                             : QStringList{QStringLiteral("Home"), QStringLiteral("Down")});
            u.key(QStringLiteral("Return"));
            u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));
            const QString name = names.at(slot - 1);
            u.waitFor(name + QStringLiteral(" in slot ") + QString::number(slot), [&] {
                auto *edit = program.labelWindow()->findChild<QLineEdit *>(field);
                return edit && edit->text() == name;
            });
            u.focusIs(field);
            if (slot == 1)
                u.key(QStringLiteral("Return"));  // on to slot 2
        }
        u.key(QStringLiteral("ctrl+s"));
        const QString saved = u.acknowledge();
        if (u.ok() && !saved.contains(QLatin1String("in archivio")))
            u.fail(QStringLiteral("page save said: ") + saved);
        u.noModal();

        // Preview: the dialog, "Mostra anteprima" with Enter, the preview closed with Esc.
        u.key(QStringLiteral("ctrl+shift+p"));
        u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmAnteprima_Etichette"); },
                  QStringLiteral("the preview dialog"));
        u.key(QStringLiteral("Return"));
        u.modalIs([](QWidget *w) { return w->windowTitle() == QLatin1String("Pagina Etichette"); },
                  QStringLiteral("the preview"));
        u.key(QStringLiteral("Escape"));
        u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));

        // Print: the dialog, "Stampa" with Enter, then the print dialog's own Enter.
        u.key(QStringLiteral("ctrl+p"));
        u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmStampaPagina"); },
                  QStringLiteral("the print-page dialog"));
        u.key(QStringLiteral("Return"));
        u.modalIs([](QWidget *w) { return qobject_cast<QPrintDialog *>(w) != nullptr; }, QStringLiteral("the print dialog"));
        if (u.ok()) {
            QThread::msleep(300);
            printerShown = u.look([] {
                auto *combo = QApplication::activeModalWidget()->findChild<QComboBox *>(QStringLiteral("printers"));
                return combo ? combo->currentText() : QString();
            });
            // What the user sees: the whole screen, window manager frames included.
            u.look([&] {
                return QGuiApplication::primaryScreen()->grabWindow(0).save(shots + QStringLiteral("/print-dialog-x11.png"));
            });
        }
        u.key(QStringLiteral("Return"));
        u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));

        u.leaveLabelPages(ended);
    });
    runSession(user, mice);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(printerShown, m_queue.name());

    // What the session left in the archives.
    const ProgramFolder folder(dir.path());
    AddressArchive addresses(folder);
    QVERIFY(addresses.open());
    QCOMPARE(addresses.count(), 2);
    TSchedaIndirizzo card;
    QVERIFY(addresses.read(1, card));
    QCOMPARE(card[TSchedaIndirizzo::Nome], QStringLiteral("Anna Rossi"));
    QCOMPARE(card[TSchedaIndirizzo::Tipo], QStringLiteral("Cliente"));
    QCOMPARE(card[TSchedaIndirizzo::Rigo02], QStringLiteral("00184 Roma RM"));
    QVERIFY(addresses.read(2, card));
    QCOMPARE(card[TSchedaIndirizzo::Rigo01], QStringLiteral("Corso Italia 3"));
    LabelPageArchive pages(folder);
    QVERIFY(pages.open());
    QCOMPARE(pages.count(), 1);
    TPaginaEtichette page;
    QVERIFY(pages.read(1, page));
    QCOMPARE(page.name(1), QStringLiteral("Anna Rossi"));
    QCOMPARE(page.name(2), QStringLiteral("Bruno Verdi"));
    QCOMPARE(page.name(3), QString());

    // And on paper: the two addresses in the first two labels.
    QString why;
    const QString pdf = m_queue.waitForPdf(QStringLiteral("Pagina Etichette"), pdfsBefore, &why);
    QVERIFY2(!pdf.isEmpty(), qPrintable(why));
    const PdfText text = readPdfText(pdf);
    QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
    const QString printed = text.pageText(0);
    QVERIFY2(printed.contains(QLatin1String("Via Roma 12")) && printed.contains(QLatin1String("Corso Italia 3")),
             qPrintable(printed));
}

void TestKeyboardSession::mailingWithoutTheMouse()
{
    // An archive of 30 cards, 20 clients and 10 suppliers, each with a postal code.
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(DEFAULT_STORE), dir.filePath(QStringLiteral("unins000.dll"))));
    const ProgramFolder folder(dir.path());
    {
        AddressArchive archive(folder);
        QVERIFY(archive.open());
        for (int i = 0; i < 30; ++i) {
            TSchedaIndirizzo card;
            const QString n = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
            card[TSchedaIndirizzo::Nome] = QStringLiteral("Socio %1").arg(n);
            card[TSchedaIndirizzo::Tipo] = i % 3 == 2 ? QStringLiteral("Fornitore") : QStringLiteral("Cliente");
            card[TSchedaIndirizzo::Rigo01] = QStringLiteral("M%1A Gentile socio").arg(n);
            card[TSchedaIndirizzo::Rigo02] = QStringLiteral("%1 Roma").arg(90000 - 100 * i);
            QVERIFY(archive.append(card) > 0);
        }
    }
    const QSet<QString> pdfsBefore = m_queue.files(TfrmStampaSchede::title());
    const QString shots = screenshots(m_queue);
    RunningProgram running(dir.path());
    std::atomic<bool> &ended = running.ended;
    MouseCounter &mice = running.mice;

    auto mailingWindow = [] { return qobject_cast<TfrmStampaSchede *>(QApplication::activeModalWidget()); };
    QString kept;
    KeyboardUser user([&](KeyboardUser &u) {
        u.activeIs(QStringLiteral("TfrmPassword"));
        u.type(QStringLiteral("chiaveprovvisa"));
        u.key(QStringLiteral("Return"));
        u.activeIs(QStringLiteral("TfrmAvvio"));
        u.tabTo(QStringLiteral("btnApp02"));
        u.key(QStringLiteral("Return"));
        u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));

        // The mailing window, from its key.
        u.key(QStringLiteral("ctrl+shift+a"));
        u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmStampaSchede"); },
                  QStringLiteral("the mailing window"));
        u.focusIs(QStringLiteral("optTutte"));
        // The clients: Alt+I, Tab to the types, Space on the first one.
        u.key(QStringLiteral("alt+i"));
        u.focusIs(QStringLiteral("optTipo"));
        u.key(QStringLiteral("Tab"));
        u.focusIs(QStringLiteral("lstTipi"));
        u.keys({QStringLiteral("Home"), QStringLiteral("space")});
        u.waitFor(QStringLiteral("20 clients chosen"), [&] {
            TfrmStampaSchede *w = mailingWindow();
            return w && w->chosen().cards.size() == 20;
        });
        // By postal code, two copies each, from label 5 of a used sheet.
        u.key(QStringLiteral("alt+c"));
        u.focusIs(QStringLiteral("optCap"));
        u.key(QStringLiteral("alt+p"));
        u.focusIs(QStringLiteral("txtCopie"));
        u.keys({QStringLiteral("ctrl+a"), QStringLiteral("2")});
        u.key(QStringLiteral("alt+d"));
        u.focusIs(QStringLiteral("txtInizio"));
        u.keys({QStringLiteral("ctrl+a"), QStringLiteral("5")});
        u.waitFor(QStringLiteral("2 copies from label 5: 2 sheets"), [&] {
            TfrmStampaSchede *w = mailingWindow();
            return w && w->txtCopie->value() == 2 && w->txtInizio->value() == 5 && w->sheets() == 2;
        });
        if (u.ok())
            u.look([&] {
                return QGuiApplication::primaryScreen()->grabWindow(0).save(shots + QStringLiteral("/mailing-window-x11.png"));
            });

        // Ctrl+P, the print dialog's Enter; then keep them as label pages.
        u.key(QStringLiteral("ctrl+p"));
        u.modalIs([](QWidget *w) { return qobject_cast<QPrintDialog *>(w) != nullptr; }, QStringLiteral("the print dialog"));
        u.key(QStringLiteral("Return"));
        const QString question = u.acknowledge();
        // The box shows the text's line breaks as its own.
        const auto shown = [](const QString &text) { return text.simplified(); };
        if (u.ok() && shown(question) != shown(TfrmStampaSchede::keepQuestion(2)))
            u.fail(QStringLiteral("after printing: ") + question);
        kept = u.acknowledge();
        u.modalIs([](QWidget *w) { return w->objectName() == QLatin1String("TfrmStampaSchede"); },
                  QStringLiteral("the mailing window again"));
        u.key(QStringLiteral("Escape"));
        u.activeIs(QStringLiteral("TfrmArchivio_Etichette"));

        u.leaveLabelPages(ended);
    });
    runSession(user, mice);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(kept.simplified(), TfrmStampaSchede::keptMessage(1, 2));

    // On paper: 40 labels from label 5 on two sheets, the highest postal code first.
    QString why;
    const QString pdf = m_queue.waitForPdf(TfrmStampaSchede::title(), pdfsBefore, &why);
    QVERIFY2(!pdf.isEmpty(), qPrintable(why));
    const PdfText text = readPdfText(pdf);
    QVERIFY2(text.error.isEmpty(), qPrintable(text.error));
    QCOMPARE(text.pagesMm.size(), 2);
    const QList<PdfWord> firstCard = text.find(QStringLiteral("M28A"));
    QCOMPARE(firstCard.size(), 2);
    // Labels 5 and 6: the second row, middle and right.
    QCOMPARE(firstCard.at(0).page, 0);
    QVERIFY(qAbs(firstCard.at(0).mm.left() - 76) < 0.5 && qAbs(firstCard.at(1).mm.left() - 140) < 0.5);
    QVERIFY(text.find(QStringLiteral("M02A")).isEmpty()); // a supplier
    // And kept: the 40 labels on two label pages, clients only.
    LabelPageArchive pages(folder);
    QVERIFY(pages.open());
    QCOMPARE(pages.count(), 2);
    TPaginaEtichette page;
    QVERIFY(pages.read(1, page));
    QCOMPARE(page.name(1), QStringLiteral("Socio 28"));
    QCOMPARE(page.name(2), QStringLiteral("Socio 28"));
    QCOMPARE(page.line(3, 1), QStringLiteral("M27A Gentile socio"));
}

QTEST_MAIN(TestKeyboardSession)
#include "tst_keyboard_session.moc"
