#include "AllWindows.h"
#include "addresses/TfrmArchivio_Indirizzi.h"
#include "addresses/TfrmExpIndirizzi.h"
#include "addresses/TfrmImportaSchede.h"
#include "app/Program.h"
#include "app/TfrmAvvio.h"
#include "labels/TfrmArchivio_Etichette.h"
#include "mailing/TfrmStampaSchede.h"
#include "ui/PictureButton.h"
#include "help/HelpTopic.h"
#include "help/LinkLabel.h"
#include "help/Maker.h"
#include "help/ShowHelp.h"
#include "help/TfrmGuida.h"
#include "help/TfrmInfo.h"
#include "help/TfrmSplash.h"
#include "platform/IniFile.h"
#include "platform/TMisc.h"
#include "printing/LabelPageTemplate.h"
#include "printing/TfrmCalibrazione.h"
#include "printing/TfrmFormatoEtichette.h"
#include "printing/TfrmNuovoFormato.h"
#include "printing/TfrmStampaBusta.h"
#include "report/Report.h"
#include "reportui/PreviewWindow.h"
#include "ui/Messages.h"
#include "ui/Shortcuts.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavolux;

namespace {

// What a modal dialog showed while it was open.
struct Opened {
    QPointer<QDialog> dialog;
    QString name;
    QWidget *owner = nullptr;
    bool modal = false;
    QString title;
    QString text;
};

// Runs `action`, which should open a modal dialog; looks at the dialog while
// it is open (and hands it to `inspect`), then closes it.
Opened whileOpen(const std::function<void()> &action, const std::function<void(QDialog *)> &inspect = {})
{
    Opened opened;
    QTimer::singleShot(0, [&opened, &inspect] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened.dialog = dialog;
        opened.name = dialog->objectName();
        opened.owner = dialog->parentWidget();
        opened.modal = dialog->isModal() && dialog->isVisible();
        if (auto *title = dialog->findChild<QLabel *>(QStringLiteral("lblTitolo")))
            opened.title = title->text();
        if (auto *text = dialog->findChild<QPlainTextEdit *>(QStringLiteral("txtGuida")))
            opened.text = text->toPlainText();
        if (inspect)
            inspect(dialog);
        dialog->reject();
    });
    action();
    QCoreApplication::processEvents();
    return opened;
}

// The text box shows each CR LF as one line break.
QString shown(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString collapsed(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.replace(blanks, QStringLiteral(" ")).trimmed();
}

QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << path << QStringLiteral("-");
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void topicsAreAssembledAsDesigned();
    void paragraphsQuoted_data();
    void paragraphsQuoted();
    void eachCallerOpensItsTopic_data();
    void eachCallerOpensItsTopic();
    void helpWindow();
    void textCannotBeEdited();
    void pdfLinkHandsQuotedPath_data();
    void pdfLinkHandsQuotedPath();
    void linkColours_data();
    void linkColours();
    void mailText();
    void informationAndCreditsFromLauncher();
    void informationNamesSkippedCatalogueFiles_data();
    void informationNamesSkippedCatalogueFiles();
    void helpDocument();
    void newCapabilitiesHaveTopics();
    void shortcutsTopicListsEveryKey();

private:
    std::unique_ptr<ui::MessageRecorder> m_messages;
    QStringList m_opened;
};

void TestHelp::init()
{
    m_messages = std::make_unique<ui::MessageRecorder>();
    m_opened.clear();
    TMisc::setOpener([this](const QString &target) { m_opened << target; });
}

void TestHelp::cleanup()
{
    TMisc::setOpener({});
    m_messages.reset();
}

