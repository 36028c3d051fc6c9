#include "frmabout.h"

#include "AboutTexts.h"
#include "ClickLabel.h"
#include "Clock.h"
#include "Dialogs.h"
#include "QtDialogs.h"
#include "Twips.h"
#include "WindowLook.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

namespace tavrel {

namespace {

template <typename Label = QLabel>
Label* label(const QString& text, const QString& name, QRect rect, QWidget* parent) {
    auto* l = new Label(text, parent);
    l->setObjectName(name);
    l->setGeometry(rect);
    return l;
}

// The etched separators: a dark one-pixel line with a light two-pixel line just below it.
constexpr QColor kSeparatorDark(0x40, 0x00, 0x40);
constexpr int kSeparatorLeft = 360;
constexpr int kSeparatorRight = 2985;
constexpr int kUpperSeparator = 1545; // Line5 / Line1, Line2 below
constexpr int kLowerSeparator = 2415; // Line4, Line3 below

} // namespace

frmabout::frmabout(const Clock& clock, std::function<void()> minimiseMainWindow, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_clock(clock), m_minimiseMainWindow(std::move(minimiseMainWindow)) {
    const Twips tw = Twips::of(this);
    setObjectName(QStringLiteral("frmabout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(ProgramIcon());
    setFont(ClassicFont(kClassicPointSize));
    setModal(true);

    lblprogtitle =
        label(QString(), QStringLiteral("lblprogtitle"), tw.rect(360, 345, 3675, 330), this);
    lblprogtitle->setFont(ClassicFont(13.5));
    lblversion = label(QString(), QStringLiteral("lblversion"), tw.rect(360, 675, 3675, 195), this);
    lblversion->setFont(ClassicFont(9.75, true));
    lblcopyright =
        label(QString(), QStringLiteral("lblcopyright"), tw.rect(360, 930, 795, 195), this);
    lblcopyright2 =
        label(MakerLine(), QStringLiteral("lblcopyright2"), tw.rect(360, 1140, 2580, 240), this);
    lbltext1 = label(QStringLiteral("This program is freeware."), QStringLiteral("lbltext1"),
                     tw.rect(360, 1695, 3675, 195), this);
    lbltext2 = label(QStringLiteral("You can use and distribute it freely."),
                     QStringLiteral("lbltext2"), tw.rect(360, 1890, 2460, 195), this);
    lbltext3 = label(QStringLiteral("Play and enjoy!"), QStringLiteral("lbltext3"),
                     tw.rect(360, 2085, 1110, 195), this);
    lbltext4 = label(QStringLiteral("For updates and other freeware,"), QStringLiteral("lbltext4"),
                     tw.rect(360, 2700, 2265, 195), this);
    lbltext4->setAutoFillBackground(true);
    lbltext5 = label(QStringLiteral("Visit my homepage at"), QStringLiteral("lbltext5"),
                     tw.rect(360, 2895, 1545, 195), this);
    lblurl = label<ClickLabel>(HomePageText(), QStringLiteral("lblurl"),
                               tw.rect(360, 3105, 1740, 195), this);
    SetFixedTextColour(lblurl, QColor(0x00, 0x00, 0xC0), QPalette::Link);
    lblurl->setCursor(Qt::PointingHandCursor);
    lblurl->setToolTip(kHomePage);

    cmdok = new QPushButton(QStringLiteral("&Ok"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setGeometry(tw.rect(360, 3600, 1590, 390));
    cmdok->setDefault(true);
    cmdok->setFocus();

    connect(cmdok, &QPushButton::clicked, this, &QDialog::accept);
    connect(lblurl, &ClickLabel::clicked, this, &frmabout::lblurl_Click);

    Form_Load();
}

void frmabout::ShowModal(const Clock& clock, std::function<void()> minimiseMainWindow) {
    frmabout dialog(clock, std::move(minimiseMainWindow));
    QtDialogs::keepAboveReminders(&dialog);
    dialog.exec();
}

void frmabout::Form_Load() {
    const Twips tw = Twips::of(this);
    lblprogtitle->setText(kProgramTitle);
    lblversion->setText(
        VersionLine(TAVREL_VERSION_MAJOR, TAVREL_VERSION_MINOR, TAVREL_VERSION_PATCH));
    lblcopyright->setText(RightsNotice(m_clock.today().year()));
    // Where the system font makes a text run past the separators, the separators and the
    // window grow with it, keeping the right margin.
    int textRight = tw.toPixels(kSeparatorRight);
    for (QLabel* l : findChildren<QLabel*>()) {
        FitLabelWidth(l);
        textRight = std::max(textRight, l->x() + l->sizeHint().width());
    }
    m_separatorRight = textRight;
    setFixedSize(tw.size(3300, 4395) + QSize(textRight - tw.toPixels(kSeparatorRight), 0));
}

void frmabout::lblurl_Click(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    if (m_minimiseMainWindow)
        m_minimiseMainWindow();
    // Without a browser or a network the address simply does not open; the box closes anyway.
    QDesktopServices::openUrl(QUrl(kHomePage));
    accept();
}

void frmabout::paintEvent(QPaintEvent* event) {
    const Twips tw = Twips::of(this);
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QColor light = palette().color(QPalette::Light);
    for (int y : {kUpperSeparator, kLowerSeparator}) {
        const QPoint from = tw.point(kSeparatorLeft, y);
        const int width = m_separatorRight - from.x();
        painter.fillRect(QRect(from.x(), from.y(), width, 1), kSeparatorDark);
        painter.fillRect(QRect(from.x(), from.y() + 1, width, 2), light);
    }
}

} // namespace tavrel
