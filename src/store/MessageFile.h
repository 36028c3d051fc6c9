#pragma once

#include "MessageRecord.h"

#include <QByteArray>
#include <QString>

namespace tavrel {

// The one line a message file holds: six quoted fields separated by commas, then CR LF.
QByteArray EncodeMessageRecord(const MessageRecord& record);

// Fills `into` from the file at `path` (full, or bare and relative to the current directory).
// Throws ProgramError 53 when the file cannot be opened and 62 when it is corrupted (including
// an empty file). The last complete record wins.
void ReadMessageFile(const QString& path, MessageRecord& into);

// Reads records from bytes already in memory, with the same rules as ReadMessageFile.
void ParseMessageRecords(const QByteArray& bytes, MessageRecord& into);

// Replaces the file at `path` atomically: a failed write leaves the previous file intact and no
// temporary file behind. Throws ProgramError (61 disk full, 70 permission denied, 75 other).
void WriteMessageFile(const QString& path, const MessageRecord& record);

} // namespace tavrel
