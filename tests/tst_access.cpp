#include "FileSizeLimit.h"
#include "access/Crypt.h"
#include "access/FocusGlow.h"
#include "access/PasswordStore.h"
#include "access/TfrmCambiaPassword.h"
#include "access/TfrmPassword.h"
#include "platform/IniFile.h"
#include "ui/Messages.h"
#include "ui/PasswordAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace tavolux;
using Check = PasswordStore::Check;

namespace {

const QString kDefaultHex = QStringLiteral("5F09B8FA91CF70158AB8BFD0750A");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString textOfCodes(int length, int seed)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(char16_t((i * 7 + seed) % 256));
    return text;
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Cipher
    void cipherVectors_data();
    void cipherVectors();
    void roundTripAllCodesAndLengths();
    void decipherAcceptsLowerCaseAndIgnoresOddDigit();
    void decipherFailsOnNonHexPair_data();
    void decipherFailsOnNonHexPair();
    void lastCharacterChangesOnlyLastTwoDigits();

    // Store
    void generatedDefaultStore();
    void storedForm_data();
    void storedForm();
    void check_data();
    void check();
    void missingOrEmptyStoreMakesEveryPasswordWrong();
    void writeKeepsOtherLines();
    void refusesWhatTheStoreCannotHold_data();
    void refusesWhatTheStoreCannotHold();
    void failedWriteKeepsOldStore();

    // Login window
    void loginLayout();
    void loginOkFollowsTheField();
    void loginAcceptsDefaultPassword_data();
    void loginAcceptsDefaultPassword();
    void loginWrongPassword_data();
    void loginWrongPassword();
    void loginUnreadableStore();
    void loginStoreWithByteOrderMark();
    void oddStoreIsUnreadable_data();
    void oddStoreIsUnreadable();
    void loginButtons();

    // Change-password window
    void changeLayoutAndShow();
    void changeOkNeedsAllThreeFields();
    void changeEnterRing();
    void changeWrongOldPassword_data();
    void changeWrongOldPassword();
    void changeConfirmationMismatch();
    void changeSucceeds();
    void changeRefusesUnholdablePassword_data();
    void changeRefusesUnholdablePassword();
    void changeWriteFailure();
    void changeUnreadableStore();

    // Assistive tools
    void passwordCharactersNeverReachAssistiveTools_data();
    void passwordCharactersNeverReachAssistiveTools();
    void padlockPicturesCarryTheirText();

private:
    QString storePath() const { return m_dir->filePath(PasswordStore::fileName()); }
    ProgramFolder folder() const { return ProgramFolder(m_dir->path()); }
    void showLogin();
    void showChange();
    void fillChange(const QString &oldPassword, const QString &newPassword, const QString &confirmation);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ui::MessageRecorder> m_messages;
    std::unique_ptr<TfrmPassword> m_login;
    std::unique_ptr<TfrmCambiaPassword> m_change;
};

void TestAccess::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Every test starts from the store the build installs next to the program.
    QVERIFY(QFile::copy(QStringLiteral(DEFAULT_STORE), storePath()));
    QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner);
    m_messages = std::make_unique<ui::MessageRecorder>();
}

void TestAccess::cleanup()
{
    m_change.reset();
    m_login.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestAccess::showLogin()
{
    m_login = std::make_unique<TfrmPassword>(folder());
    m_login->show();
    QApplication::setActiveWindow(m_login.get());
}

void TestAccess::showChange()
{
    m_change = std::make_unique<TfrmCambiaPassword>(folder());
    m_change->show();
    QApplication::setActiveWindow(m_change.get());
}

void TestAccess::fillChange(const QString &oldPassword, const QString &newPassword, const QString &confirmation)
{
    m_change->txtPasswordOld->setText(oldPassword);
    m_change->txtPasswordNew->setText(newPassword);
    m_change->txtConferma->setText(confirmation);
}

// ---- Cipher ----------------------------------------------------------------

void TestAccess::cipherVectors_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("comesBack");
    // Worked by hand: key 7385 = 1CD9h; 'A' 41h xor 1Ch = 5Dh; key = ((5Dh + 7385) * 40503 + 27361) mod 65536
    // = 1403 = 057Bh; 'B' 42h xor 05h = 47h; key = 25487 = 638Fh; 'C' 43h xor 63h = 20h.
    QTest::newRow("empty") << QString() << QString() << true;
    QTest::newRow("A") << "A" << "5D" << true;
    QTest::newRow("AB") << "AB" << "5D47" << true;
    QTest::newRow("ABC") << "ABC" << "5D4720" << true;
    QTest::newRow("default password") << "CHIAVEPROVVISA" << kDefaultHex << true;
    QTest::newRow("Latin-1") << QStringLiteral("ÈÉ") << "D458" << true;
    // Only the low 8 bits of a code are enciphered: U+0141 goes as 41h.
    QTest::newRow("above 255") << QStringLiteral("\u0141") << "5D" << false;
}

