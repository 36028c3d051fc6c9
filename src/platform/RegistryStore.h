#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace tavrel {

// A predefined root key handle (HKEY_CURRENT_USER = 0x80000001, ...); 0 means no root.
using RootKey = uint32_t;

// Win32 result codes the settings store reports; only recorded, never shown.
namespace RegResult {
constexpr long Success = 0;
constexpr long FileNotFound = 2;
constexpr long AccessDenied = 5;
constexpr long InvalidParameter = 87;
constexpr long MoreData = 234;
constexpr long UnsupportedType = 1630;
} // namespace RegResult

// The per-user key/value store beneath Registry: the few registry calls it relies on, without
// handles (each call opens, works and closes). Sub keys are written with backslashes.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // RegCreateKeyA: creates the key and any missing key above it; an existing key is fine.
    virtual long createKey(RootKey root, const QString& subKey) = 0;
    // RegOpenKeyExA: succeeds only for a key that exists (a root alone always exists).
    virtual long openKey(RootKey root, const QString& subKey) = 0;
    // RegQueryValueExA on a string value into a buffer of `bufferBytes` bytes, terminator
    // included: fails with MoreData when the value does not fit.
    virtual long queryString(RootKey root, const QString& subKey, const QString& name,
                             qsizetype bufferBytes, QString& value) = 0;
    // RegSetValueExA with REG_SZ on an existing key.
    virtual long setString(RootKey root, const QString& subKey, const QString& name,
                           const QString& value) = 0;
};

// The platform's own per-user store: the registry on Windows, a file elsewhere.
std::unique_ptr<RegistryStore> SystemRegistryStore();

} // namespace tavrel
