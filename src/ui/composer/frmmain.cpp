#include "frmmain.h"

#include "Clock.h"
#include "ComposerLineEdit.h"
#include "DateText.h"
#include "Dialogs.h"
#include "MessageTextEdit.h"
#include "PriorDay.h"
#include "ProgramError.h"
#include "StartupAndRoutines.h"
#include "Twips.h"
#include "UpDown.h"
#include "WindowLook.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

// Resources live in a static library: they must be registered by name, outside any namespace.
static void initTavrelResources() {
    Q_INIT_RESOURCE(tavrel);
}

namespace tavrel {

namespace {

constexpr int kClientWidth = 3420;
constexpr int kClientHeight = 5025;
constexpr int kTimerMessageInterval = 10000;
constexpr int kTimerNewDayInterval = 65535;
const QColor kGrey(224, 224, 224);
const QColor kNavy(0, 0, 128);

template <typename W> W* place(QWidget* parent, const char* name, const QRect& rect) {
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* l = place<QLabel>(parent, name, rect);
    l->setText(caption);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* b = place<QPushButton>(parent, name, rect);
    b->setText(caption);
    b->setAutoDefault(false);
    // Enter presses the focused button (the window's event filter), as in a dialog.
    b->installEventFilter(parent);
    return b;
}

// The window's design fits a narrow font; a wider system font is made smaller until every
// caption fits its rectangle, so that nothing is clipped.
QFont fittingFont(QFont font, const QList<QWidget*>& controls) {
    const qreal largest = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    for (qreal size = largest; size >= 6.0; size -= 0.25) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        bool fits = true;
        for (const QWidget* control : controls) {
            QString text;
            int room = control->width();
            if (const auto* l = qobject_cast<const QLabel*>(control)) {
                text = l->text();
            } else if (const auto* b = qobject_cast<const QPushButton*>(control)) {
                text = QString(b->text()).remove(QLatin1Char('&'));
                room -= 8;
            }
            if (metrics.horizontalAdvance(text) > room || metrics.height() > control->height() + 2)
                fits = false;
        }
        if (fits)
            return font;
    }
    font.setPointSizeF(6.0);
    return font;
}

// "Small Fonts" where it exists; elsewhere the system's smallest readable font.
QFont daysPriorFont(const QFont& windowFont) {
    QFont font;
    if (QFontDatabase::hasFamily(QStringLiteral("Small Fonts"))) {
        font = QFont(QStringLiteral("Small Fonts"));
        font.setPointSizeF(6.75);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
        const qreal smaller = qMax<qreal>(6.75, windowFont.pointSizeF() - 1.0);
        if (font.pointSizeF() <= 0 || font.pointSizeF() > smaller)
            font.setPointSizeF(smaller);
    }
    font.setItalic(true);
    return font;
}

} // namespace

frmmain::frmmain(StartupAndRoutines& engine, Registry& registry, ComposerDialogs& dialogs,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_engine(engine), m_registry(registry), m_dialogs(dialogs),
      m_endProgram([] { QCoreApplication::exit(0); }),
      m_modalOpen([] { return QApplication::activeModalWidget() != nullptr; }) {
    initTavrelResources();
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(kProgramTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/tavrel-32.png")));
    setFixedSize(Twips::of(this).size(kClientWidth, kClientHeight));

    TimerMessage.setObjectName(QStringLiteral("TimerMessage"));
    TimerMessage.setInterval(kTimerMessageInterval);
    TimerNewDay.setObjectName(QStringLiteral("TimerNewDay"));
    TimerNewDay.setInterval(kTimerNewDayInterval);
    connect(&TimerMessage, &QTimer::timeout, this, &frmmain::TimerMessage_Timer);
    connect(&TimerNewDay, &QTimer::timeout, this, &frmmain::TimerNewDay_Timer);
    DockCheck.setSingleShot(true);
    DockCheck.setInterval(kDockWait);
    connect(&DockCheck, &QTimer::timeout, this, &frmmain::checkDocked);
    TimerNewDay.start();
    // Logging off ends the event loop without closing the window: the close sequence still runs.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!m_unloaded)
            Form_QueryUnload();
    });
}

frmmain::~frmmain() = default;

