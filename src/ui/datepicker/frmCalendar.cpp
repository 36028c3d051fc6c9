#include "frmCalendar.h"

#include "ClickLabel.h"
#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "QtDialogs.h"
#include "Twips.h"
#include "WindowLook.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace tavrel {

namespace {

ClickLabel* headingLabel(const QString& text, const QString& name, QRect twipsRect,
                         QWidget* parent) {
    auto* label = new ClickLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(ClassicFont(kClassicPointSize, true));
    label->setGeometry(twipsRect);
    return label;
}

constexpr QColor kLongDateBlue(0x00, 0x00, 0xC0);

// The drawn month is one control to a screen reader, not an empty filler.
QAccessibleInterface* monthAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QWidget") && object &&
        object->objectName() == QLatin1String("picMonth") &&
        qobject_cast<frmCalendar*>(object->parent()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Canvas);
    return nullptr;
}

} // namespace

frmCalendar::frmCalendar(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                         std::function<void()> focusDaysPrior, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_clock(clock), m_dialogs(dialogs), m_dates(dates),
      m_focusDaysPrior(std::move(focusDaysPrior)) {
    const Twips tw = Twips::of(this);
    setObjectName(QStringLiteral("frmCalendar"));
    setWindowTitle(kPickADateCaption);
    setWindowIcon(ProgramIcon());
    setFont(ClassicFont(kClassicPointSize));
    setFixedSize(tw.size(2685, 3105));
    setModal(true);

    lblPrev = headingLabel(QStringLiteral("<<"), QStringLiteral("lblPrev"),
                           tw.rect(90, 195, 375, 255), this);
    lblMonth =
        headingLabel(QString(), QStringLiteral("lblMonth"), tw.rect(480, 195, 1575, 255), this);
    lblNext = headingLabel(QStringLiteral(">>"), QStringLiteral("lblNext"),
                           tw.rect(2070, 195, 375, 255), this);

    picMonth = new QWidget(this);
    picMonth->setObjectName(QStringLiteral("picMonth"));
    picMonth->setGeometry(tw.rect(195, 645, 2235, 1215));
    picMonth->setFocusPolicy(Qt::StrongFocus);
    picMonth->setAttribute(Qt::WA_OpaquePaintEvent);
    picMonth->installEventFilter(this);
    static const bool accessible = (QAccessible::installFactory(monthAccessible), true);
    Q_UNUSED(accessible);
    picMonth->setAccessibleDescription(
        QStringLiteral("Arrow keys move the day, Page Up and Page Down the month"));
    lblPrev->setAccessibleName(QStringLiteral("Previous month"));
    lblNext->setAccessibleName(QStringLiteral("Next month"));

    lbllongdate = new QLabel(this);
    lbllongdate->setObjectName(QStringLiteral("lbllongdate"));
    lbllongdate->setGeometry(tw.rect(270, 2010, 2145, 360));
    lbllongdate->setWordWrap(true);
    // A long date may take two lines; the room above the buttons holds them.
    lbllongdate->resize(
        lbllongdate->width(),
        std::max(lbllongdate->height(), 2 * lbllongdate->fontMetrics().lineSpacing()));
    lbllongdate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetFixedTextColour(lbllongdate, kLongDateBlue, QPalette::Link);

    cmdok = new QPushButton(QStringLiteral("&Ok"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setGeometry(tw.rect(210, 2580, 1110, 315));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(tw.rect(1365, 2580, 1110, 315));

    setTabOrder(picMonth, cmdok);
    setTabOrder(cmdok, cmdCancel);

    connect(lblNext, &ClickLabel::mouseDown, this, &frmCalendar::lblNext_MouseDown);
    connect(lblNext, &ClickLabel::doubleClicked, this, &frmCalendar::lblNext_DblClick);
    connect(lblPrev, &ClickLabel::mouseDown, this, &frmCalendar::lblPrev_MouseDown);
    connect(lblPrev, &ClickLabel::doubleClicked, this, &frmCalendar::lblPrev_DblClick);
    connect(cmdok, &QPushButton::clicked, this, &frmCalendar::cmdok_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCalendar::cmdCancel_Click);
}

frmCalendar::~frmCalendar() = default;

bool frmCalendar::GetDate(QDate& userdate, const std::optional<QString>& Title) {
    // The picker is modal; a second call while it is open has nothing to hand back.
    if (isVisible())
        return false;
    if (!m_loaded)
        Form_Load();
    m_currentDate = userdate.isValid() ? ClampToPickable(userdate) : m_clock.today();
    if (Title)
        setWindowTitle(*Title);
    m_accepted = false;
    // The theme may have changed since the picker was made.
    SetFixedTextColour(lbllongdate, kLongDateBlue, QPalette::Link);
    showMonth();
    picMonth->setFocus();
    QtDialogs::keepAboveReminders(this);
    exec();
    if (m_accepted)
        userdate = m_currentDate;
    return m_accepted;
}

void frmCalendar::Form_Load() {
    setWindowTitle(kPickADateCaption);
    const QSize inner = picMonth->size() - QSize(2 * gridOrigin().x(), 2 * gridOrigin().y());
    m_grid = MonthGrid::forSurface(inner.width(), inner.height(), 1.0);
    m_accepted = false;
    if (m_currentDate.isValid())
        showLongDate();
    m_loaded = true;
}

void frmCalendar::Hide(bool acceptedDate) {
    m_accepted = acceptedDate;
    done(acceptedDate ? QDialog::Accepted : QDialog::Rejected);
}

void frmCalendar::Unload() {
    m_loaded = false;
    done(m_accepted ? QDialog::Accepted : QDialog::Rejected);
}

void frmCalendar::reject() {
    Unload();
}

bool frmCalendar::RefusePastDate() {
    if (m_clock.today().daysTo(m_currentDate) >= 0)
        return false;
    m_dialogs.messageBox(kPastDateText, kPastDateTitle, MB::OK | MB::ICONWARNING);
    return true;
}

void frmCalendar::showLongDate() {
    const QString longDate = m_dates.longDate(m_currentDate);
    lbllongdate->setText(longDate);
    // Wrapped lines round up at some densities: the label takes the room above the buttons.
    const int needed = lbllongdate->heightForWidth(lbllongdate->width());
    if (needed > lbllongdate->height())
        lbllongdate->resize(lbllongdate->width(), needed);
    // The grid is named after the selected day: a screen reader says each move.
    picMonth->setAccessibleName(longDate);
}

void frmCalendar::showMonth() {
    const QString heading = m_dates.monthYear(m_currentDate);
    // A long month name in a wide font would run under the arrows beside it.
    lblMonth->setFont(FontToFit(ClassicFont(kClassicPointSize, true), heading,
                                lblMonth->contentsRect().width(), lblMonth));
    lblMonth->setText(heading);
    showLongDate();
    m_monthPending = true;
    picMonth->update();
}

void frmCalendar::SelectDate(QDate newDate) {
    newDate = ClampToPickable(newDate);
    if (!newDate.isValid() || !m_currentDate.isValid())
        return;
    if (newDate.year() == m_currentDate.year() && newDate.month() == m_currentDate.month()) {
        FrameSelectedDay(false);
        m_currentDate = newDate;
        FrameSelectedDay(true);
    } else {
        m_currentDate = newDate;
        showMonth();
    }
}

bool frmCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != picMonth)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        picMonth_Paint();
        return true;
    case QEvent::KeyPress:
        return picMonth_KeyDown(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
        picMonth_MouseDown(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        if (m_clickPending &&
            picMonth->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            picMonth_Click();
        m_clickPending = false;
        return true;
    case QEvent::MouseButtonDblClick:
        m_clickPending = false;
        picMonth_DblClick(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

bool frmCalendar::picMonth_KeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Right:
        SelectDate(AddDaysClamped(m_currentDate, 1));
        break;
    case Qt::Key_Left:
        SelectDate(AddDaysClamped(m_currentDate, -1));
        break;
    case Qt::Key_Down:
        SelectDate(AddDaysClamped(m_currentDate, 7));
        break;
    case Qt::Key_Up:
        SelectDate(AddDaysClamped(m_currentDate, -7));
        break;
    case Qt::Key_PageDown:
        SelectDate(AddMonthsClamped(m_currentDate, 1));
        break;
    case Qt::Key_PageUp:
        SelectDate(AddMonthsClamped(m_currentDate, -1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!RefusePastDate()) {
            m_accepted = true;
            Unload();
        }
        return true;
    case Qt::Key_Escape:
        Unload();
        return true;
    default:
        return false;
    }
    showLongDate();
    return true;
}

void frmCalendar::picMonth_MouseDown(QMouseEvent* event) {
    m_clickPending = true;
    const QPointF at = event->position() - QPointF(gridOrigin());
    const QDate day = m_grid.dayAt(m_currentDate, at.x(), at.y());
    if (day.isValid())
        SelectDate(day);
}

void frmCalendar::picMonth_Click() {
    showLongDate();
}

void frmCalendar::picMonth_DblClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || RefusePastDate())
        return;
    Hide(true);
}

void frmCalendar::lblNext_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    SelectDate(AddMonthsClamped(m_currentDate, 1));
    showLongDate();
}

// Both presses of a quick double click count: the second arrives as the double click.
void frmCalendar::lblNext_DblClick(Qt::MouseButton button) {
    lblNext_MouseDown(button);
}

void frmCalendar::lblPrev_MouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    SelectDate(AddMonthsClamped(m_currentDate, -1));
    showLongDate();
}

void frmCalendar::lblPrev_DblClick(Qt::MouseButton button) {
    lblPrev_MouseDown(button);
}

void frmCalendar::cmdok_Click() {
    if (RefusePastDate())
        return;
    Hide(true);
    if (m_focusDaysPrior)
        m_focusDaysPrior();
}

void frmCalendar::cmdCancel_Click() {
    Hide(false);
}

} // namespace tavrel
