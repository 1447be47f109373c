#include "addresses/TfrmAllegaCartella.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "platform/TMisc.h"
#include "storage/AddressArchive.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <sys/stat.h>
#include <memory>

using namespace tavolux;
using ui::MessageAnswer;
using ui::MessageButtons;
using ui::MessageKind;

namespace {

const QString kQuestion = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
    "Si vuole sovrascrivere il file esistente?");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestAttachments : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogAsDesigned();
    void attachButtonFillsAndApplies();
    void cancelAfterBrowseKeepsHolders();
    void firstUseCreatesFolderAndCopies();
    void existingName_data();
    void existingName();
    void fileFromTheFolderItselfStaysIntact_data();
    void fileFromTheFolderItselfStaysIntact();
    void cancelledChoiceChangesNothing();
    void failuresAreSilent_data();
    void failuresAreSilent();
    void deletePictureKeepsDescriptionAndCopy();
    void openHandsQuotedPathToShell_data();
    void openHandsQuotedPathToShell();
    void nonBareNameIsNeverOpened_data();
    void nonBareNameIsNeverOpened();
    void onlyFilesInsideTheFolderAreOpened_data();
    void onlyFilesInsideTheFolderAreOpened();

private:
    // Runs the attach button's modal dialog; `act` works in it while it is open.
    void withDialog(const std::function<void(TfrmAllegaCartella &)> &act);
    QString attachments() const { return m_dir->filePath(QStringLiteral("Documenti_Allegati")); }
    QString source(const QString &name, const QByteArray &bytes);
    void choose(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
    std::unique_ptr<ui::MessageRecorder> m_messages;
    std::unique_ptr<TfrmArchivio_Indirizzi> m_window;
    QStringList m_opened;
    QList<QPair<QString, QString>> m_chooserCalls; // title, filter
};

void TestAttachments::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_elsewhere = std::make_unique<QTemporaryDir>();
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_window = std::make_unique<TfrmArchivio_Indirizzi>(ProgramFolder(m_dir->path()));
    m_window->show();
    m_opened.clear();
    m_chooserCalls.clear();
    TMisc::setOpener([this](const QString &target) { m_opened << target; });
    choose(QString());
}

void TestAttachments::cleanup()
{
    ui::setFileChooserHandler({});
    TMisc::setOpener({});
    m_window.reset();
    m_messages.reset();
    m_elsewhere.reset();
    m_dir.reset();
}

void TestAttachments::choose(const QString &path)
{
    ui::setFileChooserHandler([this, path](QWidget *, const QString &title, const QString &filter) {
        m_chooserCalls.append({title, filter});
        return path;
    });
}

QString TestAttachments::source(const QString &name, const QByteArray &bytes)
{
    const QString path = m_elsewhere->filePath(name);
    writeFile(path, bytes);
    return path;
}

