#pragma once

#include "TrayHost.h"
#include "composer/TrayHook.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

namespace tavrel {

class BlockedIconClicks;

// The notification-area icon and its popup menu `menuproject`. Icon events are mapped to the two
// codes the program acts on: a left double-click (515) and the right button released (517).
// A host that reports activations (StatusNotifierItem) has no double-click of its own: one
// activation stands for it, and the host draws the menu from the same items.
class TrayIcon final : public QObject, public TrayHook {
    Q_OBJECT
public:
    static constexpr int WM_LBUTTONDBLCLK = 515;
    static constexpr int WM_RBUTTONUP = 517;

    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIcon() override;
    Q_DISABLE_COPY_MOVE(TrayIcon)

    // " Tavrel " + major + "." + minor + revision: minor and revision side by side.
    static QString tipText(int major, int minor, int revision);
    // The code an icon event stands for; 0 for events the program ignores.
    static int eventCode(QSystemTrayIcon::ActivationReason reason, bool hostDrawsMenu);

    // Offers the icon: it is shown as soon as a notification area can take it, now or later.
    // False when none can ever come (the caller then shows the window).
    bool add() override;
    void remove() override;
    bool docked() const override;
    bool isAdded() const { return m_icon && m_icon->isVisible(); }
    QString toolTip() const { return m_tip; }
    // True when the host reports activations and shows `menuproject` itself.
    bool hostDrawsMenu() const { return m_hostDrawsMenu; }

    // The icon's event handler: ignores everything while its menu is open or an action runs.
    void pichook_MouseMove(int code);
    bool trayBusy() const { return m_state != State::Idle; }

    QMenu* menuproject() { return &m_menu; }
    QAction* menuSettings() const { return m_menuSettings; }
    QAction* menuStatus() const { return m_menuStatus; }
    QAction* menuAbout() const { return m_menuAbout; }
    QAction* menuExit() const { return m_menuExit; }

    // Handlers the main window supplies.
    std::function<void()> menuSettings_Click;
    std::function<void()> menuStatus_Click;
    std::function<void()> menuAbout_Click;
    std::function<void()> menuExit_Click;
    // How the popup menu is run; replaced in tests, where no menu may block.
    std::function<void(QMenu&)> popUp;

private:
    // Makes and shows the icon once a host is there: the toolkit fixes its protocol then.
    void show(TrayHostWatcher::Host host);
    void makeIcon();
    void watchBlockedClicks();
    void run(const std::function<void()>& handler);
    // The window an XEmbed host takes in; none under a StatusNotifierItem host.
    static QWidget* xembedWindow();

    QIcon m_image;
    QString m_tip;
    std::unique_ptr<TrayHostWatcher> m_hostWatcher;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<BlockedIconClicks> m_blockedClicks;
    bool m_hostDrawsMenu = false;
    QMenu m_menu;
    QAction* m_menuSettings = nullptr;
    QAction* m_menuStatus = nullptr;
    QAction* m_menuAbout = nullptr;
    QAction* m_menuExit = nullptr;
    // What the icon is doing: an item chosen from the open menu runs; any other item (a host
    // draws its own menu and runs items with no icon event) or icon event waits for Idle.
    enum class State { Idle, MenuOpen, Running };
    State m_state = State::Idle;
};

} // namespace tavrel
