// The reference: a minimal Qt Widgets program that shows one window with a
// line of text, as the classic "hello" program does; ended as soon as the
// window is painted.
#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    FirstPaint firstPaint;
    QLabel window(QStringLiteral("Tavolux"));
    window.setWindowTitle(QStringLiteral("Tavolux"));
    window.show();
    return application.exec();
}
