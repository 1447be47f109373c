// Every picture of every window fits the place the window gives it, also
// when the screen is scaled (the suite runs this again at 150 %).
#include "AllWindows.h"
#include "ShownWindow.h"
#include "app/Program.h"
#include "help/LinkLabel.h"
#include "help/TfrmInfo.h"
#include "app/TfrmAvvio.h"
#include "printing/TfrmStampaPagina.h"
#include "reportui/ReportHooks.h"
#include "ui/Art.h"
#include "ui/FileChooser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace tavolux;

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void textPictureKeepsWholeLine_data();
    void textPictureKeepsWholeLine();
    void pictureMadeWhenFirstShownOrPainted();
    void picturesFitTheirPlaces_data();
    void picturesFitTheirPlaces();
    void informationShowsVersion();
    void qtTextsAreItalian();
    void printDialogAllItalian();
    void fileDialogAllItalian();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
};

void TestPictures::initTestCase()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_program = std::make_unique<Program>(m_dir->path());
}

void TestPictures::cleanupTestCase()
{
    m_program.reset();
}

void TestPictures::textPictureKeepsWholeLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("pixelSize");
    QTest::newRow("fits as asked") << QStringLiteral("Tavolux") << QSize(360, 64) << 54;
    QTest::newRow("too wide for its size")
        << QStringLiteral("Stampa velocemente indirizzi o qualsiasi altro testo su fogli A4 da 24 etichette")
        << QSize(300, 22) << 12;
    QTest::newRow("too tall for its size") << QStringLiteral("Riepilogo") << QSize(200, 20) << 40;
}

void TestPictures::textPictureKeepsWholeLine()
{
    QFETCH(QString, text);
    QFETCH(QSize, size);
    QFETCH(int, pixelSize);
    const QPixmap picture = ui::textArt(text, size, pixelSize, Qt::black, true, true);
    QCOMPARE(picture.deviceIndependentSize().toSize(), size);
    const QImage image = picture.toImage();
    // No ink on the outermost columns: nothing of the line was cut off.
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(qAlpha(image.pixel(0, y)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, y)), 0);
        for (int x = 0; x < image.width(); ++x)
            inked += qAlpha(image.pixel(x, y)) > 0;
    }
    QVERIFY(inked > 0);
}

void TestPictures::pictureMadeWhenFirstShownOrPainted()
{
    // A window made long before it is shown draws no picture until then, and
    // takes the picture's size at once; showing it again draws nothing more.
    QWidget window;
    auto *label = new QLabel(&window);
    int made = 0;
    ui::setPictureWhenShown(label, QSize(30, 20), [&] {
        ++made;
        QPixmap picture = ui::canvas(QSize(30, 20));
        picture.fill(Qt::red);
        return picture;
    });
    QCOMPARE(made, 0);
    QVERIFY(label->pixmap().isNull());
    QCOMPARE(label->minimumSize(), QSize(30, 20));
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(made, 1);
    QVERIFY(!label->pixmap().isNull());
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(made, 1);

    // Painted without ever being shown (a picture of the window): drawn too.
    QWidget unseen;
    unseen.resize(60, 40);
    auto *other = new QLabel(&unseen);
    ui::setPictureWhenShown(other, QSize(30, 20), [] {
        QPixmap picture = ui::canvas(QSize(30, 20));
        picture.fill(Qt::red);
        return picture;
    });
    const QImage shot = unseen.grab().toImage();
    QVERIFY(!other->pixmap().isNull());
    // The middle of the picture (left in its label, centred down it), in the shot's device pixels.
    QCOMPARE(shot.pixelColor((QPointF(15, 15) * shot.devicePixelRatio()).toPoint()), QColor(Qt::red));
}

void TestPictures::picturesFitTheirPlaces_data()
{
    QTest::addColumn<QString>("window");
    for (const QString &name : allwindows::names())
        QTest::newRow(qPrintable(name)) << name;
}

