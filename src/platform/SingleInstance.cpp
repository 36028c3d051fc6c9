#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace tavrel {

struct SingleInstance::Held {
    explicit Held(const QString& path) : lock(path) {
        // A holder that no longer runs is detected by its pid; age alone never makes a lock
        // stale.
        lock.setStaleLockTime(0);
    }
    QLockFile lock;
};

SingleInstance::SingleInstance(QString name)
    : m_name(name.isEmpty() ? defaultLockPath() : std::move(name)),
      m_held(std::make_unique<Held>(m_name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire() {
    return m_held->lock.isLocked() || m_held->lock.tryLock(0);
}

void SingleInstance::release() {
    if (m_held->lock.isLocked())
        m_held->lock.unlock();
}

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString user = qEnvironmentVariable("USER", QStringLiteral("user"));
    return QDir(dir).filePath(QStringLiteral("tavrel-%1.lock").arg(user));
}

} // namespace tavrel