void TestAccess::cipherVectors()
{
    QFETCH(QString, plain);
    QFETCH(QString, hex);
    QFETCH(bool, comesBack);
    QCOMPARE(Crypt::CifraPassword(plain), hex);
    const std::optional<QString> back = Crypt::DecifraPassword(hex);
    QVERIFY(back.has_value());
    QCOMPARE(*back == plain, comesBack);
}

void TestAccess::roundTripAllCodesAndLengths()
{
    static const QRegularExpression upperHex(QStringLiteral("^[0-9A-F]*$"));
    for (int length = 0; length <= PasswordStore::MaxLength; ++length) {
        const QString text = textOfCodes(length, length * 31);
        const QString hex = Crypt::CifraPassword(text);
        QCOMPARE(hex.size(), 2 * length);
        QVERIFY2(upperHex.match(hex).hasMatch(), qPrintable(hex));
        QCOMPARE(Crypt::DecifraPassword(hex).value_or(QStringLiteral("<failed>")), text);
    }
    // Every code from 0 to 255 in one text.
    const QString all = textOfCodes(256, 0);
    QCOMPARE(Crypt::DecifraPassword(Crypt::CifraPassword(all)).value_or(QString()), all);
}

void TestAccess::decipherAcceptsLowerCaseAndIgnoresOddDigit()
{
    const QString text = QStringLiteral("Perché 42!");
    const QString hex = Crypt::CifraPassword(text);
    QCOMPARE(Crypt::DecifraPassword(hex.toLower()).value_or(QString()), text);
    QCOMPARE(Crypt::DecifraPassword(hex + QLatin1Char('7')).value_or(QString()), text);
    QCOMPARE(Crypt::DecifraPassword(hex + QLatin1Char('Z')).value_or(QString()), text);
    QCOMPARE(Crypt::DecifraPassword(QStringLiteral("5")).value_or(QStringLiteral("x")), QString());
}

void TestAccess::decipherFailsOnNonHexPair_data()
{
    QTest::addColumn<QString>("hex");
    QTest::newRow("G") << "5G";
    QTest::newRow("second pair") << "5D4Z";
    QTest::newRow("blank inside") << "5D 7";
    QTest::newRow("sign") << "-1";
    QTest::newRow("prefix") << "0x5D";
    QTest::newRow("blanks") << "  ";
    QTest::newRow("non-ASCII digit") << QStringLiteral("5\u0661");
}

void TestAccess::decipherFailsOnNonHexPair()
{
    QFETCH(QString, hex);
    QVERIFY(!Crypt::DecifraPassword(hex).has_value());
}

void TestAccess::lastCharacterChangesOnlyLastTwoDigits()
{
    const QString a = Crypt::CifraPassword(QStringLiteral("PASSWORDA"));
    const QString b = Crypt::CifraPassword(QStringLiteral("PASSWORDB"));
    QCOMPARE(a.left(16), b.left(16));
    QVERIFY(a.right(2) != b.right(2));
}

// ---- Store -----------------------------------------------------------------

void TestAccess::generatedDefaultStore()
{
    // What the build installs: the default password's stored form, enciphered,
    // under Accesso / Valore, and nothing else.
    QCOMPARE(IniFile(QStringLiteral(DEFAULT_STORE)).readString(QStringLiteral("Accesso"), QStringLiteral("Valore")),
             Crypt::CifraPassword(PasswordStore::storedForm(QStringLiteral("chiaveprovvisa"))));
    QCOMPARE(PasswordStore(folder()).readValue(), kDefaultHex);
    QCOMPARE(readAll(QStringLiteral(DEFAULT_STORE)), QByteArray("[Accesso]\r\nValore=" + kDefaultHex.toLatin1() + "\r\n"));
}

