#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "app/TavoluxApplication.h"
#include "app/TfrmAvvio.h"
#include "archivewindow/ArchiveNotices.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "platform/TMisc.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <QLineEdit>
#include <QPushButton>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace tavolux;

namespace {

// A program folder holding the store the build installs.
class Folder : public QTemporaryDir
{
public:
    Folder() { QFile::copy(QStringLiteral(DEFAULT_STORE), filePath(QStringLiteral("unins000.dll"))); }
};

void typePassword(Program &program, const QString &password)
{
    program.loginWindow()->txtPassword->setText(password);
    program.loginWindow()->cmdOK->click();
}

void logIn(Program &program)
{
    program.start();
    typePassword(program, QStringLiteral("chiaveprovvisa"));
}

// Calls `seen` when `watched` receives an event of `type`.
class EventSpy : public QObject
{
public:
    EventSpy(QObject *watched, QEvent::Type type, std::function<void()> seen)
        : m_type(type), m_seen(std::move(seen))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_seen();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_seen;
};

int visibleCount(Program &program)
{
    int visible = 0;
    for (QWidget *window : program.persistentWindows())
        visible += window->isVisible();
    return visible;
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void allWindowsExistBeforeTheLoginIsShown();
    void uncaughtFailureShowsItsMessageAndGoesOn();
    void createsPersistentWindowsInOrder();
    void launcherOnlyAfterLogin();
    void changePasswordAndBack_data();
    void changePasswordAndBack();
    void closingLoginEndsProgram_data();
    void closingLoginEndsProgram();
    void launcherOpensAddressesAndComesBack();
    void launcherOpensLabelsAndComesBack();
    void closingLauncherEndsProgram_data();
    void closingLauncherEndsProgram();
    void launcherSetsNumberConventions();
    void writePastFileSizeLimitFailsWithItsMessage();
    void webSiteLineOpensTheShell();
};

void TestProgram::createsPersistentWindowsInOrder()
{
    Folder dir;
    Program program(dir.path());
    QStringList names;
    for (QWidget *window : program.persistentWindows())
        names << window->objectName();
    QCOMPARE(names.mid(0, 3), (QStringList{QStringLiteral("TfrmPassword"), QStringLiteral("TfrmAvvio"),
                                           QStringLiteral("TfrmCambiaPassword")}));
    QVERIFY(names.contains(QStringLiteral("TfrmArchivio_Indirizzi")));
    program.start();
    QCOMPARE(visibleCount(program), 1);
    QVERIFY(program.loginWindow()->isVisible());
    QCOMPARE(program.launcher()->windowTitle(), QStringLiteral(" Tavolux"));
}

void TestProgram::launcherOnlyAfterLogin()
{
    Folder dir;
    ui::MessageRecorder messages;
    Program program(dir.path());
    program.start();
    typePassword(program, QStringLiteral("sbagliata"));
    QCOMPARE(messages.count(), 1);
    QVERIFY(program.loginWindow()->isVisible());
    QVERIFY(!program.launcher()->isVisible());
    typePassword(program, QStringLiteral(" ChiaveProvvisa "));
    QCOMPARE(messages.count(), 1);
    QVERIFY(program.launcher()->isVisible());
    QVERIFY(!program.loginWindow()->isVisible());
    QCOMPARE(visibleCount(program), 1);
}

void TestProgram::changePasswordAndBack_data()
{
    QTest::addColumn<bool>("change");
    QTest::newRow("Chiudi without a change") << false;
    QTest::newRow("after a change") << true;
}

void TestProgram::changePasswordAndBack()
{
    QFETCH(bool, change);
    Folder dir;
    ui::MessageRecorder messages;
    Program program(dir.path());
    program.start();
    TfrmPassword *login = program.loginWindow();
    TfrmCambiaPassword *window = program.changePasswordWindow();
    login->txtPassword->setText(QStringLiteral("qualcosa"));
    login->btnCambiaPassword->click();
    QVERIFY(window->isVisible());
    QVERIFY(!login->isVisible());
    QCOMPARE(visibleCount(program), 1);
    if (change) {
        window->txtPasswordOld->setText(QStringLiteral("chiaveprovvisa"));
        window->txtPasswordNew->setText(QStringLiteral("segreta"));
        window->txtConferma->setText(QStringLiteral("segreta"));
        window->cmdOK->click();
        QCOMPARE(messages.last().text, QStringLiteral("Modifica della password completata con successo."));
    } else {
        window->cmdEsci->click();
        QCOMPARE(messages.count(), 0);
    }
    // Back at the login with an empty field.
    QVERIFY(login->isVisible());
    QVERIFY(!window->isVisible());
    QVERIFY(login->txtPassword->text().isEmpty());
    QVERIFY(!login->cmdOK->isEnabled());
    QCOMPARE(visibleCount(program), 1);
    typePassword(program, change ? QStringLiteral("SEGRETA") : QStringLiteral("chiaveprovvisa"));
    QVERIFY(program.launcher()->isVisible());
}

void TestProgram::closingLoginEndsProgram_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Esci") << false;
    QTest::newRow("close box") << true;
}

