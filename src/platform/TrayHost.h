#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QtGui/qwindowdefs.h>
#include <functional>
#include <memory>
#include <optional>

namespace tavrel {

// The notification area as the desktop runs it. StatusNotifierItem hosts (KDE Plasma, Xfce 4.18,
// GNOME with the AppIndicator extension) report an activation over D-Bus and draw the program's
// menu themselves; XEmbed hosts take in a small window of the program and pass it the mouse.
namespace TrayHost {

// True where the system's own notification area is always there and hands the icon its mouse
// events itself (Windows, through Shell_NotifyIcon): a shown icon is docked, and Explorer
// restarted takes it up again.
bool NativeArea();
// True once the host's watcher lists an item of this process and a host shows the watcher's
// items.
bool ItemRegistered();
// True once an XEmbed tray has taken the window in (it is no longer a child of the root).
bool WindowEmbedded(WId window);
// Sends what the toolkit has queued for the X server (the icon's window and its dock request)
// now, instead of when the event loop first waits: the tray takes the icon in while the
// start-up pass still reads the messages.
void Flush();

} // namespace TrayHost

// The announcement an XEmbed tray makes when it takes the tray selection: the client message of
// type MANAGER that a new owner of a manager selection sends to the root window, naming the
// selection. Heard from the X events for as long as this object lives.
class TrayAnnouncements final : public QAbstractNativeEventFilter {
public:
    using Heard = std::function<void()>;

    TrayAnnouncements(quint32 manager, quint32 selection, Heard heard);
    ~TrayAnnouncements() override;
    Q_DISABLE_COPY_MOVE(TrayAnnouncements)

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    quint32 m_manager;
    quint32 m_selection;
    Heard m_heard;
};

// Waits for a notification area without blocking the start, on every channel one can come by:
// a StatusNotifierItem host registering with the session's watcher, and on X11 an XEmbed tray
// taking the tray selection. The toolkit settles its tray protocol once per process, when its
// first icon is made, so the icon is made only once a host can take it, on the protocol of the
// host that came. Reports once; a host restarted later takes the icon up again by itself.
class TrayHostWatcher final : public QObject {
    Q_OBJECT
public:
    // How long an XEmbed tray that came late waits for a StatusNotifierItem host coming with it.
    static constexpr int kBothProtocolsMs = 2000;
    enum class Host {
        StatusNotifier, // reports activations and draws the menu itself
        XEmbed,         // takes in a window of the program and passes it the mouse
    };
    using Found = std::function<void(Host)>;

    explicit TrayHostWatcher(Found found, QObject* parent = nullptr);
    ~TrayHostWatcher() override;
    Q_DISABLE_COPY_MOVE(TrayHostWatcher)

    // Starts watching; an XEmbed tray already there is reported before it returns. False when
    // no host can ever come (no X11 and no session bus).
    bool start();

private slots:
    void hostRegistered();

private:
    bool watchX11Tray();
    // The protocol the toolkit will take for an X11 tray that is there.
    static Host x11TrayHost();
    bool watchStatusNotifierHost();
    void ask();
    void report(Host host);

    Found m_found;
    bool m_reported = false;
    std::unique_ptr<TrayAnnouncements> m_announcements;
};

// Buttons on the XEmbed icon's window while a modal window of the program is open. The toolkit
// drops input to every window outside the modal one, the icon's too; these are read from the X
// events before it does, so the icon answers during a box as it does outside one.
class BlockedIconClicks final : public QAbstractNativeEventFilter {
public:
    enum class Click { LeftDouble, Right };
    using IsIconWindow = std::function<bool(WId)>;
    using Handler = std::function<void(Click)>;

    BlockedIconClicks(IsIconWindow isIconWindow, Handler handler);
    ~BlockedIconClicks() override;
    Q_DISABLE_COPY_MOVE(BlockedIconClicks)

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // A press on the icon (X button number, server time in ms): the click it completes, if any.
    std::optional<Click> pressed(quint32 button, quint32 time);

private:
    IsIconWindow m_isIconWindow;
    Handler m_handler;
    // Server time of the last left press that did not complete a double-click.
    quint32 m_lastLeftPress = 0;
    bool m_haveLeftPress = false;
    quint8 m_inputOpcode = 0;
    // The last press seen, to drop its second report.
    bool m_havePress = false;
    quint32 m_lastPressTime = 0;
    quint32 m_lastButton = 0;
};

} // namespace tavrel