void TestPictures::picturesFitTheirPlaces()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> dialog;
    QWidget *shown = allwindows::make(*m_program, window, dialog);
    QVERIFY(shown);
    QVERIFY(!shown->windowIcon().isNull()); // the program's icon, in the title bar
    if (shown->minimumSize() != shown->maximumSize())
        shown->resize(1280, 960);
    shown->show();
    QCoreApplication::processEvents();
    int pictures = 0;
    for (QLabel *label : shown->findChildren<QLabel *>()) {
        const QPixmap picture = label->pixmap();
        if (picture.isNull() || !label->isVisibleTo(shown))
            continue;
        ++pictures;
        // Drawn for the screen's pixels: sharp when the screen is scaled.
        QVERIFY2(qFuzzyCompare(picture.devicePixelRatio(), shown->devicePixelRatio()), qPrintable(label->objectName()));
        const QSizeF size = picture.deviceIndependentSize();
        const QRect place = label->contentsRect();
        QVERIFY2(size.width() <= place.width() + 0.5 && size.height() <= place.height() + 0.5,
                 qPrintable(QStringLiteral("%1: %2 x %3 in %4 x %5")
                                .arg(label->objectName())
                                .arg(size.width())
                                .arg(size.height())
                                .arg(place.width())
                                .arg(place.height())));
    }
    QVERIFY(pictures > 0);
    shown->hide();
}

void TestPictures::informationShowsVersion()
{
    TfrmInfo info(m_program->launcher());
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(TAVOLUX_VERSION));
    QCOMPARE(info.lblVersione->text(), QStringLiteral("Versione " TAVOLUX_VERSION));
    QVERIFY(info.lblVersione->font().pointSize() < info.lnkWeb->font().pointSize());
}

void TestPictures::qtTextsAreItalian()
{
    // The suite runs this with LANG=C: Qt's own dialogs still speak Italian.
    QPrinter printer;
    QPrintDialog dialog(&printer);
    QStringList texts;
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        texts << button->text().remove(QLatin1Char('&'));
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts << label->text().remove(QLatin1Char('&'));
    QVERIFY2(texts.contains(QStringLiteral("Stampa")), qPrintable(texts.join(QLatin1String(" | "))));
    QVERIFY2(texts.contains(QStringLiteral("Annulla")), qPrintable(texts.join(QLatin1String(" | "))));
    QLineEdit field;
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList actions;
    for (const QAction *action : menu->actions())
        actions << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    QVERIFY2(actions.contains(QStringLiteral("Incolla")), qPrintable(actions.join(QLatin1String(" | "))));
}

namespace {

// Every text a dialog shows: captions, group titles, list items, tabs and tooltips.
QStringList shownTexts(QWidget *dialog)
{
    QStringList texts;
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        texts << button->text().remove(QLatin1Char('&'));
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        texts << label->text().remove(QLatin1Char('&'));
    for (const QGroupBox *box : dialog->findChildren<QGroupBox *>())
        texts << box->title().remove(QLatin1Char('&'));
    for (const QComboBox *combo : dialog->findChildren<QComboBox *>())
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    for (const QTabWidget *tabs : dialog->findChildren<QTabWidget *>())
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i).remove(QLatin1Char('&'));
    for (const QWidget *widget : dialog->findChildren<QWidget *>())
        if (!widget->toolTip().isEmpty())
            texts << widget->toolTip();
    texts.removeAll(QString());
    return texts;
}

} // namespace