void TestProgram::closingLoginEndsProgram()
{
    QFETCH(bool, closeBox);
    Folder dir;
    Program program(dir.path());
    program.start();
    QSignalSpy ended(&program, &Program::ended);
    if (closeBox)
        program.loginWindow()->close();
    else
        program.loginWindow()->cmdEsci->click();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(visibleCount(program), 0);
}

void TestProgram::launcherOpensAddressesAndComesBack()
{
    Folder dir;
    Program program(dir.path());
    logIn(program);
    QVERIFY(program.launcher()->isVisible());
    TfrmAvvio *launcher = program.launcher();
    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    for (ui::PictureButton *opener : {launcher->btnApp01, launcher->imgApp01}) {
        opener->click();
        QVERIFY(addresses->isVisible());
        QVERIFY(!launcher->isVisible());
        addresses->txtNome->setText(QStringLiteral("bozza"));
        addresses->cmdEsci->click();
        QVERIFY(launcher->isVisible());
        QVERIFY(!addresses->isVisible());
    }
    launcher->btnApp01->click();
    QVERIFY(addresses->txtNome->text().isEmpty());
}

void TestProgram::launcherOpensLabelsAndComesBack()
{
    QTemporaryDir dir;
    Program program(dir.path());
    QList<QWidget *> windows = program.persistentWindows();
    QCOMPARE(windows.indexOf(program.labelWindow()), windows.indexOf(program.addressWindow()) + 1);
    program.start();
    TfrmAvvio *launcher = program.launcher();
    TfrmArchivio_Etichette *labels = program.labelWindow();
    QVERIFY(!labels->isVisible());
    for (ui::PictureButton *opener : {launcher->btnApp02, launcher->imgApp02}) {
        opener->click();
        QVERIFY(labels->isVisible());
        QVERIFY(!launcher->isVisible());
        labels->fillSlot(1, QStringLiteral("bozza"), {QStringLiteral("riga")});
        labels->lblPosizione->setText(QStringLiteral("4"));
        labels->cmdEsci->click();
        QVERIFY(launcher->isVisible());
        QVERIFY(!labels->isVisible());
        // Hidden, it keeps what it holds until it is shown again.
        QCOMPARE(labels->txtNome_E(1)->text(), QStringLiteral("bozza"));
    }
    launcher->btnApp02->click(); // shown again: a cleared page
    QVERIFY(labels->txtNome_E(1)->text().isEmpty());
    QVERIFY(labels->lineText(1, 1).isEmpty());
    QVERIFY(labels->lblPosizione->text().isEmpty());
    labels->close();
    QVERIFY(launcher->isVisible());
    QVERIFY(!labels->isVisible());
}

void TestProgram::closingLauncherEndsProgram_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("exit icon") << false;
    QTest::newRow("close box") << true;
}

void TestProgram::closingLauncherEndsProgram()
{
    QFETCH(bool, closeBox);
    Folder dir;
    Program program(dir.path());
    logIn(program);
    QSignalSpy ended(&program, &Program::ended);
    if (closeBox)
        program.launcher()->close();
    else
        program.launcher()->imgEsci->click();
    QCOMPARE(ended.count(), 1);
    // It does not go back to the login.
    QVERIFY(!program.loginWindow()->isVisible());
    for (QWidget *window : program.persistentWindows())
        QVERIFY(!window->isVisible() || window == program.launcher());
}

void TestProgram::launcherSetsNumberConventions()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    Program program(dir.path());
    QCOMPARE(QLocale().toDouble(QStringLiteral("2,5")), 2.5);
}

void TestProgram::writePastFileSizeLimitFailsWithItsMessage()
{
    // As the system starts a process: a write past the file size limit ends
    // it (SIGXFSZ), unless the program's start-up changes that.
    std::signal(SIGXFSZ, SIG_DFL);
    Folder dir;
    Program program(dir.path());
    logIn(program);
    program.launcher()->btnApp01->click();
    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    QVERIFY(addresses->isVisible());
    addresses->txtNome->setText(QStringLiteral("Rossi"));
    ui::MessageRecorder messages;
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 1000; // less than one card
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    addresses->cmdSalva->click();
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, archivewindow::accessDeniedMessage());
    QVERIFY(addresses->lblPosizione->text().isEmpty());
    QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("Archivio_Indirizzi.pro"))).size(), 0);
}

