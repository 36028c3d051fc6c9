#include "TrayIcon.h"

#include "TrayHost.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace tavrel {

namespace {

// Qt's own name for the window it docks into an XEmbed tray.
const QString kXEmbedWindowName = QStringLiteral("QSystemTrayIconSys");

} // namespace

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

    m_image = icon;
    m_tip = tipText(TAVREL_VERSION_MAJOR, TAVREL_VERSION_MINOR, TAVREL_VERSION_PATCH);
}

TrayIcon::~TrayIcon() {
    if (m_icon)
        m_icon->hide();
}

QString TrayIcon::tipText(int major, int minor, int revision) {
    return QStringLiteral(" Tavrel %1.%2%3").arg(major).arg(minor).arg(revision);
}

int TrayIcon::eventCode(QSystemTrayIcon::ActivationReason reason, bool hostDrawsMenu) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Trigger:
        // A host that reports activations sends one for a double-click (two for some hosts);
        // from mouse events it is a single left click, which does nothing.
        return hostDrawsMenu ? WM_LBUTTONDBLCLK : 0;
    case QSystemTrayIcon::Context:
        // A host that draws the menu itself never needs the program's popup.
        return hostDrawsMenu ? 0 : WM_RBUTTONUP;
    default:
        // A middle click does nothing.
        return 0;
    }
}

bool TrayIcon::add() {
    if (m_icon) {
        m_icon->show();
        return true;
    }
    if (!m_hostWatcher)
        m_hostWatcher =
            std::make_unique<TrayHostWatcher>([this](TrayHostWatcher::Host host) { show(host); });
    return m_hostWatcher->start();
}

void TrayIcon::makeIcon() {
    m_icon = std::make_unique<QSystemTrayIcon>(m_image);
    m_icon->setToolTip(m_tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (const int code = eventCode(reason, m_hostDrawsMenu))
                    pichook_MouseMove(code);
            });
}

void TrayIcon::show(TrayHostWatcher::Host host) {
    if (m_icon)
        return;
    makeIcon();
    // Decided before the icon shows: the host reads the menu when the icon registers.
    m_hostDrawsMenu = host == TrayHostWatcher::Host::StatusNotifier;
    if (m_hostDrawsMenu)
        m_icon->setContextMenu(&m_menu);
    m_icon->show();
    // A StatusNotifierItem host that registered between the watcher's question and the
    // toolkit's gets the item, and no window is made to dock: the host gets the menu with the
    // icon registered anew.
    if (!m_hostDrawsMenu && !TrayHost::NativeArea() && !xembedWindow()) {
        m_hostDrawsMenu = true;
        m_icon->hide();
        m_icon->setContextMenu(&m_menu);
        m_icon->show();
    }
    if (!m_hostDrawsMenu)
        watchBlockedClicks();
    // The icon's window and its dock request go out now: an icon made during the start-up pass
    // docks while the pass still runs.
    TrayHost::Flush();
}

void TrayIcon::watchBlockedClicks() {
    if (m_blockedClicks)
        return;
    m_blockedClicks = std::make_unique<BlockedIconClicks>(
        [](WId id) {
            const QWidget* window = QWidget::find(id);
            return window && window->objectName() == kXEmbedWindowName;
        },
        [this](BlockedIconClicks::Click click) {
            // Handled once the X event that carried it is done with: the handler opens boxes
            // and menus of its own.
            const int code =
                click == BlockedIconClicks::Click::LeftDouble ? WM_LBUTTONDBLCLK : WM_RBUTTONUP;
            QTimer::singleShot(0, this, [this, code] { pichook_MouseMove(code); });
        });
}

QWidget* TrayIcon::xembedWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == kXEmbedWindowName)
            return widget;
    }
    return nullptr;
}

bool TrayIcon::docked() const {
    if (!m_icon || !m_icon->isVisible())
        return false;
    if (TrayHost::NativeArea())
        return true;
    if (m_hostDrawsMenu)
        return TrayHost::ItemRegistered();
    const QWidget* window = xembedWindow();
    return window && TrayHost::WindowEmbedded(window->winId());
}

void TrayIcon::remove() {
    m_blockedClicks.reset();
    // No host came: nothing is shown, and none may take the icon now.
    m_hostWatcher.reset();
    if (!m_icon)
        return;
    // Inside the icon's own mouse event (E&xit from its menu) hiding it now would destroy the
    // widget whose event handler is still running; it goes once that handler has returned.
    // Windows has no such widget, and the process ends before the handler would return: there
    // the icon goes now, or Explorer would show it until the pointer passed over it.
    if (trayBusy() && !TrayHost::NativeArea()) {
        QTimer::singleShot(0, m_icon.get(), [this] { m_icon->hide(); });
        return;
    }
    m_icon->hide();
}

void TrayIcon::run(const std::function<void()>& handler) {
    // A host that draws the menu runs an item without any icon event: the item is the action,
    // and a second one chosen while the first's box is open waits like an icon event.
    if (!handler || m_state == State::Running)
        return;
    const State before = std::exchange(m_state, State::Running);
    handler();
    m_state = before;
}

void TrayIcon::pichook_MouseMove(int code) {
    if (m_state != State::Idle)
        return;
    if (code == WM_LBUTTONDBLCLK) {
        run(menuSettings_Click);
    } else if (code == WM_RBUTTONUP) {
        m_state = State::MenuOpen;
        popUp(m_menu);
        m_state = State::Idle;
    }
}

} // namespace tavrel
