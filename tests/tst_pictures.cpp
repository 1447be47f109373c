// Every picture of every window fits the place the window gives it, also
// when the screen is scaled (the suite runs this again at 150 %).
#include "AllWindows.h"
#include "app/Program.h"
#include "help/LinkLabel.h"
#include "help/TfrmInfo.h"
#include "app/TfrmAvvio.h"
#include "ui/Art.h"

#include <QAbstractButton>
#include <QApplication>
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

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
