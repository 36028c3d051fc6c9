#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavrel {

// The executable's folder, ending in the directory separator; computed afresh at each call.
QString ProgramFolder();
// `dir` with one trailing separator (a root such as "/" keeps its single one).
QString WithTrailingSeparator(const QString& dir);
// True when `path` is a file that can be opened for reading; never throws.
bool FileExists(const QString& path);
// Deletes `folder` + "Temp" if it exists. Throws ProgramError when the deletion fails.
void DeleteTempFile(const QString& folder);
// Deletes a file if FileExists says it is there; returns whether it was. Throws on a failed
// deletion.
bool DeleteIfExists(const QString& path);

// The bare names of the message files ("*.tvr") in `folder`, in listing order (by name).
QStringList ListMessageFiles(const QString& folder);

// The "Temp" scratch file: old-message lines between the start-up pass and its report.
inline const QString kTempFileName = QStringLiteral("Temp");
// "-Message dated " + priorDate + " description: " + description
QString TempLineText(const QString& priorDate, const QString& description);
// Appends one quoted line (creating the file). Throws ProgramError on failure.
void AppendTempLine(const QString& folder, const QString& lineText);
// Reads every quoted line back without its quotes. Throws ProgramError 53/62.
QStringList ReadTempLines(const QString& folder);
// The same from bytes already in memory. Throws ProgramError 62.
QStringList ParseTempLines(const QByteArray& bytes);

} // namespace tavrel