void TestAccess::storedForm_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("lower") << "chiaveprovvisa" << "CHIAVEPROVVISA";
    QTest::newRow("mixed, blanks around") << " \t ChiAve Provvisa  \r\n" << "CHIAVE PROVVISA";
    QTest::newRow("accents unchanged") << QStringLiteral("perché àè") << QStringLiteral("PERCHé àè");
    QTest::newRow("digits and signs") << "a1-b2_z@" << "A1-B2_Z@";
    QTest::newRow("blank only") << "   " << "";
}

void TestAccess::storedForm()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(PasswordStore::storedForm(typed), stored);
}

void TestAccess::check_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    const QString standard = QStringLiteral("chiaveprovvisa");
    QTest::newRow("default, lower") << standard << "chiaveprovvisa" << int(Check::Right);
    QTest::newRow("default, upper") << standard << "CHIAVEPROVVISA" << int(Check::Right);
    QTest::newRow("default, mixed and blanks") << standard << "  ChiaveProvVisa \t" << int(Check::Right);
    QTest::newRow("default, one letter short") << standard << "chiaveprovvis" << int(Check::Wrong);
    QTest::newRow("default, inner blank") << standard << "chiave provvisa" << int(Check::Wrong);
    QTest::newRow("empty typed") << standard << "" << int(Check::Wrong);
    QTest::newRow("accent in lower case") << QStringLiteral("Perché") << QStringLiteral("perché") << int(Check::Right);
    QTest::newRow("accent folded is not the same") << QStringLiteral("Perché") << QStringLiteral("PERCHÉ")
                                                   << int(Check::Wrong);
}

void TestAccess::check()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    PasswordStore store(folder());
    QVERIFY(store.setPassword(stored));
    QCOMPARE(int(store.check(typed)), expected);
}

void TestAccess::missingOrEmptyStoreMakesEveryPasswordWrong()
{
    PasswordStore store(folder());
    QVERIFY(QFile::remove(storePath()));
    for (const QString &typed : {QStringLiteral("chiaveprovvisa"), QString(), QStringLiteral(" ")})
        QCOMPARE(store.check(typed), Check::Wrong);
    writeAll(storePath(), "[Accesso]\r\nAltro=5D\r\n");
    QCOMPARE(store.check(QStringLiteral("chiaveprovvisa")), Check::Wrong);
    writeAll(storePath(), "[Accesso]\r\nValore=\r\n");
    QCOMPARE(store.check(QString()), Check::Wrong);
}

void TestAccess::writeKeepsOtherLines()
{
    writeAll(storePath(), "; installato\r\n[Altro]\r\nValore=1\r\n[Accesso]\r\nValore=5D\r\nData=oggi\r\n");
    PasswordStore store(folder());
    QCOMPARE(store.check(QStringLiteral("a")), Check::Right);
    QVERIFY(store.setPassword(QStringLiteral("nuova")));
    QCOMPARE(readAll(storePath()), QByteArray("; installato\r\n[Altro]\r\nValore=1\r\n[Accesso]\r\nValore="
                                              + Crypt::CifraPassword(QStringLiteral("NUOVA")).toLatin1()
                                              + "\r\nData=oggi\r\n"));
    QCOMPARE(store.check(QStringLiteral("NUOVA")), Check::Right);
}

void TestAccess::refusesWhatTheStoreCannotHold_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("held");
    QTest::newRow("255") << QString(255, QLatin1Char('x')) << true;
    QTest::newRow("255 with blanks around") << QStringLiteral("  ") + QString(255, QLatin1Char('x')) + QStringLiteral(" ")
                                            << true;
    QTest::newRow("256") << QString(256, QLatin1Char('x')) << false;
    QTest::newRow("Latin-1 letters") << QStringLiteral("città ÿ") << true;
    QTest::newRow("euro sign") << QStringLiteral("100€") << false;
    QTest::newRow("emoji") << QStringLiteral("chiave\U0001F511") << false;
}

void TestAccess::refusesWhatTheStoreCannotHold()
{
    QFETCH(QString, password);
    QFETCH(bool, held);
    QCOMPARE(PasswordStore::canHold(password), held);
    const QByteArray before = readAll(storePath());
    PasswordStore store(folder());
    QCOMPARE(store.setPassword(password), held);
    if (held) {
        QCOMPARE(store.check(password), Check::Right);
    } else {
        QCOMPARE(readAll(storePath()), before);
        QCOMPARE(store.check(QStringLiteral("chiaveprovvisa")), Check::Right);
    }
}