void frmmain::buildControls() {
    const Twips tw = Twips::of(this);
    lblSaved = label(this, "lblSaved", QStringLiteral("Previously saved messages:"),
                     tw.rect(270, 210, 2865, 195));
    cboSavedmessages = place<QComboBox>(this, "cboSavedmessages", tw.rect(270, 465, 2880, 315));
    cboSavedmessages->setEditable(false);
    cmdEdit = button(this, "cmdEdit", QStringLiteral("&Edit"), tw.rect(270, 855, 1410, 315));
    cmdDelete = button(this, "cmdDelete", QStringLiteral("&Delete"), tw.rect(1740, 855, 1410, 315));
    lblMessagename =
        label(this, "lblMessagename", QStringLiteral("Enter a short message description:"),
              tw.rect(270, 1305, 2865, 195));
    txtMessageName = place<ComposerLineEdit>(this, "txtMessageName", tw.rect(270, 1545, 2865, 315));
    lblName = label(this, "lblName", QStringLiteral("Enter message text:"),
                    tw.rect(270, 1995, 2865, 195));
    txtmessage = place<MessageTextEdit>(this, "txtmessage", tw.rect(270, 2235, 2865, 870));
    QPalette grey = txtmessage->palette();
    grey.setColor(QPalette::Base, kGrey);
    grey.setColor(QPalette::Text, Qt::black);
    txtmessage->setPalette(grey);
    cmdcalendar =
        button(this, "cmdcalendar", QStringLiteral("&Pick a date"), tw.rect(270, 3180, 1410, 315));
    cmdOptional = button(this, "cmdOptional", QStringLiteral("&Optional time"),
                         tw.rect(1740, 3180, 1410, 315));
    lblHOLDER = label(this, "lblHOLDER", QString(), tw.rect(270, 3570, 1410, 315));
    lblHOLDER->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblchoosendate = label(this, "lblchoosendate", QString(), tw.rect(270, 3630, 1410, 315));
    lblchoosendate->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblchoosendate->setAttribute(Qt::WA_TranslucentBackground);
    lblDaysprior = label(this, "lblDaysprior", kDaysPriorWords, tw.rect(1605, 3645, 1035, 255));
    lblDaysprior->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblDaysprior->setMouseTracking(true);
    lblDaysprior->installEventFilter(this);
    txtDaysprior = place<ComposerLineEdit>(this, "txtDaysprior", tw.rect(2550, 3570, 315, 330));
    txtDaysprior->setReadOnly(true);
    txtDaysprior->setMaxLength(2);
    txtDaysprior->setText(QStringLiteral("0"));
    txtDaysprior->setAlignment(Qt::AlignCenter);
    UpDownprior = place<UpDown>(this, "UpDownprior", tw.rect(2910, 3570, 240, 345));
    UpDownprior->setRange(0, 99);
    cmdSaveMessage = button(this, "cmdSaveMessage", QStringLiteral("&Save Message"),
                            tw.rect(270, 4035, 2880, 345));
    cmdReset = button(this, "cmdReset", QStringLiteral("&Reset"), tw.rect(270, 4440, 930, 315));
    cmdHide = button(this, "cmdHide", QStringLiteral("&Hide"), tw.rect(1245, 4440, 930, 315));
    cmdExit = button(this, "cmdExit", QStringLiteral("E&xit"), tw.rect(2220, 4440, 930, 315));

    // What a screen reader says for each field: its label, or a name where the label is none.
    lblSaved->setBuddy(cboSavedmessages);
    cboSavedmessages->view()->setAccessibleName(QStringLiteral("Previously saved messages"));
    lblMessagename->setBuddy(txtMessageName);
    lblName->setBuddy(txtmessage);
    lblHOLDER->setAccessibleName(QStringLiteral("Due date"));
    txtDaysprior->setAccessibleName(QStringLiteral("Days prior"));
    UpDownprior->setAccessibleName(QStringLiteral("Days prior"));

    // The days-prior label reaches under the box beside it; the box stays readable on top.
    lblchoosendate->raise();
    txtDaysprior->raise();
    UpDownprior->raise();

    cmdSaveMessage->setEnabled(false);
    cmdOptional->setEnabled(false);

    applyTextColours();
    setFont(fittingFont(font(), {lblSaved, lblMessagename, lblName, cmdEdit, cmdDelete, cmdcalendar,
                                 cmdOptional, cmdSaveMessage, cmdReset, cmdHide, cmdExit}));
    lblDaysprior->setFont(daysPriorFont(font()));
}

void frmmain::ensureControls() {
    if (controlsBuilt())
        return;
    buildControls();
    setTabOrder();
    connectHandlers();
    // While there were no controls, the chosen date could only be today's (Form_Load and the
    // change of day set the two together).
    lblchoosendate->setText(lblHIDDENdateTODAY);
    for (const QString& description : std::as_const(m_pendingSaved))
        addSavedMessage(description);
    m_pendingSaved.clear();
    setEditDeleteEnabled(m_pendingEditDelete);
}

void frmmain::setVisible(bool visible) {
    if (visible)
        ensureControls();
    QWidget::setVisible(visible);
}