void TestAttachments::withDialog(const std::function<void(TfrmAllegaCartella &)> &act)
{
    bool ran = false;
    QTimer::singleShot(0, m_window.get(), [&] {
        auto *dialog = qobject_cast<TfrmAllegaCartella *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        ran = true;
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    m_window->cmdFile->click();
    QVERIFY2(ran, "the attachments dialog did not open modally");
    // Destroyed when closed.
    QVERIFY(m_window->findChildren<TfrmAllegaCartella *>().isEmpty());
}

void TestAttachments::dialogAsDesigned()
{
    TfrmAllegaCartella dialog(*m_window);
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" Allega file"));
    QCOMPARE(dialog.size(), QSize(634, 534));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!(dialog.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
    QCOMPARE(dialog.parentWidget(), m_window.get());

    QStringList captions;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (!label->text().isEmpty())
            captions << label->text();
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(captions.contains(QStringLiteral("Nome %1\u00B0 file allegato:").arg(n)));
        QVERIFY(captions.contains(QStringLiteral("Descrizione %1\u00B0 file allegato:").arg(n)));
    }
    QVERIFY(!dialog.lblMemory->isVisibleTo(&dialog));

    const QList<QLineEdit *> names{dialog.txtFile01, dialog.txtFile02, dialog.txtFile03};
    const QList<QPushButton *> browse{dialog.btnSfoglia01, dialog.btnSfoglia02, dialog.btnSfoglia03};
    const QList<QPushButton *> open{dialog.btnApri01, dialog.btnApri02, dialog.btnApri03};
    const QList<ui::PictureButton *> erase{dialog.imgCancella01, dialog.imgCancella02, dialog.imgCancella03};
    const QList<QLineEdit *> descs{dialog.txtDesc01, dialog.txtDesc02, dialog.txtDesc03};
    QList<QWidget *> tabOrder;
    for (int i = 0; i < 3; ++i) {
        const QString n = QStringLiteral("0%1").arg(i + 1);
        QCOMPARE(names[i]->objectName(), QStringLiteral("txtFile") + n);
        QCOMPARE(descs[i]->objectName(), QStringLiteral("txtDesc") + n);
        QCOMPARE(erase[i]->objectName(), QStringLiteral("imgCancella") + n);
        QCOMPARE(browse[i]->objectName(), QStringLiteral("btnSfoglia") + n);
        QCOMPARE(open[i]->objectName(), QStringLiteral("btnApri") + n);
        QVERIFY(names[i]->isReadOnly());
        QVERIFY(!descs[i]->isReadOnly());
        QVERIFY(descs[i]->font().bold());
        QCOMPARE(erase[i]->size(), QSize(22, 22));
        QCOMPARE(browse[i]->text(), QStringLiteral("Sfoglia..."));
        QCOMPARE(open[i]->text(), QStringLiteral("Apri"));
        QVERIFY(!open[i]->isEnabled());
        tabOrder << names[i] << browse[i] << open[i] << descs[i];
    }
    QCOMPARE(dialog.btnAnnulla->text(), QStringLiteral("Annulla"));
    QCOMPARE(dialog.btnApplica->text(), QStringLiteral("Applica e chiudi"));
    tabOrder << dialog.btnApplica << dialog.btnAnnulla;

    // The focus chain visits the controls in this order.
    QList<QWidget *> chain;
    QWidget *w = tabOrder.first();
    do {
        if (tabOrder.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != tabOrder.first());
    QCOMPARE(chain, tabOrder);

    // "Apri" follows the trimmed name, whatever changes it.
    dialog.txtFile02->setText(QStringLiteral("  \t "));
    QVERIFY(!dialog.btnApri02->isEnabled());
    dialog.txtFile02->setText(QStringLiteral(" a.pdf "));
    QVERIFY(dialog.btnApri02->isEnabled());
    dialog.txtFile02->clear();
    QVERIFY(!dialog.btnApri02->isEnabled());
}

void TestAttachments::attachButtonFillsAndApplies()
{
    m_window->lblFile01->setText(QStringLiteral("  uno.pdf "));
    m_window->lblDesc01->setText(QStringLiteral("primo"));
    m_window->lblDesc02->setText(QStringLiteral(" solo descrizione "));
    m_window->lblFile03->setText(QStringLiteral("tre.doc"));
    withDialog([&](TfrmAllegaCartella &dialog) {
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.parentWidget(), m_window.get());
        QCOMPARE(dialog.lblMemory->text(), QStringLiteral("archivio_indirizzi"));
        QCOMPARE(dialog.txtFile01->text(), QStringLiteral("uno.pdf"));
        QCOMPARE(dialog.txtDesc01->text(), QStringLiteral("primo"));
        QCOMPARE(dialog.txtFile02->text(), QString());
        QCOMPARE(dialog.txtDesc02->text(), QStringLiteral("solo descrizione"));
        QCOMPARE(dialog.txtFile03->text(), QStringLiteral("tre.doc"));
        QCOMPARE(dialog.txtDesc03->text(), QString());
        QVERIFY(dialog.btnApri01->isEnabled());
        QVERIFY(!dialog.btnApri02->isEnabled());
        QVERIFY(dialog.btnApri03->isEnabled());
        dialog.txtDesc01->setText(QStringLiteral("  contratto firmato  "));
        dialog.txtDesc03->setText(QStringLiteral("fattura"));
        dialog.btnApplica->click();
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(m_window->lblFile01->text(), QStringLiteral("uno.pdf"));
    QCOMPARE(m_window->lblDesc01->text(), QStringLiteral("contratto firmato"));
    QCOMPARE(m_window->lblFile02->text(), QString());
    QCOMPARE(m_window->lblDesc02->text(), QStringLiteral("solo descrizione"));
    QCOMPARE(m_window->lblFile03->text(), QStringLiteral("tre.doc"));
    QCOMPARE(m_window->lblDesc03->text(), QStringLiteral("fattura"));
    // Nothing is stored until the card is saved.
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro"))));
    QCOMPARE(m_messages->count(), 0);
}

void TestAttachments::cancelAfterBrowseKeepsHolders()
{
    m_window->lblFile02->setText(QStringLiteral("vecchio.pdf"));
    m_window->lblDesc02->setText(QStringLiteral("vecchia descrizione"));
    choose(source(QStringLiteral("nuovo.pdf"), "nuovo"));
    withDialog([&](TfrmAllegaCartella &dialog) {
        dialog.btnSfoglia02->click();
        QCOMPARE(dialog.txtFile02->text(), QStringLiteral("nuovo.pdf"));
        dialog.txtDesc02->setText(QStringLiteral("altra"));
        dialog.btnAnnulla->click();
    });
    QCOMPARE(m_window->lblFile02->text(), QStringLiteral("vecchio.pdf"));
    QCOMPARE(m_window->lblDesc02->text(), QStringLiteral("vecchia descrizione"));
    // The copy made before cancelling stays.
    QCOMPARE(readFile(attachments() + QStringLiteral("/nuovo.pdf")), QByteArray("nuovo"));
}

void TestAttachments::firstUseCreatesFolderAndCopies()
{
    // A program folder whose parents are missing too: every one is created.
    const ProgramFolder nested(m_dir->filePath(QStringLiteral("non/ancora")));
    TfrmArchivio_Indirizzi window(nested);
    TfrmAllegaCartella dialog(window);
    static const char bytes[] = "%PDF-1.4 \x00\x01\xFF contenuto";
    const QByteArray content(bytes, sizeof bytes - 1);
    choose(source(QStringLiteral("Contratto Rossi.pdf"), content));
    dialog.btnSfoglia01->click();

    QCOMPARE(m_chooserCalls.size(), 1);
    QCOMPARE(m_chooserCalls.first().first, QStringLiteral("Selezionare il file da allegare:"));
    QCOMPARE(m_chooserCalls.first().second, QStringLiteral("Tutti i file (*.*)"));
    QCOMPARE(dialog.txtFile01->text(), QStringLiteral("Contratto Rossi.pdf"));
    QVERIFY(dialog.btnApri01->isEnabled());
    QCOMPARE(readFile(nested.file(QStringLiteral("Documenti_Allegati/Contratto Rossi.pdf"))), content);
    QCOMPARE(m_messages->count(), 0);
    // The source is copied, not moved.
    QCOMPARE(readFile(m_elsewhere->filePath(QStringLiteral("Contratto Rossi.pdf"))), content);
}

void TestAttachments::existingName_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("yes replaces") << true;
    QTest::newRow("no keeps") << false;
}

void TestAttachments::existingName()
{
    QFETCH(bool, replace);
    QVERIFY(QDir().mkpath(attachments()));
    QVERIFY(writeFile(attachments() + QStringLiteral("/doc.txt"), "copia di un'altra scheda"));
    TfrmAllegaCartella dialog(*m_window);
    dialog.txtFile03->setText(QStringLiteral("precedente.txt"));
    choose(source(QStringLiteral("doc.txt"), "nuovo documento"));
    m_messages->answerNext(replace ? MessageAnswer::Yes : MessageAnswer::No);
    dialog.btnSfoglia03->click();

    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().kind, MessageKind::Confirmation);
    QCOMPARE(m_messages->last().buttons, MessageButtons::YesNo);
    QCOMPARE(m_messages->last().text, kQuestion);
    QCOMPARE(dialog.txtFile03->text(), QStringLiteral("doc.txt"));
    QCOMPARE(readFile(attachments() + QStringLiteral("/doc.txt")),
             replace ? QByteArray("nuovo documento") : QByteArray("copia di un'altra scheda"));
    QCOMPARE(QDir(attachments()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("doc.txt")});
}

