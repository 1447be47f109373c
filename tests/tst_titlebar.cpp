// On a real X server with a window manager: the windows without title-bar
// buttons show none, and a window manager that minimises one anyway sees it
// come back at once. Run by run-with-window-manager.sh under Xvfb, once under
// openbox (which draws a close button on every caption, so these windows have
// a border alone) and once under xfwm4 (a caption without buttons).
#include "AllWindows.h"
#include "access/TfrmPassword.h"
#include "app/Program.h"
#include "ui/Messages.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScreen>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tavolux;

namespace {

QString xProperty(QWidget *window, const char *name)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()), QString::fromLatin1(name)});
    xprop.waitForFinished(5000);
    return QString::fromLocal8Bit(xprop.readAllStandardOutput()).trimmed();
}

// The window manager's frame around the window: left, right, top, bottom.
QList<int> frameExtents(QWidget *window)
{
    QList<int> sides;
    const QString text = xProperty(window, "_NET_FRAME_EXTENTS");
    const QRegularExpression number(QStringLiteral("(\\d+)"));
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return sides;
    for (const QRegularExpressionMatch &match : number.globalMatch(text.mid(equals)))
        sides << match.captured(1).toInt();
    return sides;
}

bool underOpenbox()
{
    return qEnvironmentVariable("TAVOLUX_WINDOW_MANAGER", QStringLiteral("openbox")) == QLatin1String("openbox");
}

// Checks what the window manager shows of a window without title-bar buttons.
void checkNoButtons(QWidget *shown)
{
    // flags, functions, decorations: both given; the only function is moving;
    // a border and a caption, or a border alone where a caption brings buttons.
    const QString hints = xProperty(shown, "_MOTIF_WM_HINTS");
    const QRegularExpressionMatch values =
        QRegularExpression(QStringLiteral("= (0x[0-9a-f]+), (0x[0-9a-f]+), (0x[0-9a-f]+)")).match(hints);
    QVERIFY2(values.hasMatch(), qPrintable(hints));
    QCOMPARE(values.captured(1).toUInt(nullptr, 16) & 0x3u, 0x3u);
    QCOMPARE(values.captured(2).toUInt(nullptr, 16), 0x4u);
    QCOMPARE(values.captured(3).toUInt(nullptr, 16), underOpenbox() ? 0x2u : 0x2u | 0x8u);

    // The frame: under openbox no title bar (the top as thin as the bottom),
    // under xfwm4 a title bar.
    const auto settled = [shown] {
        const QList<int> sides = frameExtents(shown);
        return sides.size() == 4 && (!underOpenbox() || sides.at(2) == sides.at(3));
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 3000);
    const QList<int> sides = frameExtents(shown);
    if (underOpenbox())
        QVERIFY2(sides.at(2) <= 2, qPrintable(xProperty(shown, "_NET_FRAME_EXTENTS")));
    else
        QVERIFY2(sides.at(2) > sides.at(3) + 10, qPrintable(xProperty(shown, "_NET_FRAME_EXTENTS")));
    // What it offers: never maximising; under xfwm4 (which draws a button for
    // each action offered) neither minimising nor closing.
    const QString actions = xProperty(shown, "_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(!actions.contains(QLatin1String("MAXIMIZE")), qPrintable(actions));
    if (!underOpenbox())
        QVERIFY2(!actions.contains(QLatin1String("MINIMIZE")), qPrintable(actions));
}

void screenshot(const QString &name)
{
#ifdef SCREENSHOT_DIR
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    const QString file = QStringLiteral(SCREENSHOT_DIR "/titlebar-%1-%2.png")
                             .arg(qEnvironmentVariable("TAVOLUX_WINDOW_MANAGER", QStringLiteral("openbox")), name);
    QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file});
#else
    Q_UNUSED(name);
#endif
}

} // namespace

class TestTitleBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void noButtonsAndNoMinimise_data();
    void noButtonsAndNoMinimise();
    void messageBoxHasNoButtons();
    void everyWindowFitsTheScreen_data();
    void everyWindowFitsTheScreen();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
};

