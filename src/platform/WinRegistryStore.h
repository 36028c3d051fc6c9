#pragma once

#include "RegistryStore.h"

namespace tavrel {

// The Windows registry itself, through the ANSI calls of advapi32 with REG_SZ values. Each call
// opens the key, works and closes it again, as the settings wrapper does.
class WinRegistryStore final : public RegistryStore {
public:
    WinRegistryStore() = default;
    Q_DISABLE_COPY_MOVE(WinRegistryStore)

    long createKey(RootKey root, const QString& subKey) override;
    long openKey(RootKey root, const QString& subKey) override;
    long queryString(RootKey root, const QString& subKey, const QString& name,
                     qsizetype bufferBytes, QString& value) override;
    long setString(RootKey root, const QString& subKey, const QString& name,
                   const QString& value) override;
};

} // namespace tavrel
