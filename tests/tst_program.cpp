#include "addresses/TfrmArchivio_Indirizzi.h"
#include "app/Program.h"
#include "app/TfrmAvvio.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "platform/TMisc.h"
#include "ui/PictureButton.h"

#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tavolux;

class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void createsPersistentWindowsInOrder();
    void launcherOpensAddressesAndComesBack();
    void launcherOpensLabelsAndComesBack();
    void closingLauncherEndsProgram_data();
    void closingLauncherEndsProgram();
    void launcherSetsNumberConventions();
    void webSiteLineOpensTheShell();
};

void TestProgram::createsPersistentWindowsInOrder()
{
    QTemporaryDir dir;
    Program program(dir.path());
    QStringList names;
    for (QWidget *window : program.persistentWindows())
        names << window->objectName();
    QCOMPARE(names.first(), QStringLiteral("TfrmAvvio"));
    QVERIFY(names.contains(QStringLiteral("TfrmArchivio_Indirizzi")));
    program.start();
    int visible = 0;
    for (QWidget *window : program.persistentWindows())
        visible += window->isVisible();
    QCOMPARE(visible, 1);
    QCOMPARE(program.launcher()->windowTitle(), QStringLiteral(" Tavolux"));
}

void TestProgram::launcherOpensAddressesAndComesBack()
{
    QTemporaryDir dir;
    Program program(dir.path());
    program.start();
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
    QTemporaryDir dir;
    Program program(dir.path());
    program.start();
    QSignalSpy ended(&program, &Program::ended);
    if (closeBox)
        program.launcher()->close();
    else
        program.launcher()->imgEsci->click();
    QCOMPARE(ended.count(), 1);
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

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