void frmmain::setTabOrder() {
    const QList<QWidget*> order{txtMessageName, txtmessage,       cmdcalendar, cmdOptional,
                                UpDownprior,    cmdSaveMessage,   cmdReset,    cmdHide,
                                cmdExit,        cboSavedmessages, cmdEdit,     cmdDelete,
                                txtDaysprior};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmmain::connectHandlers() {
    connect(cboSavedmessages, &QComboBox::currentTextChanged, this,
            &frmmain::cboSavedmessages_Change);
    connect(cboSavedmessages, &QComboBox::activated, this, &frmmain::cboSavedmessages_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmmain::cmdEdit_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmmain::cmdDelete_Click);
    connect(cmdcalendar, &QPushButton::clicked, this, &frmmain::cmdcalendar_Click);
    connect(cmdOptional, &QPushButton::clicked, this, &frmmain::cmdOptional_Click);
    connect(cmdSaveMessage, &QPushButton::clicked, this, &frmmain::cmdSaveMessage_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmmain::cmdReset_Click);
    connect(cmdHide, &QPushButton::clicked, this, &frmmain::cmdHide_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmmain::cmdExit_Click);
    connect(txtMessageName, &ComposerLineEdit::focusGained, this,
            &frmmain::txtMessageName_GotFocus);
    connect(txtMessageName, &ComposerLineEdit::keyReleased, this, &frmmain::txtMessageName_KeyUp);
    connect(txtmessage, &MessageTextEdit::focusGained, this, &frmmain::txtmessage_GotFocus);
    // A click places the caret after the focus arrived: the placeholder is selected again, as
    // when the box is tabbed into, so typing replaces it.
    connect(txtMessageName, &ComposerLineEdit::clicked, this, &frmmain::txtMessageName_GotFocus);
    connect(txtmessage, &MessageTextEdit::clicked, this, &frmmain::txtmessage_GotFocus);
    connect(txtmessage, &MessageTextEdit::keyReleased, this, &frmmain::txtmessage_KeyUp);
    // The spin control counts from the number the box shows, so the two never drift apart.
    connect(UpDownprior, &UpDown::aboutToStep, this, [this] {
        bool ok = false;
        const int shown = txtDaysprior->text().trimmed().toInt(&ok);
        if (ok)
            UpDownprior->setValue(shown);
    });
    connect(UpDownprior, &UpDown::valueChanged, this, [this](int value) {
        txtDaysprior->setText(QString::number(value));
        UpDownprior_Change();
    });
}

void frmmain::addSavedMessage(const QString& description) {
    if (!controlsBuilt()) {
        m_pendingSaved.append(description);
        return;
    }
    // Adding never selects: the first entry of an empty list would otherwise be chosen, and
    // the list's shown text stays as it was.
    const QSignalBlocker quiet(cboSavedmessages);
    const int selected = cboSavedmessages->currentIndex();
    cboSavedmessages->addItem(description);
    if (cboSavedmessages->currentIndex() != selected)
        cboSavedmessages->setCurrentIndex(selected);
}

void frmmain::setEditDeleteEnabled(bool enabled) {
    if (!controlsBuilt()) {
        m_pendingEditDelete = enabled;
        return;
    }
    cmdEdit->setEnabled(enabled);
    cmdDelete->setEnabled(enabled);
}

void frmmain::showPlaceholder() {
    ensureControls();
    txtMessageName->setText(kPlaceholder);
    txtmessage->setFileText(kPlaceholder);
}

void frmmain::showWindow() {
    show();
}

void frmmain::setTimerMessageEnabled(bool enabled) {
    if (enabled && !TimerMessage.isActive())
        TimerMessage.start();
    else if (!enabled)
        TimerMessage.stop();
}

bool frmmain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* pressed = qobject_cast<QPushButton*>(watched);
        if (pressed && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (pressed->isEnabled())
                pressed->click();
            return true;
        }
    }
    if (watched == lblDaysprior &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter))
        lblDaysprior_MouseMove();
    return QWidget::eventFilter(watched, event);
}

void frmmain::applyTextColours() {
    SetFixedTextColour(lblchoosendate, Qt::black);
    // The first day shown is navy; the words "Days prior:" black.
    if (lblDaysprior->text() == kDaysPriorWords)
        SetFixedTextColour(lblDaysprior, Qt::black);
    else
        SetFixedTextColour(lblDaysprior, kNavy, QPalette::Link);
}

void frmmain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The system switched between a light and a dark theme.
    if (event->type() == QEvent::PaletteChange && controlsBuilt())
        applyTextColours();
}

void frmmain::closeEvent(QCloseEvent* event) {
    // The close box quits without asking.
    if (!m_unloaded) {
        Form_QueryUnload();
        Form_Unload();
    }
    event->accept();
}

QString frmmain::todayText() const {
    return m_engine.dates().shortDate(m_engine.clock().today());
}

void frmmain::showError(const ProgramError& error, const QString& routine) {
    m_engine.dialogs().messageBox(GenericErrorText(error, routine), kErrorTitle, MB::OK);
}

} // namespace tavrel
