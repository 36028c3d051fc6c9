// frmmain: load, position, hiding, quitting, the tray menu's window actions and the timers.
#include "frmmain.h"

#include "ComposerDialogs.h"
#include "DateText.h"
#include "Dialogs.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "Registry.h"
#include "Session.h"
#include "SettingsText.h"
#include "StartupAndRoutines.h"
#include "TrayHook.h"
#include "Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {

const QString kStartup = QStringLiteral("Startup");
const QString kTop = QStringLiteral("Top");
const QString kLeft = QStringLiteral("Left");
const QString kComboItem = QStringLiteral("ComboItem");

} // namespace

void frmmain::Form_Load() {
    m_registry.CreateKey(kSettingsKey);
    const bool startup =
        BooleanFromText(m_registry.ReadStringValue(kSettingsKey, kStartup)).value_or(false);
    // Under Wayland the compositor places the window; a saved edge is kept for an X11 session.
    if (startup && !Session::NativeWayland())
        restorePosition();
    else
        centreWindow();

    const QString today = todayText();
    if (controlsBuilt())
        lblchoosendate->setText(today);
    lblchoosenpriordate = today;
    lblHIDDENdateTODAY = today;

    // Without a notification area the window stays in sight, so the program can be reached.
    m_inTray = m_tray && m_tray->add();
    if (m_inTray) {
        hide();
        DockCheck.start();
    } else {
        show();
    }
    // The program lives on in the notification area: closing a dialog while this window is
    // hidden must not end it.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void frmmain::restorePosition() {
    const Twips tw = Twips::of(this);
    // X11 keeps window positions in 16 bits: an edge past them (a hand-edited or damaged value)
    // does not convert, like text that is no number, instead of wrapping or overflowing.
    const double farthestEdge = 32767.0 * tw.perPixel();
    const auto edge = [this, farthestEdge](const QString& name) -> std::optional<float> {
        const std::optional<float> saved =
            SingleFromText(m_registry.ReadStringValue(kSettingsKey, name));
        if (saved && std::fabs(*saved) <= farthestEdge)
            return saved;
        return std::nullopt;
    };
    double top = tw.fromPixels(y());
    double left = tw.fromPixels(x());
    if (const std::optional<float> saved = edge(kTop))
        top = *saved;
    if (const std::optional<float> saved = edge(kLeft))
        left = *saved;
    const QPoint position(tw.toPixels(qRound(left)), tw.toPixels(qRound(top)));
    if (top >= 0 && left >= 0 && onSomeScreen(QRect(position, frameGeometry().size())))
        move(position);
    else
        centreWindow();
}

bool frmmain::onSomeScreen(const QRect& window) {
    // A window wholly off every screen (a monitor unplugged, a position saved at another scale)
    // could not be reached; one partly beyond an edge can still be dragged back.
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&window](const QScreen* s) { return s->geometry().intersects(window); });
}

void frmmain::centreWindow() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const Twips tw = Twips::of(s);
    const QRect area = s->geometry();
    const QRect frame = frameGeometry();
    const int left = CentredEdge(tw.fromPixels(area.width()), tw.fromPixels(frame.width()));
    const int top = CentredEdge(tw.fromPixels(area.height()), tw.fromPixels(frame.height()));
    move(area.x() + tw.toPixels(left), area.y() + tw.toPixels(top));
}

void frmmain::writeComboItem() {
    // Adding to the list never selects: a list never built has nothing selected.
    const int selected = controlsBuilt() ? cboSavedmessages->currentIndex() : -1;
    m_registry.WriteStringValue(kSettingsKey, kComboItem, QString::number(selected));
}

void frmmain::cmdHide_Click() {
    writeComboItem();
    // Hidden without a tray icon, the program could be neither reached nor quit. A host may have
    // taken the icon since the start (a panel that came up late) or dropped it (a crash).
    m_inTray = m_tray && !m_unloaded && m_tray->docked();
    if (m_inTray)
        hide();
    else
        showMinimized();
}