void TestTitleBar::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (run-with-window-manager.sh starts one)");
    for (const char *tool : {"xprop", "xdotool"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("xprop and xdotool are needed");
    m_dir = std::make_unique<QTemporaryDir>();
    m_program = std::make_unique<Program>(m_dir->path());
}

void TestTitleBar::cleanupTestCase()
{
    m_program.reset();
}

void TestTitleBar::noButtonsAndNoMinimise_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &name : allwindows::fixedNames())
        QTest::newRow(qPrintable(name)) << name;
}

void TestTitleBar::noButtonsAndNoMinimise()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> dialog;
    QWidget *shown = allwindows::make(*m_program, window, dialog);
    QVERIFY(shown);
    if (shown->parentWidget())
        shown->parentWidget()->window()->showMaximized();
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    QTest::qWait(200);
    checkNoButtons(shown);
    if (QTest::currentTestFailed())
        return;
    if (window == QLatin1String("login") || window == QLatin1String("find"))
        screenshot(QString(window).replace(QLatin1Char(' '), QLatin1Char('-')));

    // The window manager minimises it: it is back at once.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(shown->winId())});
    QTest::qWait(300);
    QTRY_VERIFY_WITH_TIMEOUT(!xProperty(shown, "_NET_WM_STATE").contains(QLatin1String("_NET_WM_STATE_HIDDEN")), 3000);
    QVERIFY(shown->isVisible());
    QVERIFY(!(shown->windowState() & Qt::WindowMinimized));
    shown->hide();
    if (shown->parentWidget())
        shown->parentWidget()->window()->hide();
}

void TestTitleBar::messageBoxHasNoButtons()
{
    QWidget *login = m_program->loginWindow();
    login->show();
    QVERIFY(QTest::qWaitForWindowExposed(login));
    bool checked = false;
    QTimer::singleShot(300, login, [&checked] {
        QWidget *box = QApplication::activeModalWidget();
        if (box) {
            QTest::qWait(300);
            checkNoButtons(box);
            checked = !QTest::currentTestFailed();
            if (checked)
                screenshot(QStringLiteral("message"));
            box->close();
        }
    });
    ui::plain(login, QStringLiteral("Attenzione: password errata."));
    QVERIFY(checked);
    login->hide();
}

void TestTitleBar::everyWindowFitsTheScreen_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &name : allwindows::names())
        QTest::newRow(qPrintable(name)) << name;
}

// Run on a screen of 1024 x 768: each window, shown as the program shows it,
// lies on the screen with its frame, and so does each of its controls.
void TestTitleBar::everyWindowFitsTheScreen()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> dialog;
    QWidget *shown = allwindows::make(*m_program, window, dialog);
    QVERIFY(shown);
    if (shown->minimumSize() == shown->maximumSize())
        shown->show();
    else
        shown->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QTest::qWait(400);
    const QRect screen = shown->screen()->availableGeometry();
    QTRY_VERIFY_WITH_TIMEOUT(frameExtents(shown).size() == 4, 3000);
    const QRect frame = shown->frameGeometry();
    QVERIFY2(screen.contains(frame), qPrintable(QStringLiteral("%1: frame %2,%3 %4x%5 on a screen of %6x%7")
                                                  .arg(window).arg(frame.x()).arg(frame.y()).arg(frame.width())
                                                  .arg(frame.height()).arg(screen.width()).arg(screen.height())));
    const QRect inside(shown->mapToGlobal(QPoint(0, 0)), shown->size());
    for (QWidget *control : shown->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(shown) || control->isWindow() || control->size().isEmpty())
            continue;
        const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
        // Scrolled contents may reach past their viewport; their viewport may not.
        QWidget *area = control->parentWidget();
        while (area && area != shown && !qobject_cast<QAbstractScrollArea *>(area))
            area = area->parentWidget();
        if (area && area != shown)
            continue;
        QVERIFY2(inside.contains(place) && screen.contains(place),
                 qPrintable(QStringLiteral("%1: %2 at %3,%4 %5x%6").arg(window, control->objectName())
                                .arg(place.x()).arg(place.y()).arg(place.width()).arg(place.height())));
    }
    if (screen.width() <= 1024 && underOpenbox())
        screenshot(QStringLiteral("1024x768-") + QString(window).replace(QLatin1Char(' '), QLatin1Char('-')));
    shown->hide();
}

QTEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
