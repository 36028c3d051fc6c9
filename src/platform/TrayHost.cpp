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

} // namespace

bool TrayHost::NativeArea() {
    return false;
}

bool TrayHost::ReportsActivations() {
    return watcherProperty(kHostRegistered).toBool();
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

bool TrayHost::XEmbedTrayPresent() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    // ":0.1" names screen 1; the selection is per screen.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    const int screen = dot > display.lastIndexOf(':') ? display.mid(dot + 1).toInt() : 0;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
        nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool present = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return present;
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

TrayHostWatcher::TrayHostWatcher(Found found, QObject* parent)
    : QObject(parent), m_found(std::move(found)) {}

TrayHostWatcher::~TrayHostWatcher() = default;

bool TrayHostWatcher::start() {
    m_x11 = x11Connection() != nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        // An XEmbed icon docks by itself whenever a tray takes the X11 selection.
        if (m_x11)
            QTimer::singleShot(0, this, [this] { report(false); });
        return m_x11;
    }
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
    report(true);
}

void TrayHostWatcher::ask() {
    if (m_reported)
        return;
    const QDBusPendingCall pending =
        QDBusConnection::sessionBus().asyncCall(watcherGet(kHostRegistered));
    auto* reply = new QDBusPendingCallWatcher(pending, this);
    connect(reply, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> answer = *call;
        if (answer.isValid() && answer.value().variant().toBool())
            report(true);
        else if (m_x11)
            // No StatusNotifierItem host now: XEmbed, which also docks into a tray that comes
            // later (xfce4-panel hosts both).
            report(false);
    });
}

void TrayHostWatcher::report(bool reportsActivations) {
    if (m_reported)
        return;
    m_reported = true;
    QDBusConnection::sessionBus().disconnect(QString(), kWatcherPath, kWatcher,
                                             QStringLiteral("StatusNotifierHostRegistered"), this,
                                             SLOT(hostRegistered()));
    m_found(reportsActivations);
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