void TestAccess::failedWriteKeepsOldStore()
{
    const QByteArray before = readAll(storePath());
    PasswordStore store(folder());
    {
        FileSizeLimit full(0);
        QVERIFY(!store.setPassword(QStringLiteral("nuova")));
    }
    QCOMPARE(readAll(storePath()), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{PasswordStore::fileName()});
    QCOMPARE(store.check(QStringLiteral("chiaveprovvisa")), Check::Right);
}

// ---- Login window ----------------------------------------------------------

void TestAccess::loginLayout()
{
    showLogin();
    QCOMPARE(m_login->objectName(), QStringLiteral("TfrmPassword"));
    QVERIFY(m_login->windowTitle().startsWith(QStringLiteral(" Tavolux - ")));
    QVERIFY(!m_login->windowTitle().mid(11).contains(QLatin1Char(' ')));
    QCOMPARE(m_login->minimumSize(), m_login->maximumSize());
    QVERIFY(!(m_login->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)));
    QCOMPARE(m_login->lblRigo05->text(), QStringLiteral("Immetti la password e premi OK."));
    QCOMPARE(m_login->txtPassword->echoMode(), QLineEdit::Password);
    QCOMPARE(m_login->txtPassword->font().pointSize(), 14);
    QVERIFY(m_login->txtPassword->font().bold());
    QCOMPARE(m_login->txtPassword->maxLength(), 32767); // no limit of its own
    QCOMPARE(m_login->cmdOK->text(), QStringLiteral("OK"));
    QCOMPARE(m_login->cmdEsci->text(), QStringLiteral("Esci"));
    QCOMPARE(m_login->btnCambiaPassword->text(), QStringLiteral("Cambia password"));
    QVERIFY(!m_login->imgLogo->pixmap().isNull());
    // The highlight is behind the field, and only while the field has the focus.
    QVERIFY(m_login->txtPassword->hasFocus());
    QVERIFY(m_login->effPassword->isVisible());
    QVERIFY(m_login->effPassword->geometry().contains(m_login->txtPassword->geometry()));
    m_login->cmdEsci->setFocus();
    QVERIFY(!m_login->effPassword->isVisible());
}

void TestAccess::loginOkFollowsTheField()
{
    showLogin();
    QLineEdit *field = m_login->txtPassword;
    QVERIFY(!m_login->cmdOK->isEnabled());
    QTest::keyClick(field, Qt::Key_Space);
    QVERIFY(!m_login->cmdOK->isEnabled());
    // Enter on blanks does nothing at all.
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_messages->count(), 0);
    QTest::keyClicks(field, QStringLiteral("a"));
    QVERIFY(m_login->cmdOK->isEnabled());
    QTest::keyClick(field, Qt::Key_Backspace);
    QVERIFY(!m_login->cmdOK->isEnabled());
}

void TestAccess::loginAcceptsDefaultPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("lower, OK") << "chiaveprovvisa" << false;
    QTest::newRow("upper, Enter") << "CHIAVEPROVVISA" << true;
    QTest::newRow("mixed, OK") << "ChiaveProvvisa" << false;
    QTest::newRow("blanks around, Enter") << "  chiaveprovvisa  " << true;
}

void TestAccess::loginAcceptsDefaultPassword()
{
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    showLogin();
    QSignalSpy loggedIn(m_login.get(), &TfrmPassword::loggedIn);
    QTest::keyClicks(m_login->txtPassword, typed);
    if (byEnter)
        QTest::keyClick(m_login->txtPassword, Qt::Key_Return);
    else
        QTest::mouseClick(m_login->cmdOK, Qt::LeftButton);
    QCOMPARE(loggedIn.count(), 1);
    QCOMPARE(m_messages->count(), 0);
}

void TestAccess::loginWrongPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("removeStore");
    QTest::newRow("wrong") << "chiave" << false;
    QTest::newRow("store missing, default typed") << "chiaveprovvisa" << true;
}

