#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tavrel::test {

// A temporary program folder that is also the current directory while it lives, as the program
// expects of its own folder.
class TempProgramFolder {
public:
    explicit TempProgramFolder(bool enter = true);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    // The folder with a trailing separator, as ProgramFolder gives it.
    QString path() const;
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;
    QStringList entries() const;
    // What a name escaping the folder would leave beside it, at the root or in /etc. (The
    // parent folder is shared with other processes, so only names of our kind are listed.)
    QStringList escapedEntries() const;

private:
    QTemporaryDir m_dir;
    QString m_previousCwd;
};

} // namespace tavrel::test