void TestHelp::topicsAreAssembledAsDesigned()
{
    const QStringList general = helpParagraphs(HelpTopic::General);
    const QStringList addresses = helpParagraphs(HelpTopic::Addresses);
    const QStringList labels = helpParagraphs(HelpTopic::Labels);
    QCOMPARE(general.size(), 20);
    QCOMPARE(addresses.size(), 10);
    QCOMPARE(labels.size(), 5);
    QCOMPARE(helpParagraphs(HelpTopic::Export).size(), 3);
    // What LibreOffice makes of the .xls is told with the .xlsx export.
    QVERIFY(helpParagraphs(HelpTopic::Workbook).last().contains(QStringLiteral("\"0012\" diventa 12")));
    QCOMPARE(general.mid(1, 10), addresses);
    QCOMPARE(general.mid(11, 5), labels);

    QCOMPARE(helpTitle(HelpTopic::General), QStringLiteral("Uno sguardo a Tavolux"));
    QCOMPARE(helpTitle(HelpTopic::Addresses), QStringLiteral("App Archivio Indirizzi"));
    QCOMPARE(helpTitle(HelpTopic::Labels), QStringLiteral("App Gestione Etichette"));
    QCOMPARE(helpTitle(HelpTopic::Export), QStringLiteral("Esportazione archivio indirizzi in Excel"));

    for (HelpTopic topic : helpTopics()) {
        const QString text = helpText(topic);
        // Paragraphs joined by two CR LF, none before the first or after the last,
        // and no line break inside a paragraph.
        QCOMPARE(text.split(QStringLiteral("\r\n\r\n")), helpParagraphs(topic));
        for (const QString &paragraph : helpParagraphs(topic)) {
            QVERIFY(!paragraph.isEmpty());
            QVERIFY(!paragraph.contains(QLatin1Char('\r')) && !paragraph.contains(QLatin1Char('\n')));
            QCOMPARE(paragraph, paragraph.trimmed());
        }
    }
}

void TestHelp::paragraphsQuoted_data()
{
    QTest::addColumn<int>("topic");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("paragraph");
    QTest::newRow("general 19") << int(HelpTopic::General) << 19
                                << QStringLiteral("L'accesso al software è protetto da una password aggiornabile dall'utente "
                                                  "che può essere cambiata tutte le volte che si desidera. Per il primo "
                                                  "accesso al programma, bisogna utilizzare la parola chiave "
                                                  "\"chiaveprovvisa\" (scritta senza le virgolette).");
    QTest::newRow("general 17") << int(HelpTopic::General) << 17
                                << QStringLiteral("Il software può essere usato anche in una rete locale se si ha necessità "
                                                  "di condividere gli archivi fra più postazioni di lavoro. L'acquisto di "
                                                  "una singola licenza autorizza l'utente ad installare il programma su "
                                                  "tutte le macchine di sua proprietà.");
    QTest::newRow("addresses 2") << int(HelpTopic::Addresses) << 2
                                 << QStringLiteral("Per registrare una nuova etichetta, bisogna premere il pulsante Nuovo "
                                                   "raffigurante un foglio bianco, compilare i campi di testo e premere il "
                                                   "pulsante Salva (icona del dischetto floppy). Il campo relativo al nome "
                                                   "dell'etichetta è l'unico a compilazione obbligatoria.");
    QTest::newRow("labels 5") << int(HelpTopic::Labels) << 5
                              << QStringLiteral("Si ricorda che per aggiornare un indirizzo occorre aprire la relativa "
                                                "scheda all'interno dell'archivio degli indirizzi, apportare le modifiche "
                                                "desiderate e premere Salva.");
    QTest::newRow("export 3") << int(HelpTopic::Export) << 3
                              << QStringLiteral("A questo punto è sufficiente salvare il file sul proprio disco fisso "
                                                "assegnandogli un nome qualsiasi.");
}

void TestHelp::paragraphsQuoted()
{
    QFETCH(int, topic);
    QFETCH(int, number);
    QFETCH(QString, paragraph);
    QCOMPARE(helpParagraphs(HelpTopic(topic)).value(number - 1), paragraph);
}

void TestHelp::eachCallerOpensItsTopic_data()
{
    QTest::addColumn<QString>("caller");
    QTest::addColumn<int>("topic");
    QTest::newRow("launcher imgGuida") << "launcher" << int(HelpTopic::General);
    QTest::newRow("address window cmdGuida") << "addresses" << int(HelpTopic::Addresses);
    QTest::newRow("label-page topic") << "labels" << int(HelpTopic::Labels);
    QTest::newRow("export topic") << "export" << int(HelpTopic::Export);
    QTest::newRow("import of cards cmdGuida") << "import cards" << int(HelpTopic::Import);
    QTest::newRow("calibration btnGuida") << "calibration" << int(HelpTopic::Calibration);
    QTest::newRow("import of cards F1") << "import cards F1" << int(HelpTopic::Import);
    QTest::newRow("calibration F1") << "calibration F1" << int(HelpTopic::Calibration);
    QTest::newRow("envelope btnGuida") << "envelope" << int(HelpTopic::Envelopes);
    QTest::newRow("envelope F1") << "envelope F1" << int(HelpTopic::Envelopes);
    QTest::newRow("mailing topic") << "mailing" << int(HelpTopic::Mailing);
    QTest::newRow("label formats btnGuida") << "label formats" << int(HelpTopic::LabelFormats);
    QTest::newRow("new label format F1") << "new label format F1" << int(HelpTopic::LabelFormats);
}

