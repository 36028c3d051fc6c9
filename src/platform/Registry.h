#pragma once

#include "RegistryStore.h"

#include <QString>
#include <memory>

namespace tavrel {

class Dialogs;

// The program's settings key; callers hand a copy of it to every operation.
inline const QString kSettingsKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Kestrane\\Tavrel");

// The settings wrapper: key paths written as text ("HKEY_CURRENT_USER\Software\..."), string
// values only. Failures are silent; a read that fails yields "Error", which no caller can convert.
class Registry {
public:
    // `store` null means the platform's own per-user store.
    explicit Registry(Dialogs& dialogs, std::unique_ptr<RegistryStore> store = nullptr);
    ~Registry();
    Q_DISABLE_COPY_MOVE(Registry)

    // The predefined handle for a root name (exact, case-sensitive), or 0.
    static RootKey RootKeyHandle(const QString& rootName);
    // Resolves the root of `keyPath` and rewrites it to the sub key. A path that does not start
    // with "HKEY_" or ends in a backslash is refused with the "Incorrect Format:" box and left as
    // it was; the result is then 0.
    RootKey SplitKeyPath(QString& keyPath);

    void CreateKey(QString keyPath);
    QString ReadStringValue(QString keyPath, const QString& valueName);
    void WriteStringValue(QString keyPath, const QString& valueName, const QString& value);

    // The result code of the last store call (0 for success); never reported to the user.
    long lastResult() const { return m_lastResult; }
    RootKey lastRoot() const { return m_lastRoot; }

    // The read buffer: 255 bytes with the terminator, so 254 characters at most.
    static constexpr qsizetype kBufferBytes = 255;
    static inline const QString kReadError = QStringLiteral("Error");

private:
    Dialogs& m_dialogs;
    std::unique_ptr<RegistryStore> m_store;
    RootKey m_lastRoot = 0;
    long m_lastResult = 0;
};

} // namespace tavrel