void TestAccess::loginWrongPassword()
{
    QFETCH(QString, typed);
    QFETCH(bool, removeStore);
    if (removeStore)
        QVERIFY(QFile::remove(storePath()));
    showLogin();
    QSignalSpy loggedIn(m_login.get(), &TfrmPassword::loggedIn);
    for (int attempt = 1; attempt <= 3; ++attempt) { // no count of failures
        QTest::keyClicks(m_login->txtPassword, typed);
        QTest::keyClick(m_login->txtPassword, Qt::Key_Return);
        QCOMPARE(m_messages->count(), attempt);
        QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: password errata."));
        QCOMPARE(m_messages->last().kind, ui::MessageKind::Plain);
        QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
        QVERIFY(m_login->txtPassword->text().isEmpty());
        QVERIFY(!m_login->cmdOK->isEnabled());
        QVERIFY(m_login->txtPassword->hasFocus());
        QVERIFY(m_login->isVisible());
    }
    QCOMPARE(loggedIn.count(), 0);
}

void TestAccess::loginUnreadableStore()
{
    writeAll(storePath(), "[Accesso]\r\nValore=5F09B8FA91CF70158AB8BFD0750X\r\n");
    showLogin();
    QSignalSpy loggedIn(m_login.get(), &TfrmPassword::loggedIn);
    QTest::keyClicks(m_login->txtPassword, QStringLiteral("chiaveprovvisa"));
    QTest::mouseClick(m_login->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura della password. "
                            "Si consiglia di reinstallare il software."));
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    // The window stays as it was.
    QCOMPARE(m_login->txtPassword->text(), QStringLiteral("chiaveprovvisa"));
    QVERIFY(m_login->cmdOK->isEnabled());
    QCOMPARE(loggedIn.count(), 0);
}

void TestAccess::loginStoreWithByteOrderMark()
{
    // Saved by an editor that puts a byte-order mark before the first line.
    writeAll(storePath(), "\xEF\xBB\xBF[Accesso]\r\nValore=" + kDefaultHex.toLatin1() + "\r\n");
    showLogin();
    QSignalSpy loggedIn(m_login.get(), &TfrmPassword::loggedIn);
    QTest::keyClicks(m_login->txtPassword, QStringLiteral("chiaveprovvisa"));
    QTest::mouseClick(m_login->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(loggedIn.count(), 1);
    // A change replaces the one value and keeps the mark.
    PasswordStore store(folder());
    QVERIFY(store.setPassword(QStringLiteral("nuova")));
    QCOMPARE(readAll(storePath()), "\xEF\xBB\xBF[Accesso]\r\nValore="
                                       + Crypt::CifraPassword(QStringLiteral("NUOVA")).toLatin1() + "\r\n");
    QCOMPARE(store.check(QStringLiteral("nuova")), Check::Right);
}

void TestAccess::oddStoreIsUnreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
}

void TestAccess::oddStoreIsUnreadable()
{
    QFETCH(QString, kind);
    QVERIFY(QFile::remove(storePath()));
    const QByteArray name = QFile::encodeName(storePath());
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    else
        QCOMPARE(::symlink("/dev/zero", name.constData()), 0);
    // The login answers at once with its reading failure, and so does a change.
    showLogin();
    QTest::keyClicks(m_login->txtPassword, QStringLiteral("chiaveprovvisa"));
    QTest::mouseClick(m_login->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura della password. "
                            "Si consiglia di reinstallare il software."));
    PasswordStore store(folder());
    QCOMPARE(store.check(QStringLiteral("chiaveprovvisa")), Check::Unreadable);
    QVERIFY(!store.setPassword(QStringLiteral("nuova")));
    struct stat st;
    QCOMPARE(::lstat(name.constData(), &st), 0);
    QVERIFY(kind == QLatin1String("fifo") ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode));
}

void TestAccess::loginButtons()
{
    showLogin();
    QSignalSpy change(m_login.get(), &TfrmPassword::changePasswordRequested);
    QSignalSpy end(m_login.get(), &TfrmPassword::endRequested);
    QTest::mouseClick(m_login->btnCambiaPassword, Qt::LeftButton);
    QCOMPARE(change.count(), 1);
    QCOMPARE(m_messages->count(), 0); // no password asked first
    QCOMPARE(end.count(), 0);
    QTest::mouseClick(m_login->cmdEsci, Qt::LeftButton);
    QCOMPARE(end.count(), 1);
    QVERIFY(!m_login->isVisible());
}

// ---- Change-password window ------------------------------------------------

