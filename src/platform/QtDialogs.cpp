#include "QtDialogs.h"

#include "Session.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLayout>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace tavrel {

namespace {

// Drops every key, click and close request aimed at `box` until `ms` have passed since it was
// first painted: a busy program can take a while to draw it, and keys typed meanwhile wait.
class InputGuard final : public QObject {
public:
    InputGuard(const QWidget* box, int ms) : m_box(box), m_ms(ms) {
        qApp->installEventFilter(this);
    }
    ~InputGuard() override { qApp->removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(InputGuard)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
            if (watched == m_box && !m_since.isValid())
                m_since.start();
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Close:
            break;
        default:
            return false;
        }
        if (m_since.isValid() && m_since.elapsed() >= m_ms)
            return false;
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (!widget || (widget != m_box && !m_box->isAncestorOf(widget)))
            return false;
        // A close request left accepted would close the box all the same.
        if (event->type() == QEvent::Close)
            event->ignore();
        return true;
    }

private:
    const QWidget* m_box;
    int m_ms;
    QElapsedTimer m_since;
};

// The box's answer as the Win32 result the program speaks in.
int win32Result(int answer, uint32_t style) {
    switch (answer) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        // OK, and a box closed by its title bar, answer as its escape button would.
        return (style & MB::ButtonMask) == MB::YESNO                                   ? IDNO
               : (style & MB::ButtonMask) == MB::OKCANCEL && answer != QMessageBox::Ok ? IDCANCEL
                                                                                       : IDOK;
    }
}

// The window manager writes the title in its own, often bold, font beside an icon and up to
// three buttons; the toolkit leaves 50 pixels for all of that, and long titles came out cut.
// The button row spans the box, so its least width is the box's.
void fitTitle(QMessageBox* box) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Decorations drawn under Wayland (by the toolkit on GNOME, by KWin) centre the title on
    // the whole bar, so the buttons' room is kept free on both sides of it.
    const int decorations = (Session::NativeWayland() ? 9 : 5) * (metrics.height() + 8);
    int needed = metrics.horizontalAdvance(box->windowTitle()) + decorations;
    if (const QLayout* layout = box->layout())
        needed -= layout->contentsMargins().left() + layout->contentsMargins().right();
    if (auto* buttons = box->findChild<QDialogButtonBox*>())
        buttons->setMinimumWidth(std::max(buttons->minimumWidth(), needed));
}

// Marks a box that puts a reminder before the user.
const char* const kReminderProperty = "tavrelReminder";

bool reminderOnScreen() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* w) {
        return w->isVisible() && w->property(kReminderProperty).toBool();
    });
}

} // namespace

bool QtDialogs::keepAboveReminders(QWidget* window) {
    if (!reminderOnScreen())
        return false;
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    // Once its own loop shows it.
    QTimer::singleShot(0, window, [window] {
        window->raise();
        window->activateWindow();
    });
    return true;
}

QMessageBox* QtDialogs::build(const QString& text, const QString& title, uint32_t style) {
    auto* box = new QMessageBox();
    box->setWindowTitle(title.isEmpty() ? kProgramTitle : title);
    // Files hold CR LF; the toolkit wants bare line feeds.
    QString shown = text;
    box->setText(shown.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box->setTextFormat(Qt::PlainText);

    switch (style & MB::IconMask) {
    case MB::ICONSTOP:
        box->setIcon(QMessageBox::Critical);
        break;
    case MB::ICONQUESTION:
        box->setIcon(QMessageBox::Question);
        break;
    case MB::ICONWARNING:
        box->setIcon(QMessageBox::Warning);
        break;
    case MB::ICONINFORMATION:
        box->setIcon(QMessageBox::Information);
        break;
    default:
        box->setIcon(QMessageBox::NoIcon);
    }

    QMessageBox::StandardButton second = QMessageBox::NoButton;
    switch (style & MB::ButtonMask) {
    case MB::OKCANCEL:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        second = QMessageBox::Cancel;
        box->setDefaultButton(QMessageBox::Ok);
        break;
    case MB::YESNO:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
        second = QMessageBox::No;
        box->setDefaultButton(QMessageBox::Yes);
        break;
    default:
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    if ((style & MB::DefaultMask) == MB::DEFBUTTON2 && second != QMessageBox::NoButton)
        box->setDefaultButton(second);
    if (style & MB::SETFOREGROUND)
        box->setWindowFlag(Qt::WindowStaysOnTopHint);
    fitTitle(box);
    Session::AttachToProgram(box);
    return box;
}

int QtDialogs::messageBox(const QString& text, const QString& title, uint32_t style) {
    return run(text, title, style, 0);
}

int QtDialogs::reminderBox(const QString& text, const QString& title, uint32_t style) {
    return run(text, title, style, reminderGuardMs);
}

int QtDialogs::run(const QString& text, const QString& title, uint32_t style, int guardMs) {
    QMessageBox* box = build(text, title, style);
    const bool above = keepAboveReminders(box);
    if (guardMs > 0)
        box->setProperty(kReminderProperty, true);
    if ((style & MB::SETFOREGROUND) || above) {
        box->show();
        box->raise();
        box->activateWindow();
    }
    std::optional<InputGuard> guard;
    if (guardMs > 0)
        guard.emplace(box, guardMs);
    const int answer = box->exec();
    guard.reset();
    delete box;
    return win32Result(answer, style);
}

void QtDialogs::beep() {
    RingBell();
}

} // namespace tavrel
