#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tavrel {

class Clock;
class DateText;
class Dialogs;
struct MessageRecord;

// What the time dialog needs from the composer. The texts are read when the dialog loads; the
// two calls are made by a successful "&Include" only.
struct TimeWindowLink {
    QString cboSavedmessages;    // the description shown in the saved-messages list
    QString txtMessageName;      // the description being composed
    QString txtmessage;          // the message text
    QString txtDaysprior;        // days prior, "0" to "99"
    QString lblchoosendate;      // the due date, short-date text
    QString lblchoosenpriordate; // the first day shown, short-date text
    // Writes the chosen window into lblHIDDENstart and lblHIDDENeinde.
    std::function<void(const QString& start, const QString& end)> setTimeStores;
    // Disables "&Optional time" and gives "&Save Message" the focus.
    std::function<void()> timeWindowIncluded;
};

inline const QString kTempusFugit = QStringLiteral("Tempus Fugit");
inline const QString kStartLaterText =
    QStringLiteral("Invalid timesettings: starttime is later then endtime... Please adjust.");
inline const QString kEndNotHigherText =
    QStringLiteral("Invalid timesettings: endtime should be higher... Please adjust.");
inline const QString kStartPastText =
    QStringLiteral("Invalid timesettings: starttime has already past... Please adjust.");
inline const QString kTimesIncludedText =
    QStringLiteral("Timesetings included, save your message.");

// "Optional settings": chooses the time window of the message being composed. It never writes
// a file; an accepted window goes to the composer's hidden time stores, and the message still
// has to be saved. Loaded afresh on every opening, unloaded whenever it closes.
class frmOptional final : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog: when the composer shows the stored message unchanged, its stored window
    // is preselected. `CurrentMessage` receives the stored message read from `programFolder`.
    frmOptional(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                const QString& programFolder, MessageRecord& CurrentMessage, TimeWindowLink link,
                QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmOptional)

    // Opens the dialog modally without owner and returns when it has been unloaded.
    static void ShowModal(const Clock& clock, Dialogs& dialogs, const DateText& dates,
                          const QString& programFolder, MessageRecord& CurrentMessage,
                          TimeWindowLink link);

    // The text a time store receives for `time`: the system's time format, or "HH:mm:ss" where
    // that format could not be read back as the same time.
    static QString TimeStoreText(const DateText& dates, QTime time);

    // "&Include" and "&Never mind".
    void cmdTIMEOK_Click();
    void cmdNevermind_Click();

private:
    void fitToFont();
    void Form_Load(const QString& programFolder, MessageRecord& CurrentMessage);
    void refuse(const QString& text);

    const Clock& m_clock;
    Dialogs& m_dialogs;
    const DateText& m_dates;
    TimeWindowLink m_link;

    QLabel* Label3;
    QLabel* Label1;
    QComboBox* cboTIMES;
    QLabel* Label2;
    QComboBox* cboTIMES2;
    QPushButton* cmdTIMEOK;
    QPushButton* cmdNevermind;
};

} // namespace tavrel