void TestAttachments::fileFromTheFolderItselfStaysIntact_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("yes") << false << MessageAnswer::Yes;
    QTest::newRow("no") << false << MessageAnswer::No;
    QTest::newRow("yes, through a link to the folder") << true << MessageAnswer::Yes;
}

void TestAttachments::fileFromTheFolderItselfStaysIntact()
{
    QFETCH(bool, throughLink);
    QFETCH(MessageAnswer, answer);
    QVERIFY(QDir().mkpath(attachments()));
    const QByteArray content(100000, 'x');
    QVERIFY(writeFile(attachments() + QStringLiteral("/pianta.dwg"), content));
    QString chosen = attachments() + QStringLiteral("/pianta.dwg");
    if (throughLink) {
        QVERIFY(QFile::link(attachments(), m_elsewhere->filePath(QStringLiteral("collegamento"))));
        chosen = m_elsewhere->filePath(QStringLiteral("collegamento/pianta.dwg"));
    }
    choose(chosen);
    m_messages->answerNext(answer);
    TfrmAllegaCartella dialog(*m_window);
    dialog.btnSfoglia01->click();

    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, kQuestion);
    QCOMPARE(dialog.txtFile01->text(), QStringLiteral("pianta.dwg"));
    QCOMPARE(readFile(attachments() + QStringLiteral("/pianta.dwg")), content);
    QCOMPARE(QDir(attachments()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("pianta.dwg")});
}

