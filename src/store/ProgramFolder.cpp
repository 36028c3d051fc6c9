#include "ProgramFolder.h"

#include "FieldReader.h"
#include "FileOps.h"
#include "FileText.h"
#include "ProgramError.h"
#include "SystemError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tavrel {

namespace {

QString executableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // No application object (tools, early start-up): ask the system for our own executable.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.isSymLink())
        return QFileInfo(self.symLinkTarget()).absolutePath();
    return QDir::currentPath();
}

void removeFile(const QString& path) {
    QFile file(path);
    ClearFileError();
    if (!file.remove())
        throw ProgramError(FileErrorCode(file.error(), LastFileError()));
}

} // namespace

QString ProgramFolder() {
    const QString dir = executableFolder();
    return WithTrailingSeparator(dir.isEmpty() ? QDir::currentPath() : dir);
}

QString WithTrailingSeparator(const QString& dir) {
    // In the platform's own form: C:\Tools\Reminder\ on Windows, where the toolkit writes
    // forward slashes.
    const QString native = QDir::toNativeSeparators(dir);
    if (native.isEmpty() || native.endsWith(QLatin1Char('/')) || native.endsWith(QDir::separator()))
        return native;
    return native + QDir::separator();
}

bool FileExists(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

void DeleteTempFile(const QString& folder) {
    DeleteIfExists(folder + kTempFileName);
}

bool DeleteIfExists(const QString& path) {
    if (!FileExists(path))
        return false;
    removeFile(path);
    return true;
}

QStringList ListMessageFiles(const QString& folder) {
    // Case-sensitive: the program itself only ever writes ".tvr", and on a case-sensitive file
    // system "X.TVR" is not the file that saving "X" would replace.
    // Hidden too: a description that starts with a dot makes a name such as ".x.tvr", which is
    // still one of the saved messages. Only regular files (or links to them) are messages: a
    // link to a device passes QDir's own filter. Unsorted: QDir's own order would build a file
    // information record per entry only to be sorted again below.
    QStringList names;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.tvr")}, QDir::Files | QDir::Hidden | QDir::CaseSensitive,
                       QDir::Unsorted)) {
        if (QFileInfo(dir.filePath(name)).isFile())
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString TempLineText(const QString& priorDate, const QString& description) {
    return QStringLiteral("-Message dated ") + priorDate + QStringLiteral(" description: ") +
           description;
}

void AppendTempLine(const QString& folder, const QString& lineText) {
    // A cut line would make the old-message report fail: a failed append leaves "Temp" as it was.
    AppendToFile(folder + kTempFileName, EncodeFileText(QLatin1Char('"') + lineText +
                                                        QLatin1Char('"') + QStringLiteral("\r\n")));
}

QStringList ReadTempLines(const QString& folder) {
    QFile file(folder + kTempFileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(FileNotFound);
    const QByteArray bytes = file.readAll();
    file.close();
    return ParseTempLines(bytes);
}

QStringList ParseTempLines(const QByteArray& bytes) {
    FieldReader reader(DecodeFileText(bytes));
    QStringList lines;
    while (!reader.atEnd())
        lines.append(reader.readField());
    return lines;
}

} // namespace tavrel