void TestAccess::changeLayoutAndShow()
{
    showChange();
    QCOMPARE(m_change->objectName(), QStringLiteral("TfrmCambiaPassword"));
    QCOMPARE(m_change->windowTitle(), QStringLiteral(" Cambia password"));
    QCOMPARE(m_change->minimumSize(), m_change->maximumSize());
    QCOMPARE(m_change->cmdEsci->text(), QStringLiteral("Chiudi"));
    QCOMPARE(m_change->cmdOK->text(), QStringLiteral("OK"));
    QStringList captions;
    for (QLabel *label : m_change->findChildren<QLabel *>())
        captions << label->text();
    for (const char *caption : {"Vecchia password:", "Nuova password:", "Conferma nuova password:"})
        QVERIFY2(captions.contains(QLatin1String(caption)), caption);
    for (QLineEdit *field : {m_change->txtPasswordOld, m_change->txtPasswordNew, m_change->txtConferma}) {
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QCOMPARE(field->font().pointSize(), 14);
        QVERIFY(field->font().bold());
    }
    QVERIFY(m_change->txtPasswordOld->hasFocus());
    QVERIFY(m_change->effPasswordOld->isVisible());
    QVERIFY(!m_change->effPasswordNew->isVisible());
    QVERIFY(!m_change->effConferma->isVisible());
    // A hidden window keeps its fields until it is shown again.
    fillChange(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    m_change->hide();
    m_change->show();
    QVERIFY(m_change->txtPasswordOld->text().isEmpty());
    QVERIFY(m_change->txtPasswordNew->text().isEmpty());
    QVERIFY(m_change->txtConferma->text().isEmpty());
    QVERIFY(!m_change->cmdOK->isEnabled());
}

void TestAccess::changeOkNeedsAllThreeFields()
{
    showChange();
    QVERIFY(!m_change->cmdOK->isEnabled());
    QTest::keyClicks(m_change->txtPasswordOld, QStringLiteral("vecchia"));
    QTest::keyClicks(m_change->txtPasswordNew, QStringLiteral("nuova"));
    QVERIFY(!m_change->cmdOK->isEnabled());
    QTest::keyClicks(m_change->txtConferma, QStringLiteral("  "));
    QVERIFY(!m_change->cmdOK->isEnabled());
    QTest::keyClicks(m_change->txtConferma, QStringLiteral("n"));
    QVERIFY(m_change->cmdOK->isEnabled());
    m_change->txtPasswordOld->setText(QStringLiteral(" "));
    QVERIFY(!m_change->cmdOK->isEnabled());
}

void TestAccess::changeEnterRing()
{
    showChange();
    fillChange(QStringLiteral("chiaveprovvisa"), QStringLiteral("nuova"), QStringLiteral("nuova"));
    const QList<QLineEdit *> ring{m_change->txtPasswordOld, m_change->txtPasswordNew, m_change->txtConferma,
                                  m_change->txtPasswordOld};
    for (int i = 0; i + 1 < ring.size(); ++i) {
        QVERIFY(ring.at(i)->hasFocus());
        QTest::keyClick(ring.at(i), Qt::Key_Return);
        QVERIFY(ring.at(i + 1)->hasFocus());
        QVERIFY(m_change->findChild<FocusGlow *>(QStringLiteral("eff") + ring.at(i + 1)->objectName().mid(3))
                    ->isVisible());
    }
    // Enter never submits.
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(PasswordStore(folder()).check(QStringLiteral("chiaveprovvisa")), Check::Right);
}

void TestAccess::changeWrongOldPassword_data()
{
    QTest::addColumn<bool>("removeStore");
    QTest::newRow("wrong old") << false;
    QTest::newRow("store missing") << true;
}

void TestAccess::changeWrongOldPassword()
{
    QFETCH(bool, removeStore);
    if (removeStore)
        QVERIFY(QFile::remove(storePath()));
    showChange();
    QSignalSpy closed(m_change.get(), &TfrmCambiaPassword::closed);
    fillChange(removeStore ? QStringLiteral("chiaveprovvisa") : QStringLiteral("sbagliata"), QStringLiteral("nuova"),
               QStringLiteral("nuova"));
    m_change->txtConferma->setFocus();
    QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: vecchia password errata."));
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    QVERIFY(m_change->txtPasswordOld->text().isEmpty());
    QVERIFY(m_change->txtPasswordOld->hasFocus());
    QCOMPARE(m_change->txtPasswordNew->text(), QStringLiteral("nuova"));
    QVERIFY(m_change->isVisible());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(QFile::exists(storePath()), !removeStore);
}

void TestAccess::changeConfirmationMismatch()
{
    showChange();
    // Exact comparison: a difference in case is a mismatch.
    fillChange(QStringLiteral("CHIAVEPROVVISA"), QStringLiteral("nuova"), QStringLiteral("Nuova"));
    const QByteArray before = readAll(storePath());
    QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                            "E' necessario reinserire entrambi i valori."));
    QCOMPARE(m_change->txtPasswordOld->text(), QStringLiteral("CHIAVEPROVVISA"));
    QVERIFY(m_change->txtPasswordNew->text().isEmpty());
    QVERIFY(m_change->txtConferma->text().isEmpty());
    QVERIFY(m_change->txtPasswordNew->hasFocus());
    QCOMPARE(readAll(storePath()), before);
}