void TestAttachments::cancelledChoiceChangesNothing()
{
    TfrmAllegaCartella dialog(*m_window);
    dialog.txtFile01->setText(QStringLiteral("resta.pdf"));
    choose(QString());
    dialog.btnSfoglia01->click();
    dialog.btnSfoglia02->click();
    QCOMPARE(m_chooserCalls.size(), 2);
    QCOMPARE(dialog.txtFile01->text(), QStringLiteral("resta.pdf"));
    QVERIFY(dialog.btnApri01->isEnabled());
    QCOMPARE(dialog.txtFile02->text(), QString());
    QVERIFY(!dialog.btnApri02->isEnabled());
    QVERIFY(!QFileInfo::exists(attachments()));
    QCOMPARE(m_messages->count(), 0);
}

void TestAttachments::failuresAreSilent_data()
{
    QTest::addColumn<QString>("broken");
    QTest::newRow("folder cannot be created") << "program folder";
    QTest::newRow("source vanished") << "source";
}

void TestAttachments::failuresAreSilent()
{
    QFETCH(QString, broken);
    QString program = m_dir->path();
    QString chosen = source(QStringLiteral("lettera.odt"), "lettera");
    if (broken == QLatin1String("program folder")) {
        // A path that runs through a regular file: nothing can be created below it.
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("file")), "x"));
        program = m_dir->filePath(QStringLiteral("file/programma"));
    } else {
        QVERIFY(QFile::remove(chosen));
    }
    TfrmArchivio_Indirizzi window{ProgramFolder(program)};
    TfrmAllegaCartella dialog(window);
    choose(chosen);
    dialog.btnSfoglia02->click();
    // The name stays even though no copy took place.
    QCOMPARE(dialog.txtFile02->text(), QStringLiteral("lettera.odt"));
    QVERIFY(dialog.btnApri02->isEnabled());
    QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Documenti_Allegati/lettera.odt")));
    QCOMPARE(m_messages->count(), 0);
}

void TestAttachments::deletePictureKeepsDescriptionAndCopy()
{
    m_window->lblDesc01->setText(QStringLiteral("preventivo"));
    choose(source(QStringLiteral("preventivo.xls"), "dati"));
    withDialog([&](TfrmAllegaCartella &dialog) {
        dialog.btnSfoglia01->click();
        QVERIFY(dialog.btnApri01->isEnabled());
        dialog.imgCancella01->click();
        QCOMPARE(dialog.txtFile01->text(), QString());
        QVERIFY(!dialog.btnApri01->isEnabled());
        QCOMPARE(dialog.txtDesc01->text(), QStringLiteral("preventivo"));
        dialog.btnApplica->click();
    });
    QCOMPARE(m_window->lblFile01->text(), QString());
    QCOMPARE(m_window->lblDesc01->text(), QStringLiteral("preventivo"));
    QCOMPARE(readFile(attachments() + QStringLiteral("/preventivo.xls")), QByteArray("dati"));
}

void TestAttachments::openHandsQuotedPathToShell_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::newRow("present") << "Contratto Rossi.pdf" << true;
    QTest::newRow("missing from the folder") << "perso.pdf" << false;
    QTest::newRow("dots inside a name") << "..archivio..2024..pdf" << false;
}

void TestAttachments::openHandsQuotedPathToShell()
{
    QFETCH(QString, name);
    QFETCH(bool, present);
    if (present) {
        QVERIFY(QDir().mkpath(attachments()));
        QVERIFY(writeFile(attachments() + QLatin1Char('/') + name, "x"));
    }
    m_window->lblFile02->setText(name);
    withDialog([&](TfrmAllegaCartella &dialog) {
        QVERIFY(dialog.btnApri02->isEnabled());
        dialog.btnApri02->click();
    });
    const QString path = QDir::toNativeSeparators(attachments() + QLatin1Char('/') + name);
    QCOMPARE(m_opened, QStringList{QLatin1Char('"') + path + QLatin1Char('"')});
    QCOMPARE(m_messages->count(), 0);
}

