#include "SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace tavrel {

SingleInstance::SingleInstance(QString lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath.isEmpty() ? defaultLockPath() : lockPath)) {
    // A holder that no longer runs is detected by its pid; age alone never makes a lock stale.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::tryAcquire() {
    return m_lock->isLocked() || m_lock->tryLock(0);
}

void SingleInstance::release() {
    if (m_lock->isLocked())
        m_lock->unlock();
}

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    return QDir(dir).filePath(QStringLiteral("tavrel-%1.lock").arg(user));
}

} // namespace tavrel
