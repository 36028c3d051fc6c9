#include "TrayIcon.h"

#include <QCursor>
#include <QTimer>

namespace tavrel {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), m_menu(QStringLiteral("&Project")) {
    m_menu.setObjectName(QStringLiteral("menuproject"));
    m_menuSettings = m_menu.addAction(QStringLiteral("&Show Settings"));
    m_menuSettings->setObjectName(QStringLiteral("menuSettings"));
    m_menu.addSeparator()->setObjectName(QStringLiteral("menuSeperator1"));
    m_menuStatus = m_menu.addAction(QStringLiteral("S&tatus"));
    m_menuStatus->setObjectName(QStringLiteral("menuStatus"));
    m_menu.addSeparator()->setObjectName(QStringLiteral("menuSeperator2"));
    m_menuAbout = m_menu.addAction(QStringLiteral("&About"));
    m_menuAbout->setObjectName(QStringLiteral("menuAbout"));
    m_menu.addSeparator()->setObjectName(QStringLiteral("menuSeperator3"));
    m_menuExit = m_menu.addAction(QStringLiteral("E&xit"));
    m_menuExit->setObjectName(QStringLiteral("menuExit"));

    // The menu hides itself before an item fires, so a handler's modal box never sits on an
    // open popup; the handler runs inside the popup's event, while trayBusy holds.
    connect(m_menuSettings, &QAction::triggered, this, [this] { run(menuSettings_Click); });
    connect(m_menuStatus, &QAction::triggered, this, [this] { run(menuStatus_Click); });
    connect(m_menuAbout, &QAction::triggered, this, [this] { run(menuAbout_Click); });
    connect(m_menuExit, &QAction::triggered, this, [this] { run(menuExit_Click); });

    // The menu opens at the pointer with its corner just past it: a menu under the pointer would
    // take the second click of a quick right double-click as a click on "&Show Settings".
    popUp = [](QMenu& menu) {
        menu.exec(QCursor::pos() + QPoint(1, 1));
    };

    m_icon.setIcon(icon);
    m_icon.setToolTip(tipText(2, 0, 8));
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (const int code = eventCode(reason))
                    pichook_MouseMove(code);
            });
}

TrayIcon::~TrayIcon() {
    m_icon.hide();
}

QString TrayIcon::tipText(int major, int minor, int revision) {
    return QStringLiteral(" Tavrel %1.%2%3").arg(major).arg(minor).arg(revision);
}

int TrayIcon::eventCode(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context:
        return WM_RBUTTONUP;
    default:
        // A single left click (Trigger) and a middle click do nothing.
        return 0;
    }
}

bool TrayIcon::add() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_icon.show();
    return m_icon.isVisible();
}

void TrayIcon::remove() {
    // Inside the icon's own mouse event (E&xit from its menu) hiding it now would destroy the
    // widget whose event handler is still running; it goes once that handler has returned.
    if (m_trayBusy) {
        QTimer::singleShot(0, &m_icon, [this] { m_icon.hide(); });
        return;
    }
    m_icon.hide();
}

void TrayIcon::run(const std::function<void()>& handler) {
    if (handler)
        handler();
}

void TrayIcon::pichook_MouseMove(int code) {
    if (m_trayBusy)
        return;
    m_trayBusy = true;
    if (code == WM_LBUTTONDBLCLK)
        run(menuSettings_Click);
    else if (code == WM_RBUTTONUP)
        popUp(m_menu);
    m_trayBusy = false;
}

} // namespace tavrel
