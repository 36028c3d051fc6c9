#include "SingleInstance.h"

#include <QCryptographicHash>

#include <windows.h>

namespace tavrel {

struct SingleInstance::Held {
    HANDLE mutex = nullptr;
};

namespace {

// "Local\" is the user's own session; a backslash may not follow it, so a name given as a path
// (tests hand in a file path) is reduced to a digest.
std::wstring mutexName(const QString& name) {
    QString tail = name;
    if (tail.contains(QLatin1Char('\\')) || tail.contains(QLatin1Char('/')))
        tail = QString::fromLatin1(
            QCryptographicHash::hash(tail.toUtf8(), QCryptographicHash::Sha1).toHex());
    return (QStringLiteral("Local\\") + tail).toStdWString();
}

} // namespace

SingleInstance::SingleInstance(QString name)
    : m_name(name.isEmpty() ? defaultLockPath() : std::move(name)),
      m_held(std::make_unique<Held>()) {}

SingleInstance::~SingleInstance() {
    release();
}

bool SingleInstance::tryAcquire() {
    if (m_held->mutex)
        return true;
    // The system closes the handle when the process ends, however it ends: the mutex then
    // disappears with its last handle, and the next copy creates it anew.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName(m_name).c_str());
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_held->mutex = mutex;
    return true;
}

void SingleInstance::release() {
    if (m_held->mutex) {
        CloseHandle(m_held->mutex);
        m_held->mutex = nullptr;
    }
}

QString SingleInstance::defaultLockPath() {
    // For the same user: each user's copy has its own name, also across sessions on one machine.
    return QStringLiteral("Tavrel-") + qEnvironmentVariable("USERNAME", QStringLiteral("user"));
}

} // namespace tavrel
