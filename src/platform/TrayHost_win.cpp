#include "TrayHost.h"

#include <QSystemTrayIcon>

namespace tavrel {

// Windows has one notification area, Explorer's. The toolkit's icon (Shell_NotifyIcon) gets its
// own double-clicks and right-clicks, also while a modal box of the program is open, and adds
// itself again when Explorer announces a new taskbar ("TaskbarCreated").
bool TrayHost::NativeArea() {
    return true;
}

bool TrayHost::ItemRegistered() {
    return false;
}

void TrayHost::Flush() {}

bool TrayHost::WindowEmbedded(WId) {
    return false;
}

// No X server: nothing announces itself.
TrayAnnouncements::TrayAnnouncements(quint32 manager, quint32 selection, Heard heard)
    : m_manager(manager), m_selection(selection), m_heard(std::move(heard)) {}

TrayAnnouncements::~TrayAnnouncements() = default;

bool TrayAnnouncements::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

TrayHostWatcher::TrayHostWatcher(Found found, QObject* parent)
    : QObject(parent), m_found(std::move(found)) {}

TrayHostWatcher::~TrayHostWatcher() = default;

bool TrayHostWatcher::start() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    // Reported at once: the caller shows the icon before the start-up pass opens any box. Its
    // mouse events come as they do from an XEmbed tray.
    report(Host::XEmbed);
    return true;
}

void TrayHostWatcher::hostRegistered() {}

void TrayHostWatcher::ask() {}

void TrayHostWatcher::report(Host host) {
    if (m_reported)
        return;
    m_reported = true;
    m_found(host);
}

BlockedIconClicks::BlockedIconClicks(IsIconWindow isIconWindow, Handler handler)
    : m_isIconWindow(std::move(isIconWindow)), m_handler(std::move(handler)) {}

BlockedIconClicks::~BlockedIconClicks() = default;

// Nothing is blocked on Windows: the icon's messages reach the toolkit during a modal box.
bool BlockedIconClicks::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

} // namespace tavrel