void TestPictures::printDialogAllItalian()
{
    // Qt's print dialog as the label page opens it: the texts that Qt's own
    // catalogue lacks come from the program's, our tab has a name of its own,
    // and no caption is cut.
    report::hooks::setPrinterListHandler([] { return QStringList{QStringLiteral("Stampante")}; });
    QStringList texts, tabs, cut;
    QTimer::singleShot(0, [&] {
        auto *dialog = shownWindow<QPrintDialog>();
        if (!dialog)
            return;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text().remove(QLatin1Char('&')).startsWith(QLatin1String("Opzioni")))
                button->click(); // shows the tabs
        QApplication::processEvents();
        texts = shownTexts(dialog);
        if (auto *tabWidget = dialog->findChild<QTabWidget *>()) {
            for (int i = 0; i < tabWidget->count(); ++i) {
                tabs << tabWidget->tabText(i).remove(QLatin1Char('&'));
                tabWidget->setCurrentIndex(i);
                QApplication::processEvents();
                for (QWidget *widget : tabWidget->currentWidget()->findChildren<QWidget *>()) {
                    if (!widget->isVisible() || !(qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLabel *>(widget)
                                                  || qobject_cast<QComboBox *>(widget)))
                        continue;
                    if (widget->width() < widget->minimumSizeHint().width())
                        cut << widget->objectName() + QLatin1Char(' ') + shownTexts(widget).join(QLatin1Char('/'));
                }
            }
        }
        dialog->reject();
    });
    TfrmStampaPagina page(ProgramFolder(m_dir->path()), [](int, int) { return QString(); });
    page.btnStampa->click();
    report::hooks::setPrinterListHandler({});

    const QString all = texts.join(QLatin1String(" | "));
    for (const QString &english : {QStringLiteral("Pages"), QStringLiteral("Double Sided Printing"), QStringLiteral("Off"),
                                   QStringLiteral("Long side binding"), QStringLiteral("Short side binding")})
        QVERIFY2(!texts.contains(english), qPrintable(english + QLatin1String(" in: ") + all));
    QVERIFY2(!all.contains(QLatin1String("Specify pages")), qPrintable(all));
    for (const QString &italian : {QStringLiteral("Pagine"), QStringLiteral("Pagine da"), QStringLiteral("Stampa fronte/retro"),
                                   QStringLiteral("Rilegatura sul lato lungo"), QStringLiteral("Rilegatura sul lato corto")})
        QVERIFY2(texts.contains(italian), qPrintable(italian + QLatin1String(" not in: ") + all));
    QVERIFY2(all.contains(QLatin1String("Indicare le pagine o gli intervalli separati da virgole")), qPrintable(all));
    QCOMPARE(tabs, (QStringList{QStringLiteral("Copie"), QStringLiteral("Opzioni"), QStringLiteral("Etichette")}));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String(", "))));
    // The printer's own settings, shown only with a driver's options.
    QCOMPARE(QCoreApplication::translate("QPrintPropertiesWidget", "Advanced"), QStringLiteral("Avanzate"));
}

void TestPictures::fileDialogAllItalian()
{
    // Qt's file dialog: the type of a folder in Italian, and every column of
    // the detail view as wide as its heading and what it shows.
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Documenti_Allegati")));
    QFile file(folder.filePath(QStringLiteral("rubrica.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Cognome;Nome\r\nRossi;Mario\r\n");
    file.close();
    QStringList headings, narrow;
    QString folderType;
    QTimer::singleShot(0, [&] {
        auto *dialog = shownWindow<QFileDialog>();
        if (!dialog)
            return;
        for (QToolButton *button : dialog->findChildren<QToolButton *>())
            if (button->objectName() == QLatin1String("detailModeButton"))
                button->click();
        auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        QAbstractItemModel *model = view->model();
        // A listing that never arrives shows up in the checks below.
        (void)QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == 2; }, 5000);
        QTest::qWait(100);
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            const QModelIndex name = model->index(row, 0, view->rootIndex());
            if (name.data().toString() == QLatin1String("Documenti_Allegati"))
                folderType = model->index(row, 2, view->rootIndex()).data().toString();
        }
        QHeaderView *header = view->header();
        for (int column = 0; column < header->count(); ++column) {
            headings << model->headerData(column, Qt::Horizontal).toString();
            if (column == 0 || header->isSectionHidden(column))
                continue;
            const int needed = std::max(header->sectionSizeHint(column),
                                        static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column));
            if (header->sectionSize(column) < needed)
                narrow << QStringLiteral("%1: %2 < %3").arg(headings.last()).arg(header->sectionSize(column)).arg(needed);
        }
        dialog->reject();
    });
    ui::chooseOpenFile(nullptr, QStringLiteral("Selezionare il file da importare:"), QStringLiteral("Tutti i file (*.*)"),
                       folder.path());
    QCOMPARE(folderType, QStringLiteral("Cartella"));
    QCOMPARE(headings, (QStringList{QStringLiteral("Nome"), QStringLiteral("Dimensione"), QStringLiteral("Tipo"),
                                    QStringLiteral("Data di modifica")}));
    QVERIFY2(narrow.isEmpty(), qPrintable(narrow.join(QLatin1String(", "))));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
