#include "TrayHost.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>
#include <QVariant>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

namespace tavrel {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kHostRegistered = QStringLiteral("IsStatusNotifierHostRegistered");

QDBusMessage watcherGet(const QString& name) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kProperties, QStringLiteral("Get"));
    call << kWatcher << name;
    // Nothing is to be started for the question: without a watcher the bus would search its
    // service files on every call.
    call.setAutoStartService(false);
    return call;
}

// A property of the StatusNotifierWatcher; invalid when there is none or it does not answer.
QVariant watcherProperty(const QString& name) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kWatcher))
        return {};
    const QDBusMessage reply = bus.call(watcherGet(name), QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// Whether a host shows the watcher's items. KDE's watcher runs in kded5 and takes items before
// any panel runs (it reports a host from the start); a panel then registers as a host under a
// name of its own. GNOME Shell and Xfce's panel are watcher and host in one.
bool hostShowsItems(QDBusConnectionInterface* bus) {
    const QDBusReply<QStringList> names = bus->registeredServiceNames();
    if (names.isValid()) {
        for (const QString& name : names.value()) {
            if (name.startsWith(QLatin1String("org.kde.StatusNotifierHost-")))
                return true;
        }
    }
    const QDBusReply<QString> watcher = bus->serviceOwner(kWatcher);
    const QDBusReply<QString> kded = bus->serviceOwner(QStringLiteral("org.kde.kded5"));
    return watcher.isValid() && !(kded.isValid() && kded.value() == watcher.value());
}

xcb_connection_t* x11Connection() {
    const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The X11 tray selection of the display's screen and the root window its owner announces itself
// on; ":0.1" names screen 1.
struct TraySelection {
    xcb_atom_t selection = XCB_ATOM_NONE;
    xcb_atom_t manager = XCB_ATOM_NONE;
    xcb_window_t root = XCB_NONE;
};

TraySelection traySelection(xcb_connection_t* connection) {
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const int screen = dot > display.lastIndexOf(':') ? display.mid(dot + 1).toInt() : 0;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    static const char kManager[] = "MANAGER";
    // Both asked at once: one wait for the server.
    const xcb_intern_atom_cookie_t selectionCookie =
        xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData());
    const xcb_intern_atom_cookie_t managerCookie =
        xcb_intern_atom(connection, 0, sizeof kManager - 1, kManager);
    TraySelection tray;
    if (xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(connection, selectionCookie, nullptr)) {
        tray.selection = atom->atom;
        std::free(atom);
    }
    if (xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, managerCookie, nullptr)) {
        tray.manager = atom->atom;
        std::free(atom);
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; roots.rem > 0; ++i, xcb_screen_next(&roots)) {
        if (i == screen) {
            tray.root = roots.data->root;
            break;
        }
    }
    return tray;
}

bool trayOwned(xcb_connection_t* connection, xcb_atom_t selection) {
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return owned;
}

// A new owner of the tray selection announces itself to the root window's structure listeners.
// The toolkit listens there already; added where it does not, keeping what it chose.
void hearAnnouncements(xcb_connection_t* connection, xcb_window_t root) {
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, root), nullptr);
    if (!attributes)
        return;
    const uint32_t mask = attributes->your_event_mask;
    std::free(attributes);
    if (mask & XCB_EVENT_MASK_STRUCTURE_NOTIFY)
        return;
    const uint32_t values[] = {mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, values);
}

} // namespace

bool TrayHost::NativeArea() {
    return false;
}

bool TrayHost::ItemRegistered() {
    const QStringList items =
        watcherProperty(QStringLiteral("RegisteredStatusNotifierItems")).toStringList();
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus)
        return false;
    const uint self = uint(QCoreApplication::applicationPid());
    // Entries name the item's bus connection, followed by its object path where the host keeps
    // one: "org.kde.StatusNotifierItem-123-1", ":1.7/StatusNotifierItem", and GNOME's
    // ":1.23@/StatusNotifierItem".
    for (const QString& item : items) {
        const QString service =
            item.section(QLatin1Char('/'), 0, 0).section(QLatin1Char('@'), 0, 0);
        const QDBusReply<uint> pid = bus->servicePid(service);
        if (pid.isValid() && pid.value() == self)
            return hostShowsItems(bus);
    }
    return false;
}

void TrayHost::Flush() {
    if (xcb_connection_t* connection = x11Connection())
        xcb_flush(connection);
}

bool TrayHost::WindowEmbedded(WId window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window)
        return false;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
        connection, xcb_query_tree(connection, static_cast<xcb_window_t>(window)), nullptr);
    if (!tree)
        return false;
    const bool embedded = tree->parent != XCB_NONE && tree->parent != tree->root;
    std::free(tree);
    return embedded;
}

TrayAnnouncements::TrayAnnouncements(quint32 manager, quint32 selection, Heard heard)
    : m_manager(manager), m_selection(selection), m_heard(std::move(heard)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

TrayAnnouncements::~TrayAnnouncements() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool TrayAnnouncements::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    // Sent with SendEvent, which sets the top bit of the type.
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    // The data: the time the tray took the selection, the selection, the tray's window.
    const auto* announcement = static_cast<const xcb_client_message_event_t*>(message);
    if (announcement->format == 32 && announcement->type == m_manager &&
        announcement->data.data32[1] == m_selection)
        m_heard();
    // The toolkit's own tray tracking reads it too.
    return false;
}