void TestAttachments::nonBareNameIsNeverOpened_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("parent") << "..";
    QTest::newRow("folder itself") << ".";
    QTest::newRow("up and out") << "../Archivio_Indirizzi.pro";
    QTest::newRow("absolute") << "/etc/passwd";
    QTest::newRow("sub folder") << "sotto/doc.pdf";
    QTest::newRow("backslash") << "..\\..\\programma.exe";
    QTest::newRow("drive") << "C:\\Windows\\notepad.exe";
    QTest::newRow("drive relative") << "C:notepad.exe";
    QTest::newRow("network share") << "\\\\server\\share\\x.exe";
}

void TestAttachments::nonBareNameIsNeverOpened()
{
    QFETCH(QString, name);
    // A damaged or crafted card in the archive.
    {
        TSchedaIndirizzo card;
        card[TSchedaIndirizzo::Nome] = QStringLiteral("Scheda");
        card[TSchedaIndirizzo::File01] = name;
        AddressArchive archive{ProgramFolder(m_dir->path())};
        QVERIFY(archive.open());
        QCOMPARE(archive.append(card), qint64(1));
    }
    m_window->first();
    QCOMPARE(m_window->lblFile01->text(), name);
    withDialog([&](TfrmAllegaCartella &dialog) {
        QCOMPARE(dialog.txtFile01->text(), name);
        dialog.btnApri01->click();
    });
    QVERIFY(!TfrmAllegaCartella::isBareName(name));
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_messages->count(), 0);
}

void TestAttachments::onlyFilesInsideTheFolderAreOpened_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("opened");
    QTest::newRow("plain file") << "file" << true;
    QTest::newRow("link to a file in the folder") << "link inside" << true;
    QTest::newRow("link to a file elsewhere") << "link outside" << false;
    QTest::newRow("link to the archive beside the folder") << "link to archive" << false;
    QTest::newRow("link through a linked folder") << "link via folder" << false;
    QTest::newRow("link to a folder") << "link to folder" << false;
    QTest::newRow("link to a device") << "link to device" << false;
    QTest::newRow("dangling link") << "dangling" << false;
    QTest::newRow("a folder of that name") << "folder" << false;
    QTest::newRow("a FIFO") << "fifo" << false;
}

void TestAttachments::onlyFilesInsideTheFolderAreOpened()
{
    QFETCH(QString, kind);
    QFETCH(bool, opened);
    QVERIFY(QDir().mkpath(attachments()));
    const QString name = QStringLiteral("doc.pdf");
    const QString path = attachments() + QLatin1Char('/') + name;
    const QString outside = source(QStringLiteral("segreto.txt"), "fuori");
    QVERIFY(writeFile(attachments() + QStringLiteral("/altro.pdf"), "dentro"));
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("Archivio_Indirizzi.pro")), QByteArray()));
    bool made = true;
    if (kind == QLatin1String("file"))
        made = writeFile(path, "x");
    else if (kind == QLatin1String("link inside"))
        made = QFile::link(attachments() + QStringLiteral("/altro.pdf"), path);
    else if (kind == QLatin1String("link outside"))
        made = QFile::link(outside, path);
    else if (kind == QLatin1String("link to archive"))
        made = QFile::link(QStringLiteral("../Archivio_Indirizzi.pro"), path);
    else if (kind == QLatin1String("link via folder"))
        made = QFile::link(m_elsewhere->path(), attachments() + QStringLiteral("/fuori"))
               && QFile::link(QStringLiteral("fuori/segreto.txt"), path);
    else if (kind == QLatin1String("link to folder"))
        made = QFile::link(m_elsewhere->path(), path);
    else if (kind == QLatin1String("link to device"))
        made = QFile::link(QStringLiteral("/dev/zero"), path);
    else if (kind == QLatin1String("dangling"))
        made = QFile::link(m_elsewhere->filePath(QStringLiteral("manca")), path);
    else if (kind == QLatin1String("folder"))
        made = QDir().mkdir(path);
    else
        made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    QVERIFY(made);
    m_window->lblFile01->setText(name);
    withDialog([&](TfrmAllegaCartella &dialog) {
        QVERIFY(dialog.btnApri01->isEnabled());
        dialog.btnApri01->click();
    });
    const QString quoted = QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
    QCOMPARE(m_opened, opened ? QStringList{quoted} : QStringList());
    QCOMPARE(m_messages->count(), 0);
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