void TestAccess::changeSucceeds()
{
    showChange();
    QSignalSpy closed(m_change.get(), &TfrmCambiaPassword::closed);
    // Blanks around the confirmation are trimmed before comparing.
    fillChange(QStringLiteral(" chiaveprovvisa"), QStringLiteral("nuovapassword"), QStringLiteral("nuovapassword  "));
    QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, QStringLiteral("Modifica della password completata con successo."));
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    QCOMPARE(closed.count(), 1);
    QVERIFY(!m_change->isVisible());
    QCOMPARE(PasswordStore(folder()).readValue(), Crypt::CifraPassword(QStringLiteral("NUOVAPASSWORD")));

    // The login takes the new password in any case, and refuses the old one.
    showLogin();
    QSignalSpy loggedIn(m_login.get(), &TfrmPassword::loggedIn);
    QTest::keyClicks(m_login->txtPassword, QStringLiteral("chiaveprovvisa"));
    QTest::keyClick(m_login->txtPassword, Qt::Key_Return);
    QCOMPARE(m_messages->last().text, QStringLiteral("Attenzione: password errata."));
    for (const QString &typed : {QStringLiteral("NuovaPassword"), QStringLiteral("NUOVAPASSWORD")}) {
        QTest::keyClicks(m_login->txtPassword, typed);
        QTest::keyClick(m_login->txtPassword, Qt::Key_Return);
        m_login->clearPassword();
    }
    QCOMPARE(loggedIn.count(), 2);
    QCOMPARE(m_messages->count(), 2);
}

void TestAccess::changeRefusesUnholdablePassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("256 characters") << QString(256, QLatin1Char('k'));
    QTest::newRow("euro sign") << QStringLiteral("prezzo€");
}

void TestAccess::changeRefusesUnholdablePassword()
{
    QFETCH(QString, password);
    showChange();
    const QByteArray before = readAll(storePath());
    QSignalSpy closed(m_change.get(), &TfrmCambiaPassword::closed);
    fillChange(QStringLiteral("chiaveprovvisa"), password, password);
    QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, TfrmCambiaPassword::unusablePasswordMessage());
    QVERIFY(m_messages->last().text.startsWith(QStringLiteral("Attenzione: ")));
    QCOMPARE(m_messages->last().buttons, ui::MessageButtons::Ok);
    QVERIFY(m_change->txtPasswordNew->text().isEmpty());
    QVERIFY(m_change->txtConferma->text().isEmpty());
    QCOMPARE(closed.count(), 0);
    QCOMPARE(readAll(storePath()), before);
}

void TestAccess::changeWriteFailure()
{
    showChange();
    const QByteArray before = readAll(storePath());
    fillChange(QStringLiteral("chiaveprovvisa"), QStringLiteral("nuova"), QStringLiteral("nuova"));
    {
        FileSizeLimit full(0);
        QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    }
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica della password. "
                            "Si consiglia di reinstallare il software.\r\n\r\n"
                            "Il file supera la dimensione massima che il sistema consente."));
    QVERIFY(m_change->isVisible());
    QCOMPARE(readAll(storePath()), before);
    QCOMPARE(PasswordStore(folder()).check(QStringLiteral("chiaveprovvisa")), Check::Right);
}

