#include "Session.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace tavrel {

bool Session::NativeWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void Session::BringToFront(QWidget* window) {
    if (NativeWayland()) {
        if (window->isMinimized() || !window->isActiveWindow()) {
            window->hide();
            window->showNormal();
        }
        return;
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void Session::AttachToProgram(QWidget* box) {
    if (!NativeWayland() || box->parentWidget())
        return;
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == box || !owner->isVisible())
        owner = QApplication::activeWindow();
    if (!owner || owner == box || !owner->isVisible()) {
        owner = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != box && top->isVisible() && !top->isMinimized() &&
                top->windowType() != Qt::Popup && top->windowType() != Qt::ToolTip) {
                owner = top;
                break;
            }
        }
    }
    if (!owner || !owner->windowHandle())
        return;
    box->winId();
    if (QWindow* window = box->windowHandle())
        window->setTransientParent(owner->windowHandle());
}

} // namespace tavrel