TrayHostWatcher::TrayHostWatcher(Found found, QObject* parent)
    : QObject(parent), m_found(std::move(found)) {}

TrayHostWatcher::~TrayHostWatcher() = default;

bool TrayHostWatcher::start() {
    const bool x11 = watchX11Tray();
    if (m_reported)
        return true;
    const bool bus = watchStatusNotifierHost();
    return x11 || bus;
}

bool TrayHostWatcher::watchX11Tray() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    const TraySelection tray = traySelection(connection);
    if (tray.selection == XCB_ATOM_NONE || tray.manager == XCB_ATOM_NONE || tray.root == XCB_NONE)
        return false;
    // Listening before looking: a tray that comes between the two is heard from afterwards.
    hearAnnouncements(connection, tray.root);
    m_announcements = std::make_unique<TrayAnnouncements>(tray.manager, tray.selection, [this] {
        // Not at once: a desktop that hosts both protocols (GNOME's AppIndicator extension with
        // its legacy tray) may take the selection a moment before its StatusNotifierItem host
        // registers, and the icon is made only once. A host that registers meanwhile wins.
        QTimer::singleShot(kBothProtocolsMs, this, [this] { report(x11TrayHost()); });
    });
    // A tray there already takes the icon at once, while the start-up pass runs.
    if (trayOwned(connection, tray.selection))
        report(x11TrayHost());
    return true;
}

TrayHostWatcher::Host TrayHostWatcher::x11TrayHost() {
    // A tray that hosts StatusNotifierItems as well (xfce4-panel) gets one from the toolkit, which
    // asks the watcher this when the icon is made: known before, the icon registers only once.
    return watcherProperty(kHostRegistered).toBool() ? Host::StatusNotifier : Host::XEmbed;
}

bool TrayHostWatcher::watchStatusNotifierHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // A watcher that comes up late (a panel started after the program, or restarted), and a host
    // that registers with a watcher already there.
    auto* services =
        new QDBusServiceWatcher(kWatcher, bus, QDBusServiceWatcher::WatchForRegistration, this);
    connect(services, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatcher::ask);
    // From whoever sends it: naming the watcher would look its owner up, a blocking call.
    bus.connect(QString(), kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostRegistered"),
                this, SLOT(hostRegistered()));
    ask();
    return true;
}

void TrayHostWatcher::hostRegistered() {
    report(Host::StatusNotifier);
}

void TrayHostWatcher::ask() {
    if (m_reported)
        return;
    const QDBusPendingCall pending =
        QDBusConnection::sessionBus().asyncCall(watcherGet(kHostRegistered));
    auto* reply = new QDBusPendingCallWatcher(pending, this);
    connect(reply, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        // A watcher without a host yet (kded5 before plasmashell): the host's registration says
        // when it comes.
        const QDBusPendingReply<QDBusVariant> answer = *call;
        if (answer.isValid() && answer.value().variant().toBool())
            report(Host::StatusNotifier);
    });
}

void TrayHostWatcher::report(Host host) {
    if (m_reported)
        return;
    m_reported = true;
    m_announcements.reset();
    QDBusConnection::sessionBus().disconnect(QString(), kWatcherPath, kWatcher,
                                             QStringLiteral("StatusNotifierHostRegistered"), this,
                                             SLOT(hostRegistered()));
    m_found(host);
}

BlockedIconClicks::BlockedIconClicks(IsIconWindow isIconWindow, Handler handler)
    : m_isIconWindow(std::move(isIconWindow)), m_handler(std::move(handler)) {
    // The toolkit takes the mouse through the X Input extension where the server has it.
    if (xcb_connection_t* connection = x11Connection()) {
        static const char kName[] = "XInputExtension";
        xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
            connection, xcb_query_extension(connection, sizeof kName - 1, kName), nullptr);
        if (reply && reply->present)
            m_inputOpcode = reply->major_opcode;
        std::free(reply);
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

BlockedIconClicks::~BlockedIconClicks() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool BlockedIconClicks::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !QGuiApplication::modalWindow())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    bool press = false;
    uint32_t button = 0;
    xcb_timestamp_t time = 0;
    xcb_window_t window = XCB_NONE;
    if (type == XCB_BUTTON_PRESS || type == XCB_BUTTON_RELEASE) {
        // Press and release share one layout.
        const auto* core = static_cast<const xcb_button_press_event_t*>(message);
        press = type == XCB_BUTTON_PRESS;
        button = core->detail;
        time = core->time;
        window = core->event;
    } else if (type == XCB_GE_GENERIC && m_inputOpcode &&
               static_cast<const xcb_ge_generic_event_t*>(message)->extension == m_inputOpcode) {
        const auto* input = static_cast<const xcb_input_button_press_event_t*>(message);
        if (input->event_type != XCB_INPUT_BUTTON_PRESS &&
            input->event_type != XCB_INPUT_BUTTON_RELEASE)
            return false;
        press = input->event_type == XCB_INPUT_BUTTON_PRESS;
        button = input->detail;
        time = input->time;
        window = input->event;
    } else {
        return false;
    }
    if (!m_isIconWindow(window))
        return false;
    if (press) {
        if (const std::optional<Click> click = pressed(button, time))
            m_handler(*click);
    }
    // The toolkit would drop them anyway; taken here they leave no half-seen click behind.
    return true;
}

} // namespace tavrel