void TestAccess::changeUnreadableStore()
{
    writeAll(storePath(), "[Accesso]\r\nValore=nonhex\r\n");
    showChange();
    fillChange(QStringLiteral("chiaveprovvisa"), QStringLiteral("nuova"), QStringLiteral("nuova"));
    QTest::mouseClick(m_change->cmdOK, Qt::LeftButton);
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, TfrmCambiaPassword::changeErrorMessage());
    QVERIFY(m_change->isVisible());
    QCOMPARE(readAll(storePath()), QByteArray("[Accesso]\r\nValore=nonhex\r\n"));
}

namespace {

// What reached the assistive-technology bridge: the text of every text event.
QStringList g_spoken;

void recordSpoken(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextInserted:
        g_spoken << static_cast<QAccessibleTextInsertEvent *>(event)->textInserted();
        break;
    case QAccessible::TextRemoved:
        g_spoken << static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved();
        break;
    case QAccessible::TextUpdated:
        g_spoken << static_cast<QAccessibleTextUpdateEvent *>(event)->textRemoved()
                 << static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted();
        break;
    default:
        break;
    }
}

} // namespace

void TestAccess::passwordCharactersNeverReachAssistiveTools_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("login") << "txtPassword";
    QTest::newRow("old password") << "txtPasswordOld";
    QTest::newRow("new password") << "txtPasswordNew";
    QTest::newRow("confirmation") << "txtConferma";
}

void TestAccess::passwordCharactersNeverReachAssistiveTools()
{
    // The text events that a line edit sends as it is typed into, deleted and
    // set (handed here to the windows' handler as the field sends them, since
    // only a running assistive-technology bridge makes Qt send them; the
    // AT-SPI walk types for real): what goes on carries a star for each
    // character, and the field's own interface the stars alone. Other fields'
    // events go on unchanged.
    QFETCH(QString, field);
    m_login = std::make_unique<TfrmPassword>(folder());
    m_change = std::make_unique<TfrmCambiaPassword>(folder());
    QWidget *window = field == QLatin1String("txtPassword") ? static_cast<QWidget *>(m_login.get()) : m_change.get();
    auto *edit = window->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    g_spoken.clear();
    ui::setAccessibilityForward(recordSpoken);
    edit->setText(QStringLiteral("chiave"));
    QAccessibleTextInsertEvent typed(edit, 0, QStringLiteral("c"));
    ui::passOnAccessibilityEvent(&typed);
    QAccessibleTextRemoveEvent deleted(edit, 5, QStringLiteral("e"));
    ui::passOnAccessibilityEvent(&deleted);
    QAccessibleTextUpdateEvent replaced(edit, 0, QStringLiteral("chiav"), QStringLiteral("segreta"));
    ui::passOnAccessibilityEvent(&replaced);
    QLineEdit plain;
    QAccessibleTextInsertEvent other(&plain, 0, QStringLiteral("Rossi"));
    ui::passOnAccessibilityEvent(&other);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(edit);
    const QString value = accessible->text(QAccessible::Value);
    const QString text = accessible->textInterface() ? accessible->textInterface()->text(0, 100) : QString();
    ui::setAccessibilityForward(nullptr);
    QCOMPARE(g_spoken, QStringList({QStringLiteral("*"), QStringLiteral("*"), QStringLiteral("*****"),
                                    QStringLiteral("*******"), QStringLiteral("Rossi")}));
    for (const QString &spoken : {value, text})
        QVERIFY2(!spoken.contains(QRegularExpression(QStringLiteral("[^*]"))), qPrintable(spoken));
}

void TestAccess::padlockPicturesCarryTheirText()
{
    m_login = std::make_unique<TfrmPassword>(folder());
    m_change = std::make_unique<TfrmCambiaPassword>(folder());
    QCOMPARE(m_login->imgLogo->accessibleName(), QStringLiteral("Password"));
    QCOMPARE(m_login->imgLogo->accessibleDescription(),
             QStringLiteral("Proteggere l'accesso all'app con una password a propria scelta. "
                            "Per il primo accesso utilizzare la password \"chiaveprovvisa\" (scritta senza le virgolette)."));
    QCOMPARE(m_change->imgLogo->accessibleName(), QStringLiteral("Cambia password"));
    QCOMPARE(m_change->imgLogo->accessibleDescription(),
             QStringLiteral("Compilare i campi sottostanti e premere OK per sostituire la password di accesso."));
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
