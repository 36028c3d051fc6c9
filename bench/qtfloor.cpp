// The toolkit's floor for the footprint comparison: the least a Qt Widgets program that lives in
// the tray can be. A tray icon with a menu, the program's two timers (one running, as when no
// timed message waits) and Qt Multimedia loaded through a sound effect that is never played.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qtfloor"));
    QApplication::setQuitOnLastWindowClosed(false);

    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkBlue);
    QMenu menu;
    menu.addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.setContextMenu(&menu);
    icon.setToolTip(QStringLiteral("floor"));
    icon.show();

    QTimer message;
    message.setInterval(10000);
    QTimer newDay;
    newDay.setInterval(65535);
    newDay.start();

    QSoundEffect effect;
    effect.setVolume(0.5);

    return QApplication::exec();
}
