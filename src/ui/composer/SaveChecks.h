#pragma once

#include "MessageRecord.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tavrel {

class DateText;

// What the save reads from the composer, as text. `txtmessage` is in its file form (CR LF).
struct ComposerFields {
    QString txtMessageName;
    QString txtmessage;
    QString lblchoosendate;
    QString txtDaysprior;
    QString lblDaysprior;
    QString lblchoosenpriordate;
    QString lblHIDDENstart;
    QString lblHIDDENeinde;
};

// Where the focus goes after a refusal.
enum class SaveFocus { txtMessageName, txtmessage, cmdcalendar, txtDaysprior };

// A message box: text, title and Win32 style.
struct BoxText {
    QString text;
    QString title;
    uint32_t style = 0;
};

// A refused save: the box to show, then the focus, and whether the time dialog opens instead.
struct SaveRefusal {
    BoxText box;
    SaveFocus focus = SaveFocus::txtMessageName;
    bool selectText = false;
    bool openOptionalTime = false;
};

// The characters that cannot stand in a description (file name), in the order the box lists.
inline const QString kForbiddenDescriptionChars = QStringLiteral("\\/:*?\"<>|");

// The forbidden characters found in `text`, in its order, once per occurrence.
QString StringChk(const QString& text, const QString& forbidden);

// The record the save writes, filled from the fields in the save's order. The two times are
// turned into "hh:mm:ss am/pm"; a time text that cannot be read throws ProgramError 13.
MessageRecord FillMessageRecord(const ComposerFields& fields);

// The save's checks in their order, up to the time window: the first that fails, or nothing.
// Dates count whole days from `today`. A date text that cannot be read throws ProgramError 13.
std::optional<SaveRefusal> CheckSave(const ComposerFields& fields, const MessageRecord& record,
                                     QDate today, const DateText& dates);

// True when the record's due date or first day shown is `today` (then its time window matters).
bool DueOrFirstDayIsToday(const MessageRecord& record, QDate today, const DateText& dates);

// The position of `description` among the list entries (exact, case-sensitive), or -1.
qsizetype FindSavedDescription(const QStringList& entries, const QString& description);

// The question asked before an existing message is replaced.
BoxText OverwriteQuestion();

} // namespace tavrel
