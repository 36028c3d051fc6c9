#include "SaveChecks.h"

#include "DateText.h"
#include "Dialogs.h"
#include "FileText.h"
#include "MainWindowPort.h"
#include "PriorDay.h"

namespace tavrel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kBePoetic = QStringLiteral("Be poetic...");
const QString kLookAhead = QStringLiteral("Don't look back: look ahead!");
const QString kSnorry = QStringLiteral("Snorry!");
constexpr uint32_t kInformation = MB::OK | MB::ICONINFORMATION;
constexpr uint32_t kCritical = MB::OK | MB::ICONSTOP;

bool isEmptyOrPlaceholder(const QString& text) {
    return text.isEmpty() || text == kPlaceholder;
}

// The forbidden characters as the box lists them, separated by blanks.
QString listed(const QString& characters) {
    QStringList parts;
    for (const char32_t c : characters.toUcs4())
        parts.append(QString::fromUcs4(&c, 1));
    return parts.join(QLatin1Char(' '));
}

// A character the file code page cannot hold (on Windows, outside the ANSI code page) would be
// written as "?": it is refused like a forbidden one, naming what was found.
std::optional<SaveRefusal> unwritable(const QString& text, const QString& where, SaveFocus focus,
                                      bool selectText) {
    const QString found = UnencodableFileChars(text);
    if (found.isEmpty())
        return std::nullopt;
    return SaveRefusal{{QStringLiteral("The following characters are not allowed in a ") + where +
                            QStringLiteral(": ") + kCrLf + listed(found),
                        kSnorry, kCritical},
                       focus,
                       selectText,
                       false};
}

// Control characters cannot stand in a Windows file name, and a NUL would cut the name short
// of its extension; they are refused with the same box as the listed characters.
bool hasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            return true;
    }
    return false;
}

QTime minuteOf(const QString& timeText) {
    return DateText::minuteCut(DateText::parseTime(timeText));
}

} // namespace

QString StringChk(const QString& text, const QString& forbidden) {
    QString found;
    for (const QChar c : text) {
        for (const QChar f : forbidden) {
            if (c == f)
                found.append(f);
        }
    }
    return found;
}

MessageRecord FillMessageRecord(const ComposerFields& fields) {
    MessageRecord record;
    if (fields.lblDaysprior == kDaysPriorWords) {
        record.daysPrior = QStringLiteral("0");
        record.priorDate = fields.lblchoosendate;
    } else {
        record.daysPrior = fields.txtDaysprior;
        record.priorDate = fields.lblDaysprior;
    }
    record.finalDate = fields.lblchoosendate;
    record.messageText = fields.txtmessage;
    record.startTime = DateText::ampmTime(DateText::parseTime(fields.lblHIDDENstart));
    record.endTime = DateText::ampmTime(DateText::parseTime(fields.lblHIDDENeinde));
    return record;
}

std::optional<SaveRefusal> CheckSave(const ComposerFields& fields, const MessageRecord& record,
                                     QDate today, const DateText& dates) {
    if (isEmptyOrPlaceholder(fields.txtMessageName)) {
        return SaveRefusal{{QStringLiteral("Enter a short description for your message here..."),
                            kBePoetic, kInformation},
                           SaveFocus::txtMessageName,
                           true,
                           false};
    }
    if (isEmptyOrPlaceholder(fields.txtmessage)) {
        return SaveRefusal{{QStringLiteral("Enter your message"), kBePoetic, kInformation},
                           SaveFocus::txtmessage,
                           true,
                           false};
    }
    // The file format cannot hold a quote inside a field.
    if (fields.txtmessage.contains(QLatin1Char('"'))) {
        return SaveRefusal{
            {QStringLiteral("The following character is not allowed in a message: ") + kCrLf +
                 QStringLiteral("\""),
             kSnorry, kCritical},
            SaveFocus::txtmessage,
            false,
            false};
    }
    if (auto refusal =
            unwritable(fields.txtmessage, QStringLiteral("message"), SaveFocus::txtmessage, false))
        return refusal;
    if (!StringChk(fields.txtMessageName, kForbiddenDescriptionChars).isEmpty() ||
        hasControlCharacter(fields.txtMessageName)) {
        return SaveRefusal{
            {QStringLiteral("The following characters are not allowed in a description: ") + kCrLf +
                 listed(kForbiddenDescriptionChars),
             kSnorry, kCritical},
            SaveFocus::txtMessageName,
            true,
            false};
    }
    if (auto refusal = unwritable(fields.txtMessageName, QStringLiteral("description"),
                                  SaveFocus::txtMessageName, true))
        return refusal;
    if (today.daysTo(dates.parseDate(fields.lblchoosendate)) < 0) {
        return SaveRefusal{
            {QStringLiteral("The DATE setting is incorrect. (Date is in the past) Please adjust. "),
             kLookAhead, kInformation},
            SaveFocus::cmdcalendar,
            false,
            false};
    }
    if (today.daysTo(dates.parseDate(fields.lblchoosenpriordate)) < 0) {
        return SaveRefusal{{QStringLiteral("The PRIOR DAYS setting is incorrect. (Date is in the "
                                           "past) Please adjust. "),
                            kLookAhead, kInformation},
                           SaveFocus::txtDaysprior,
                           true,
                           false};
    }
    if (DueOrFirstDayIsToday(record, today, dates) &&
        minuteOf(fields.lblHIDDENstart) == minuteOf(fields.lblHIDDENeinde)) {
        return SaveRefusal{{QStringLiteral("Please include a time-setting for your message."),
                            QStringLiteral("When today?"), kInformation},
                           SaveFocus::txtMessageName,
                           false,
                           true};
    }
    return std::nullopt;
}

bool DueOrFirstDayIsToday(const MessageRecord& record, QDate today, const DateText& dates) {
    return dates.parseDate(record.finalDate) == today || dates.parseDate(record.priorDate) == today;
}

qsizetype FindSavedDescription(const QStringList& entries, const QString& description) {
    return entries.indexOf(description);
}

BoxText OverwriteQuestion() {
    return BoxText{QStringLiteral("Do you want to overwrite existing message?"),
                   QStringLiteral("Be careful..."), MB::OKCANCEL | MB::ICONINFORMATION};
}

} // namespace tavrel
