// The reference: a minimal Qt Widgets program that shows one window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tavolux"));
    window.showMaximized();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return application.exec();
}
