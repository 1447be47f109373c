// On a real X server with a window manager: the windows without title-bar
// buttons ask for none, and a window manager that minimises one anyway sees
// it come back at once. Run by run-with-window-manager.sh under Xvfb and openbox.
#include "AllWindows.h"
#include "app/Program.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestTitleBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void noButtonsAndNoMinimise_data();
    void noButtonsAndNoMinimise();

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

    // flags, functions, decorations: decorations given, border and caption only;
    // the only function is moving.
    const QString hints = xProperty(shown, "_MOTIF_WM_HINTS");
    const QRegularExpressionMatch values =
        QRegularExpression(QStringLiteral("= (0x[0-9a-f]+), (0x[0-9a-f]+), (0x[0-9a-f]+)")).match(hints);
    QVERIFY2(values.hasMatch(), qPrintable(hints));
    const uint flags = values.captured(1).toUInt(nullptr, 16);
    const uint functions = values.captured(2).toUInt(nullptr, 16);
    const uint decorations = values.captured(3).toUInt(nullptr, 16);
    QCOMPARE(flags & 0x3u, 0x3u);        // functions and decorations both given
    QCOMPARE(functions, 0x4u);           // move
    QCOMPARE(decorations, 0x2u | 0x8u);  // border, title

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

QTEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
