// Every picture of every window fits the place the window gives it, also
// when the screen is scaled (the suite runs this again at 150 %).
#include "AllWindows.h"
#include "app/Program.h"
#include "ui/Art.h"

#include <QApplication>
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
    void picturesFitTheirPlaces_data();
    void picturesFitTheirPlaces();

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
    const QImage image = ui::textArt(text, size, pixelSize, Qt::black, true, true).toImage();
    QCOMPARE(image.size(), size);
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

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
