#pragma once

#include "MessageRecord.h"

#include <QByteArray>
#include <QString>

namespace tavrel {

// A message file the program writes holds well under 2 KB (250 characters of text, two dates,
// two times). A far larger one is not a message: it counts as corrupted and is not read, so a
// stray huge ".tvr" file can neither exhaust memory nor end up in a message box.
constexpr qint64 kMaxMessageFileBytes = 64 * 1024;

// The one line a message file holds: six quoted fields separated by commas, then CR LF.
QByteArray EncodeMessageRecord(const MessageRecord& record);

// Fills `into` from the file at `path` (full, or bare and relative to the current directory).
// Throws ProgramError 53 when the file cannot be opened and 62 when it is corrupted (including
// an empty file, and one larger than kMaxMessageFileBytes). The last complete record wins.
void ReadMessageFile(const QString& path, MessageRecord& into);

// Reads records from bytes already in memory, with the same rules as ReadMessageFile.
void ParseMessageRecords(const QByteArray& bytes, MessageRecord& into);

// Replaces the file at `path` atomically: a failed write leaves the previous file intact and no
// temporary file behind. Throws ProgramError (61 disk full, 70 permission denied, 75 other).
void WriteMessageFile(const QString& path, const MessageRecord& record);

} // namespace tavrel