void frmmain::ConfirmQuit() {
    const int answer = m_engine.dialogs().messageBox(
        QStringLiteral("Are you sure you want to quit?"), QStringLiteral("Terminate"),
        MB::YESNO | MB::ICONQUESTION | MB::DEFBUTTON2);
    if (answer != IDYES)
        return;
    Form_QueryUnload();
    Form_Unload();
}

void frmmain::Form_QueryUnload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Each step goes on whatever the one before it did.
    // Under Wayland the window's position is not known: what was stored stays.
    if (!isMinimized() && !Session::NativeWayland()) {
        const Twips tw = Twips::of(this);
        m_registry.WriteStringValue(kSettingsKey, kTop, QString::number(tw.fromPixels(y())));
        m_registry.WriteStringValue(kSettingsKey, kLeft, QString::number(tw.fromPixels(x())));
    }
    writeComboItem();
    m_registry.WriteStringValue(kSettingsKey, kStartup, QStringLiteral("True"));
    try {
        DeleteTempFile(m_engine.ProgramFolder());
    } catch (const ProgramError&) {
    }
    try {
        m_engine.DeleteTimerFile();
    } catch (const ProgramError&) {
    }
    removeTrayIcon();
    DockCheck.stop();
    TimerMessage.stop();
    TimerNewDay.stop();

    // The open dialogs, newest first; one that will not close ends the loop.
    QWidget* refused = nullptr;
    while (QWidget* open = QApplication::activeModalWidget()) {
        if (open == refused || open == this)
            break;
        refused = open;
        open->close();
    }
}

void frmmain::Form_Unload() {
    hide();
    if (m_endProgram)
        m_endProgram();
}

void frmmain::removeTrayIcon() {
    if (m_tray)
        m_tray->remove();
    m_inTray = false;
}

void frmmain::checkDocked() {
    // A tray that never took the icon in leaves nothing to click: as without a tray at all.
    if (!m_inTray || m_unloaded || m_tray->docked())
        return;
    // Not beside an open box (a reminder at start-up): asked again once it is closed, when a
    // host slowed down by a busy machine has mostly taken the icon after all.
    if (m_modalOpen && m_modalOpen()) {
        DockCheck.start(kDockRecheck);
        return;
    }
    m_inTray = false;
    show();
}

void frmmain::menuSettings_Click() {
    ensureControls();
    m_registry.CreateKey(kSettingsKey);
    const std::optional<int> item =
        IntegerFromText(m_registry.ReadStringValue(kSettingsKey, kComboItem));
    if (item && *item >= -1 && *item < cboSavedmessages->count())
        selectSavedMessage(*item);
    cmdEdit_Click();

    // Shown, minimised or under other windows, it comes to the front.
    if (isVisible()) {
        Session::BringToFront(this);
        return;
    }
    // A window cannot come up beside an open modal box: the user hears why nothing appears.
    if (m_modalOpen && m_modalOpen()) {
        m_engine.dialogs().beep();
        return;
    }
    Session::BringToFront(this);
}

void frmmain::menuStatus_Click() {
    m_engine.ShowStatus();
}

void frmmain::menuAbout_Click() {
    if (isMinimized())
        showNormal();
    if (m_dialogs.AboutVisible())
        return;
    centreWindow();
    m_dialogs.ShowAbout();
}

// The engine leaves out ticks that arrive while an earlier tick's boxes are still open.
void frmmain::TimerMessage_Timer() {
    try {
        m_engine.ShowDueTimedMessages();
    } catch (const ProgramError&) {
    }
}

void frmmain::TimerNewDay_Timer() {
    if (const std::optional<QDate> ranFor = m_engine.TimerNewDay_Timer(lblHIDDENdateTODAY)) {
        const QString today = m_engine.dates().shortDate(*ranFor);
        if (controlsBuilt())
            lblchoosendate->setText(today);
        lblchoosenpriordate = today;
        lblHIDDENdateTODAY = today;
    }
}

} // namespace tavrel
