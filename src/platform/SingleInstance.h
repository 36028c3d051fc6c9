#pragma once

#include <QString>
#include <memory>

namespace tavrel {

// One running copy per user. On Windows a named mutex in the user's session; elsewhere a lock
// file in the user's runtime folder. Either is let go by the system when its holder dies, so a
// copy that was killed never blocks the next one.
class SingleInstance {
public:
    // `name` empty means the per-user default: a lock file path, or on Windows a mutex name.
    explicit SingleInstance(QString name = {});
    ~SingleInstance();
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // True when this process now holds the lock; false when another live copy does.
    bool tryAcquire();
    // Lets the next copy start at once, before this process has quite gone.
    void release();
    static QString defaultLockPath();

private:
    struct Held;
    QString m_name;
    std::unique_ptr<Held> m_held;
};

} // namespace tavrel