void TestHelp::eachCallerOpensItsTopic()
{
    QFETCH(QString, caller);
    QFETCH(int, topic);
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    TfrmAvvio launcher(folder);
    TfrmArchivio_Indirizzi addresses(folder);
    TfrmArchivio_Etichette labels(folder);
    TfrmExpIndirizzi exporter(folder, &addresses);
    std::unique_ptr<QWidget> ownWindow;
    TfrmStampaSchede mailing(folder, &labels);
    std::function<void()> open;
    QWidget *expectedOwner = nullptr;
    if (caller == QLatin1String("launcher")) {
        open = [&] { launcher.imgGuida->click(); };
        expectedOwner = &launcher;
    } else if (caller == QLatin1String("addresses")) {
        open = [&] { addresses.cmdGuida->click(); };
        expectedOwner = &addresses;
    } else if (caller == QLatin1String("labels")) {
        open = [&] { labels.cmdGuida->click(); };
        expectedOwner = &labels;
    } else if (caller == QLatin1String("mailing")) {
        open = [&] { mailing.btnGuida->click(); };
        expectedOwner = &mailing;
    } else if (caller == QLatin1String("export")) {
        open = [&] { exporter.cmdGuida->click(); };
        expectedOwner = &exporter;
    } else {
        // A window of its own: its help button, or F1 typed in it.
        const auto openFrom = [&](QWidget *window, auto *button) {
            ownWindow.reset(window);
            window->show();
            if (caller.endsWith(QLatin1String("F1")))
                open = [window] { QTest::keyClick(window->windowHandle(), Qt::Key_F1); };
            else
                open = [button] { button->click(); };
            expectedOwner = window;
        };
        if (caller.startsWith(QLatin1String("import cards"))) {
            auto *cards = new TfrmImportaSchede(addresses);
            openFrom(cards, cards->cmdGuida);
        } else if (caller.startsWith(QLatin1String("label formats"))) {
            auto *formats = new TfrmFormatoEtichette(folder, LabelFormatSettings::Use::LabelPages, &labels);
            openFrom(formats, formats->btnGuida);
        } else if (caller.startsWith(QLatin1String("new label format"))) {
            auto *own = new TfrmNuovoFormato(folder, &labels);
            openFrom(own, own->btnGuida);
        } else if (caller.startsWith(QLatin1String("envelope"))) {
            auto *envelope = new TfrmStampaBusta(folder, [] { return QStringList(); }, &addresses);
            openFrom(envelope, envelope->btnGuida);
        } else {
            auto *calibration = new TfrmCalibrazione(folder, &labels);
            openFrom(calibration, calibration->btnGuida);
        }
    }
    QString firstText;
    QPointer<QDialog> firstDialog;
    for (int opening = 0; opening < 2; ++opening) {
        // Keys reach the window only while it is the active one again.
        if (ownWindow) {
            QApplication::setActiveWindow(ownWindow.get());
            QVERIFY(QTest::qWaitForWindowActive(ownWindow.get()));
        }
        const Opened opened = whileOpen(open);
        QCOMPARE(opened.name, QStringLiteral("TfrmGuida"));
        QVERIFY(opened.modal);
        QCOMPARE(opened.owner, expectedOwner);
        QCOMPARE(opened.title, helpTitle(HelpTopic(topic)));
        QCOMPARE(opened.text, shown(helpText(HelpTopic(topic))));
        // Discarded when closed: each opening is a fresh window.
        QVERIFY(opened.dialog.isNull());
    }
    QCOMPARE(m_messages->count(), 0);
}

