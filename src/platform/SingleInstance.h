#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace tavrel {

// One running copy per user. A lock file in the user's runtime folder; a lock left behind by a
// killed copy is stale and taken over.
class SingleInstance {
public:
    // `lockPath` empty means the per-user default.
    explicit SingleInstance(QString lockPath = {});
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // True when this process now holds the lock; false when another live copy does.
    bool tryAcquire();
    // Lets the next copy start at once, before this process has quite gone.
    void release();
    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tavrel
