#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// In a test function: skips the test, saying why, where no private tmpfs can be mounted.
#define TMPFS_OR_SKIP(fs)                                                                          \
    if (!(fs).usable())                                                                            \
    QSKIP(qPrintable(QStringLiteral("no private tmpfs here (%1)").arg((fs).whyNot())))

namespace tavrel::test {

// A small tmpfs of its own, mounted in a private mount namespace of the calling thread, so that
// a real full disk or a real read-only folder can be made without touching the machine. While
// it lives it is also the current directory, as the program expects of its own folder.
// Needs root (or CAP_SYS_ADMIN); usable() says why not where it is refused.
class PrivateTmpfs {
public:
    // Mounts over `over` (an existing folder, such as a fixture's program folder) when given,
    // otherwise over a temporary folder of its own.
    explicit PrivateTmpfs(qint64 sizeBytes, const QString& over = {});
    ~PrivateTmpfs();
    PrivateTmpfs(const PrivateTmpfs&) = delete;
    PrivateTmpfs& operator=(const PrivateTmpfs&) = delete;

    bool usable() const { return m_mounted; }
    const QString& whyNot() const { return m_whyNot; }

    // The folder with a trailing separator, as ProgramFolder gives it.
    QString path() const { return m_mountPoint + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    // Fills every free block with a file of this name; returns the bytes it took.
    qint64 fill(const QString& name) const;
    // Makes the whole file system read-only (writes then fail with EROFS).
    bool remountReadOnly();
    QByteArray read(const QString& name) const;
    QStringList entries() const;

private:
    QTemporaryDir m_dir;
    QString m_mountPoint;
    QString m_previousCwd;
    bool m_mounted = false;
    QString m_whyNot;
};

} // namespace tavrel::test