void TestHelp::helpWindow()
{
    QTemporaryDir dir;
    TfrmGuida window{ProgramFolder(dir.path())};
    QCOMPARE(window.windowTitle(), QStringLiteral(" Guida all'utilizzo del software"));
    QCOMPARE(window.minimumSize(), QSize(670, 572));
    QCOMPARE(window.maximumSize(), QSize(670, 572));
    QVERIFY(!(window.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
    QCOMPARE(window.lblTitolo->text(), QStringLiteral("Argomento della guida."));
    QCOMPARE(window.lblTitolo->font().family(), QStringLiteral("Arial"));
    QCOMPARE(window.lblTitolo->font().pointSize(), 16);
    QVERIFY(window.lblTitolo->font().bold());
    QCOMPARE(window.txtGuida->font().pointSize(), 12);
    QVERIFY(window.txtGuida->font().bold());
    QCOMPARE(window.txtGuida->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(window.lnkWeb->text(), QStringLiteral("Visualizza guida in formato PDF"));
    QCOMPARE(window.lnkWeb->font().pointSize(), 14);
    QVERIFY(window.lnkWeb->font().underline());
    QCOMPARE(window.cmdChiudi->text(), QStringLiteral("Chiudi"));

    // A long topic scrolls vertically, never sideways.
    window.txtGuida->setPlainText(helpText(HelpTopic::General));
    window.show();
    QCoreApplication::processEvents();
    QVERIFY(window.txtGuida->verticalScrollBar()->maximum() > 0);
    QCOMPARE(window.txtGuida->horizontalScrollBar()->maximum(), 0);

    window.cmdChiudi->click();
    QVERIFY(!window.isVisible());
}

void TestHelp::textCannotBeEdited()
{
    QTemporaryDir dir;
    TfrmGuida window{ProgramFolder(dir.path())};
    window.txtGuida->setPlainText(helpText(HelpTopic::Export));
    window.show();
    QApplication::setActiveWindow(&window);
    window.txtGuida->setFocus();
    QVERIFY(window.txtGuida->isReadOnly());
    QTest::keyClicks(window.txtGuida, QStringLiteral("xyz"));
    QTest::keyClick(window.txtGuida, Qt::Key_Backspace);
    QTest::keyClick(window.txtGuida, Qt::Key_Delete);
    QTest::keyClick(window.txtGuida, Qt::Key_Return);
    QTest::keyClick(window.txtGuida, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window.txtGuida->toPlainText(), shown(helpText(HelpTopic::Export)));
}

void TestHelp::pdfLinkHandsQuotedPath_data()
{
    QTest::addColumn<QString>("subfolder");
    QTest::newRow("plain folder") << "Tavolux";
    QTest::newRow("folder with blanks") << "Programmi utente/Tavolux etichette";
}

void TestHelp::pdfLinkHandsQuotedPath()
{
    QFETCH(QString, subfolder);
    QTemporaryDir dir;
    const QString path = dir.filePath(subfolder);
    QVERIFY(QDir().mkpath(path));
    // No Guida.pdf there: the program still shows nothing of its own.
    QVERIFY(!QFile::exists(path + QStringLiteral("/Guida.pdf")));
    TfrmGuida window{ProgramFolder(path)};
    window.show();
    QTest::mouseClick(window.lnkWeb, Qt::LeftButton);
    QTest::mouseClick(window.imgPDF, Qt::LeftButton);
    const QString expected = QLatin1Char('"') + path + QStringLiteral("/Guida.pdf") + QLatin1Char('"');
    QCOMPARE(m_opened, (QStringList{expected, expected}));
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(window.isVisible());
}

void TestHelp::linkColours_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("icon");
    QTest::newRow("help") << "TfrmGuida" << "imgPDF";
    QTest::newRow("information") << "TfrmInfo" << "imgEmail";
    QTest::newRow("credits") << "TfrmSplash" << "imgWeb";
}

void TestHelp::linkColours()
{
    QFETCH(QString, window);
    QFETCH(QString, icon);
    QTemporaryDir dir;
    std::unique_ptr<QDialog> dialog;
    if (window == QLatin1String("TfrmGuida"))
        dialog = std::make_unique<TfrmGuida>(ProgramFolder(dir.path()));
    else if (window == QLatin1String("TfrmInfo"))
        dialog = std::make_unique<TfrmInfo>();
    else
        dialog = std::make_unique<TfrmSplash>();
    dialog->show();
    auto *link = dialog->findChild<LinkLabel *>(QStringLiteral("lnkWeb"));
    auto *picture = dialog->findChild<ui::PictureButton *>(icon);
    QVERIFY(link && picture);
    const QColor darkBlue(0xFF00008B);
    const QColor orange(0xFFFFA500);
    QCOMPARE(link->color(), darkBlue);
    QCOMPARE(link->font().family(), QStringLiteral("Tahoma"));

    for (QWidget *target : {static_cast<QWidget *>(link), static_cast<QWidget *>(picture)}) {
        m_opened.clear();
        QTest::mousePress(target, Qt::LeftButton);
        QCOMPARE(link->color(), orange);
        QTest::mouseRelease(target, Qt::LeftButton);
        QCOMPARE(link->color(), darkBlue);
        QCOMPARE(m_opened.size(), 1); // the click itself
        // Another button held down colours it too, and opens nothing.
        QTest::mousePress(target, Qt::RightButton);
        QCOMPARE(link->color(), orange);
        QTest::mouseRelease(target, Qt::RightButton);
        QCOMPARE(link->color(), darkBlue);
        QCOMPARE(m_opened.size(), 1);
    }
    QCOMPARE(m_messages->count(), 0);
}

void TestHelp::mailText()
{
    const QStringList pieces{QStringLiteral("\""),
                             QStringLiteral("mailto:"),
                             maker::mail(),
                             QStringLiteral("?subject="),
                             QStringLiteral("Software Tavolux"),
                             QStringLiteral("&body="),
                             QStringLiteral("Salve, desidererei avere le seguenti informazioni sul software in oggetto:"),
                             QStringLiteral("\"")};
    QCOMPARE(TfrmInfo::mailCommand(), pieces.join(QString()));
    QCOMPARE(maker::mail(), QStringLiteral(TAVOLUX_MAKER_MAIL));
    QVERIFY(maker::mail().contains(QLatin1Char('@')));

    TfrmInfo window;
    QCOMPARE(window.windowTitle(), QStringLiteral(" Informazioni su Tavolux"));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.lnkWeb->text(), maker::mail());
    window.show();
    window.imgEmail->click();
    QTest::mouseClick(window.lnkWeb, Qt::LeftButton);
    QCOMPARE(m_opened, (QStringList{pieces.join(QString()), pieces.join(QString())}));
}

void TestHelp::informationNamesSkippedCatalogueFiles_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("sound catalogue") << false;
    QTest::newRow("a damaged file") << true;
}

