#include "frmOptional.h"

#include "Clock.h"
#include "DateText.h"
#include "Dialogs.h"
#include "MessageFile.h"
#include "MessageRecord.h"
#include "ProgramError.h"
#include "ProgramFolder.h"
#include "QtDialogs.h"
#include "TimeListIndex.h"
#include "Twips.h"
#include "WindowLook.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace tavrel {

namespace {

QLabel* label(const QString& text, const QString& name, QRect rect, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(rect);
    FitLabelWidth(l);
    return l;
}

QComboBox* timeList(const QStringList& times, const QString& name, QRect rect, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(times);
    list->setMaxVisibleItems(times.size());
    list->setGeometry(rect);
    return list;
}

// The list texts are the program's own ("hh:00", "23:59"): they always read as a time.
QTime listTime(const QComboBox* list) {
    return DateText::minuteCut(DateText::parseTime(list->currentText()));
}

} // namespace

frmOptional::frmOptional(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                         const QString& programFolder, MessageRecord& CurrentMessage,
                         TimeWindowLink link, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_clock(clock), m_dialogs(dialogs), m_dates(dates), m_link(std::move(link)) {
    const Twips tw = Twips::of(this);
    setObjectName(QStringLiteral("frmOptional"));
    setWindowTitle(QStringLiteral("Optional settings"));
    setWindowIcon(ProgramIcon());
    setFont(ClassicFont(kClassicPointSize));
    setFixedSize(tw.size(3420, 1650));
    setModal(true);

    Label3 = label(QStringLiteral("Show me my message:"), QStringLiteral("Label3"),
                   tw.rect(240, 210, 2955, 255), this);
    Label1 = label(QStringLiteral("Between"), QStringLiteral("Label1"),
                   tw.rect(240, 660, 1245, 210), this);
    cboTIMES =
        timeList(StartTimeList(), QStringLiteral("cboTIMES"), tw.rect(1005, 600, 840, 315), this);
    Label2 =
        label(QStringLiteral("and"), QStringLiteral("Label2"), tw.rect(1905, 660, 270, 195), this);
    cboTIMES2 =
        timeList(EndTimeList(), QStringLiteral("cboTIMES2"), tw.rect(2295, 600, 840, 315), this);
    cmdTIMEOK = new QPushButton(QStringLiteral("&Include"), this);
    cmdTIMEOK->setObjectName(QStringLiteral("cmdTIMEOK"));
    cmdTIMEOK->setGeometry(tw.rect(240, 1050, 1410, 315));
    cmdNevermind = new QPushButton(QStringLiteral("&Never mind"), this);
    cmdNevermind->setObjectName(QStringLiteral("cmdNevermind"));
    cmdNevermind->setGeometry(tw.rect(1725, 1050, 1410, 315));

    // A screen reader names each list after the words before it.
    Label1->setBuddy(cboTIMES);
    Label2->setBuddy(cboTIMES2);
    fitToFont();
    setTabOrder(cboTIMES, cboTIMES2);
    setTabOrder(cboTIMES2, cmdTIMEOK);
    setTabOrder(cmdTIMEOK, cmdNevermind);
    cboTIMES->setFocus();

    connect(cmdTIMEOK, &QPushButton::clicked, this, &frmOptional::cmdTIMEOK_Click);
    connect(cmdNevermind, &QPushButton::clicked, this, &frmOptional::cmdNevermind_Click);

    Form_Load(programFolder, CurrentMessage);
}

void frmOptional::fitToFont() {
    const Twips tw = Twips::of(this);
    // The measures were made for a narrower font than most systems have: where a list cannot
    // show its times, the row widens and the window and its buttons follow it, keeping the
    // right edges aligned.
    const int listWidth =
        std::max({cboTIMES->width(), cboTIMES->sizeHint().width(), cboTIMES2->sizeHint().width()});
    const int right = cboTIMES2->geometry().right();
    const int startX =
        std::max(cboTIMES->x(), Label1->x() + Label1->sizeHint().width() + tw.toPixels(60));
    cboTIMES->setGeometry(startX, cboTIMES->y(), listWidth, cboTIMES->height());
    Label2->move(std::max(Label2->x(), cboTIMES->geometry().right() + 1 + tw.toPixels(60)),
                 Label2->y());
    cboTIMES2->setGeometry(
        std::max(cboTIMES2->x(), Label2->x() + Label2->sizeHint().width() + tw.toPixels(120)),
        cboTIMES2->y(), listWidth, cboTIMES2->height());
    const int newRight = cboTIMES2->geometry().right();
    if (newRight <= right)
        return;
    setFixedWidth(width() + newRight - right);
    const int gap = cmdNevermind->x() - cmdTIMEOK->geometry().right() - 1;
    const int buttonWidth = (newRight + 1 - cmdTIMEOK->x() - gap) / 2;
    cmdTIMEOK->resize(buttonWidth, cmdTIMEOK->height());
    cmdNevermind->setGeometry(cmdTIMEOK->geometry().right() + 1 + gap, cmdNevermind->y(),
                              newRight + 1 - (cmdTIMEOK->geometry().right() + 1 + gap),
                              cmdNevermind->height());
}

void frmOptional::ShowModal(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                            const QString& programFolder, MessageRecord& CurrentMessage,
                            TimeWindowLink link) {
    frmOptional dialog(clock, dialogs, dates, programFolder, CurrentMessage, std::move(link));
    QtDialogs::keepAboveReminders(&dialog);
    dialog.exec();
}

void frmOptional::Form_Load(const QString& programFolder, MessageRecord& CurrentMessage) {
    const QString path = programFolder + m_link.cboSavedmessages + QStringLiteral(".tvr");
    if (FileExists(path)) {
        // Read into a copy: a corrupted file must neither leave the shared record half
        // overwritten nor keep the dialog from opening.
        try {
            MessageRecord stored = CurrentMessage;
            ReadMessageFile(path, stored);
            CurrentMessage = stored;
        } catch (const ProgramError&) {
            cboTIMES->setCurrentIndex(0);
            cboTIMES2->setCurrentIndex(kEndOfDayPosition);
            return;
        }
    }
    const bool unchanged = CurrentMessage.daysPrior == m_link.txtDaysprior &&
                           CurrentMessage.finalDate == m_link.lblchoosendate &&
                           CurrentMessage.messageText == m_link.txtmessage &&
                           m_link.cboSavedmessages == m_link.txtMessageName;
    if (unchanged) {
        // The start list has no position 24 ("23:59"): such a start shows as "00:00".
        const int start = TimeListIndex(CurrentMessage.startTime);
        cboTIMES->setCurrentIndex(start < cboTIMES->count() ? start : 0);
        cboTIMES2->setCurrentIndex(TimeListIndex(CurrentMessage.endTime));
    } else {
        cboTIMES->setCurrentIndex(0);
        cboTIMES2->setCurrentIndex(kEndOfDayPosition);
    }
}

void frmOptional::refuse(const QString& text) {
    m_dialogs.messageBox(text, kTempusFugit, MB::OK | MB::ICONWARNING);
}

void frmOptional::cmdTIMEOK_Click() {
    const QTime start = listTime(cboTIMES);
    const QTime end = listTime(cboTIMES2);
    if (start > end)
        return refuse(kStartLaterText);
    if (start == end)
        return refuse(kEndNotHigherText);
    const QString today = m_dates.shortDate(m_clock.today());
    const bool showsToday = today == m_link.lblchoosendate || today == m_link.lblchoosenpriordate;
    if (showsToday && start < DateText::minuteCut(m_clock.timeOfDay()))
        return refuse(kStartPastText);

    if (m_link.setTimeStores)
        m_link.setTimeStores(TimeStoreText(m_dates, start), TimeStoreText(m_dates, end));
    done(QDialog::Accepted);
    m_dialogs.messageBox(kTimesIncludedText, kProgramTitle, MB::OK | MB::ICONINFORMATION);
    if (m_link.timeWindowIncluded)
        m_link.timeWindowIncluded();
}

void frmOptional::cmdNevermind_Click() {
    done(QDialog::Rejected);
}

QString frmOptional::TimeStoreText(const DateText& dates, QTime time) {
    const QString text = dates.timeText(time);
    try {
        if (DateText::parseTime(text) == time)
            return text;
    } catch (const ProgramError&) {
    }
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace tavrel
