// SPDX-License-Identifier: MIT
// The yardstick for idle cost: a minimal Qt 6 tray program with a hidden
// window and a 5 s timer that does nothing, as small as such a program gets.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon icon {QIcon(pixmap)};
    icon.show();
    QWidget window;
    window.hide();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(5000);
    return QApplication::exec();
}