void TestHelp::informationNamesSkippedCatalogueFiles()
{
    // A catalogue file that is skipped is named in a line of the information
    // window; with none skipped the window shows no such line.
    QFETCH(bool, damaged);
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(QStringLiteral("catalogo"));
    QVERIFY(QDir().mkpath(catalogue));
    const auto write = [&](const QString &name, const QByteArray &content) {
        QFile file(catalogue + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write(QStringLiteral("buoni-templates.xml"),
          "<?xml version=\"1.0\"?>\n<Glabels-templates><Template brand=\"Prova\" part=\"P1\" size=\"A4\" "
          "_description=\"Indirizzi\"><Label-rectangle id=\"0\" width=\"63.5mm\" height=\"38.1mm\">"
          "<Layout nx=\"3\" ny=\"7\" x0=\"7.2mm\" y0=\"15.1mm\" dx=\"66mm\" dy=\"38.1mm\"/>"
          "</Label-rectangle></Template></Glabels-templates>\n");
    if (damaged)
        write(QStringLiteral("rotto-templates.xml"), "<?xml version=\"1.0\"?>\n<Glabels-templates><Template brand=");
    QVERIFY(IniFile(dir.filePath(QStringLiteral("Impostazioni.ini")))
                .writeString(QStringLiteral("Formato Etichette"), QStringLiteral("Cartella catalogo"), catalogue));

    TfrmAvvio launcher{ProgramFolder(dir.path())};
    launcher.show();
    QString notice;
    bool visible = true;
    bool pendingAtOpening = false;
    const Opened info = whileOpen([&] { launcher.imgInfo->click(); }, [&](QDialog *dialog) {
        auto *window = qobject_cast<TfrmInfo *>(dialog);
        if (!window)
            return;
        // Open before the catalogue is read; the line follows.
        pendingAtOpening = window->noticePending();
        QTRY_VERIFY(!window->noticePending());
        notice = window->lblNotizia->text();
        visible = window->lblNotizia->isVisible();
    });
    QCOMPARE(info.name, QStringLiteral("TfrmInfo"));
    QVERIFY(pendingAtOpening);
    QCOMPARE(visible, damaged);
    QCOMPARE(notice.contains(QStringLiteral("rotto-templates.xml")), damaged);
    if (damaged)
        QVERIFY2(notice.startsWith(QStringLiteral("Catalogo etichette: 1 formati da ")), qPrintable(notice));
}

void TestHelp::informationAndCreditsFromLauncher()
{
    QTemporaryDir dir;
    TfrmAvvio launcher{ProgramFolder(dir.path())};
    launcher.showMaximized();
    QCoreApplication::processEvents();
    for (int opening = 0; opening < 2; ++opening) {
        const Opened info = whileOpen([&] { launcher.imgInfo->click(); });
        QCOMPARE(info.name, QStringLiteral("TfrmInfo"));
        QVERIFY(info.modal);
        QCOMPARE(info.owner, &launcher);
        QVERIFY(info.dialog.isNull());

        QPoint creditsCentre;
        QString caption, linkText;
        bool artwork = false;
        const Opened credits = whileOpen([&] { launcher.imgCopyright->click(); }, [&](QDialog *dialog) {
            auto *splash = qobject_cast<TfrmSplash *>(dialog);
            if (!splash)
                return;
            creditsCentre = splash->frameGeometry().center();
            caption = splash->windowTitle();
            linkText = splash->lnkWeb->text();
            artwork = !splash->imgSplash->pixmap().isNull();
            // Its link and icon open the maker's web site.
            splash->imgWeb->click();
            QTest::mouseClick(splash->lnkWeb, Qt::LeftButton);
        });
        QCOMPARE(credits.name, QStringLiteral("TfrmSplash"));
        QVERIFY(caption.contains(QStringLiteral("Tavolux")) && caption.contains(maker::name()));
        QCOMPARE(linkText, maker::webSite());
        QVERIFY(artwork);
        QVERIFY(credits.modal);
        QCOMPARE(credits.owner, &launcher);
        QVERIFY(credits.dialog.isNull());
        // Centred over the launcher.
        QVERIFY((creditsCentre - launcher.frameGeometry().center()).manhattanLength() <= 4);
    }
    QCOMPARE(m_opened, QStringList(4, maker::webSite()));
    QCOMPARE(m_messages->count(), 0);
}

void TestHelp::helpDocument()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString path = QStringLiteral(HELP_DOCUMENT);
    QVERIFY(QFile::exists(path));
    // A paragraph may go on over a page's foot: its page number is no part of it.
    static const QRegularExpression pageFoot(QStringLiteral("\\n\\d+\\n\\s*\\f"));
    const QString text = collapsed(pdfText(path).replace(pageFoot, QStringLiteral(" ")));
    for (HelpTopic topic : helpTopics()) {
        QVERIFY2(text.contains(helpTitle(topic)), qPrintable(helpTitle(topic)));
        for (const QString &paragraph : helpParagraphs(topic))
            QVERIFY2(text.contains(collapsed(paragraph)), qPrintable(paragraph.left(60)));
    }
    // A title page and at least a page per topic, each numbered at its foot.
    int pages = 0;
    for (int page = 1; page <= 50; ++page) {
        const QString pageText = pdfText(path, page).trimmed();
        if (pageText.isEmpty())
            break;
        pages = page;
        QCOMPARE(pageText.split(QLatin1Char('\n')).last().trimmed(), QString::number(page));
    }
    QVERIFY(pages >= 1 + int(helpTopics().size()));
}

void TestHelp::newCapabilitiesHaveTopics()
{
    // The four topics of the program as first made keep their place; every
    // capability added since has a topic of its own after them, with a title
    // and paragraphs of its own.
    const QList<HelpTopic> topics = helpTopics();
    QCOMPARE(topics.mid(0, 4), (QList<HelpTopic>{HelpTopic::General, HelpTopic::Addresses, HelpTopic::Labels,
                                                 HelpTopic::Export}));
    const QList<HelpTopic> added{HelpTopic::Import,      HelpTopic::Workbook,  HelpTopic::Envelopes, HelpTopic::LineFit,
                                 HelpTopic::StartLabel,  HelpTopic::Calibration, HelpTopic::Shortcuts,
                                 HelpTopic::ProgramFolder, HelpTopic::SharedFolder};
    QStringList titles;
    for (HelpTopic topic : topics)
        titles << helpTitle(topic);
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), titles.size());
    const QString general = helpText(HelpTopic::General);
    for (HelpTopic topic : added) {
        QVERIFY2(topics.contains(topic), qPrintable(helpTitle(topic)));
        QVERIFY(helpParagraphs(topic).size() >= 2);
        // Written apart from the four first topics, never copied from them.
        for (const QString &paragraph : helpParagraphs(topic))
            QVERIFY2(!general.contains(paragraph) && !helpText(HelpTopic::Export).contains(paragraph),
                     qPrintable(paragraph.left(60)));
    }
    // What each topic must tell (the names the windows show, the files they write).
    const QList<QPair<HelpTopic, QStringList>> facts{
        {HelpTopic::Import, {QStringLiteral("CSV"), QStringLiteral("vCard"), QStringLiteral("Scegli file…"),
                             QStringLiteral("Codifica"), QStringLiteral("(non importare)"),
                             QStringLiteral("Mostra le righe lette come Windows-1252"), QStringLiteral("Annulla")}},
        {HelpTopic::Workbook, {QStringLiteral("Archivio_Indirizzi.xlsx"), QStringLiteral("testo")}},
        {HelpTopic::Envelopes, {QStringLiteral("Formato"), QStringLiteral("Foglio A4"), QStringLiteral("DL (110 × 220 mm)"),
                                QStringLiteral("commerciale (110 × 230 mm)"), QStringLiteral("C6 (114 × 162 mm)"),
                                QStringLiteral("C5 (162 × 229 mm)"), QStringLiteral("C4 (229 × 324 mm)"),
                                QStringLiteral("lato corto"), QStringLiteral("Orizzontale"), QStringLiteral("Verticale"),
                                QStringLiteral("55 per cento"), QStringLiteral("Mittente"), QStringLiteral("quattro righe"),
                                QStringLiteral("10 mm"), QStringLiteral("Arial da 8 punti"),
                                QStringLiteral("Stampa il mittente in alto a sinistra"), QStringLiteral("Anteprima"),
                                QStringLiteral("contorno"), QStringLiteral("Impostazioni.ini"), QStringLiteral("Annulla"),
                                QStringLiteral("90 mm"), QStringLiteral("arancione")}},
        {HelpTopic::LineFit, {QStringLiteral("arancione"), QStringLiteral("barra di stato")}},
        {HelpTopic::StartLabel, {QStringLiteral("Inizia dall'etichetta"), QStringLiteral("scheda Etichette")}},
        {HelpTopic::Calibration, {QStringLiteral("Stampa foglio di prova"), QStringLiteral("croce"),
                                  QStringLiteral("se la croce è spostata di x mm a destra, diminuire Orizzontale di x"),
                                  QStringLiteral("Verticale"), QStringLiteral("Impostazioni.ini")}},
        {HelpTopic::ProgramFolder, {QStringLiteral("Archivio_Indirizzi.pro"), QStringLiteral("Archivio_Etichette.pro"),
                                    QStringLiteral("Impostazioni.ini"), QStringLiteral("unins000.dll"),
                                    QStringLiteral("Documenti_Allegati"), QStringLiteral("backup")}},
        {HelpTopic::SharedFolder, {QStringLiteral("5 secondi"), QStringLiteral("chmod g+s")}},
    };
    for (const auto &fact : facts)
        for (const QString &text : fact.second)
            QVERIFY2(helpText(fact.first).contains(text), qPrintable(helpTitle(fact.first) + QStringLiteral(": ") + text));
}

void TestHelp::shortcutsTopicListsEveryKey()
{
    // Every key that any window binds, named as its tooltip names it.
    QTemporaryDir dir;
    Program program(dir.path());
    QStringList keys;
    const auto collect = [&keys](QWidget *window) {
        for (const QShortcut *shortcut : window->findChildren<QShortcut *>())
            for (const QKeySequence &key : shortcut->keys())
                keys << ui::keyText(key);
    };
    for (const QString &name : allwindows::names()) {
        std::unique_ptr<QWidget> owned;
        QWidget *window = allwindows::make(program, name, owned);
        QVERIFY(window);
        window->show();
        collect(window);
        window->hide();
    }
    std::unique_ptr<report::Report> sheet = LabelPageTemplate::create(QStringLiteral("Etichette"));
    sheet->PrepareReport();
    report::PreviewWindow preview(*sheet);
    collect(&preview);
    keys.removeDuplicates();
    QVERIFY(keys.size() >= 15);
    const QString topic = helpText(HelpTopic::Shortcuts);
    for (const QString &key : keys)
        QVERIFY2(topic.contains(key), qPrintable(key));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