void TestProgram::webSiteLineOpensTheShell()
{
    QStringList opened;
    TMisc::setOpener([&](const QString &target) { opened << target; });
    QTemporaryDir dir;
    Program program(dir.path());
    program.launcher()->imgSito->click();
    TMisc::setOpener({});
    QCOMPARE(opened, QStringList{TfrmAvvio::makerWebSite()});
}

void TestProgram::allWindowsExistBeforeTheLoginIsShown()
{
    QTemporaryDir dir;
    Program program(dir.path());
    auto created = [] {
        QStringList names;
        for (QWidget *window : QApplication::topLevelWidgets())
            names << window->objectName();
        return names;
    };
    QVERIFY(created().contains(QStringLiteral("TfrmPassword")));
    // What exists at the moment the login window is shown.
    QStringList atShow;
    EventSpy spy(program.loginWindow(), QEvent::Show, [&] { atShow = created(); });
    program.start();
    QVERIFY(program.loginWindow()->isVisible());
    for (const char *name : {"TfrmAvvio", "TfrmCambiaPassword", "TfrmArchivio_Indirizzi", "TfrmArchivio_Etichette"})
        QVERIFY2(atShow.contains(QLatin1String(name)), name);
    QCOMPARE(visibleCount(program), 1);
    // Made cheaply: a window not yet shown is not styled yet, even once the
    // events waiting at start-up have run...
    QCoreApplication::processEvents();
    for (QWidget *hidden : {static_cast<QWidget *>(program.launcher()), static_cast<QWidget *>(program.addressWindow()),
                            static_cast<QWidget *>(program.labelWindow()),
                            static_cast<QWidget *>(program.changePasswordWindow())}) {
        QVERIFY2(!hidden->testAttribute(Qt::WA_WState_Polished), qPrintable(hidden->objectName()));
        for (QWidget *child : hidden->findChildren<QWidget *>())
            QVERIFY2(!child->testAttribute(Qt::WA_WState_Polished), qPrintable(child->objectName()));
    }
    QVERIFY(program.loginWindow()->testAttribute(Qt::WA_WState_Polished));
    // ...and has drawn none of its pictures.
    QVERIFY(program.launcher()->imgApp01->pixmap().isNull());
    QVERIFY(program.launcher()->btnApp01->pixmap().isNull());
    // The two archive windows' controls wait for their first use as well,
    // and are all made at the first one asked for.
    QVERIFY(program.labelWindow()->findChildren<QWidget *>().isEmpty());
    QCOMPARE(program.labelWindow()->txtNome_E(24)->objectName(), QStringLiteral("txtNome_E24"));
    QVERIFY(program.labelWindow()->findChild<QWidget *>(QStringLiteral("cmdEsci")));
    TfrmArchivio_Indirizzi *addresses = program.addressWindow();
    QVERIFY(addresses->findChildren<QWidget *>().isEmpty());
    QCOMPARE(addresses->cmdEsci->objectName(), QStringLiteral("cmdEsci"));
    QVERIFY(addresses->findChild<QLineEdit *>(QStringLiteral("txtNote")));
    QCOMPARE(addresses->txtNote.get(), addresses->findChild<QLineEdit *>(QStringLiteral("txtNote")));
    program.launcher()->show();
    QCoreApplication::processEvents();
    QVERIFY(program.launcher()->imgApp01->testAttribute(Qt::WA_WState_Polished));
    QVERIFY(!program.launcher()->imgApp01->pixmap().isNull());
    QVERIFY(!program.launcher()->btnApp01->pixmap().isNull());
    program.launcher()->hide();
    // Made once: asking for them again gives the same windows.
    const QList<QWidget *> windows = program.persistentWindows();
    QCOMPARE(program.persistentWindows(), windows);
}

void TestProgram::uncaughtFailureShowsItsMessageAndGoesOn()
{
    ui::MessageRecorder messages;
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw std::runtime_error("Stampante non disponibile");
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().kind, ui::MessageKind::Error);
    QCOMPARE(messages.last().text, QStringLiteral("Stampante non disponibile"));
    // The program goes on: the next click is handled again.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(messages.count(), 2);
}

// The program's own application object, with its general failure handling.
int main(int argc, char *argv[])
{
    tavolux::TavoluxApplication application(argc, argv);
    TestProgram test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_program.moc"
