#include "WinRegistryStore.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

#include <windows.h>

namespace tavrel {

namespace {

// The predefined handles are the root numbers sign-extended to a pointer.
HKEY rootHandle(RootKey root) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

// Texts cross in the ANSI code page, as the program's A calls hand them over.
QByteArray ansi(const QString& text) {
    return text.toLocal8Bit();
}

// An open key, closed when it goes out of scope.
class OpenKey {
public:
    OpenKey(RootKey root, const QString& subKey, REGSAM access) {
        m_result = RegOpenKeyExA(rootHandle(root), ansi(subKey).constData(), 0, access, &m_key);
    }
    ~OpenKey() {
        if (m_result == ERROR_SUCCESS)
            RegCloseKey(m_key);
    }
    Q_DISABLE_COPY_MOVE(OpenKey)

    long result() const { return m_result; }
    HKEY key() const { return m_key; }

private:
    HKEY m_key = nullptr;
    long m_result = ERROR_INVALID_HANDLE;
};

} // namespace

std::unique_ptr<RegistryStore> SystemRegistryStore() {
    return std::make_unique<WinRegistryStore>();
}

long WinRegistryStore::createKey(RootKey root, const QString& subKey) {
    HKEY key = nullptr;
    const long result = RegCreateKeyA(rootHandle(root), ansi(subKey).constData(), &key);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return result;
}

long WinRegistryStore::openKey(RootKey root, const QString& subKey) {
    return OpenKey(root, subKey, KEY_READ).result();
}

long WinRegistryStore::queryString(RootKey root, const QString& subKey, const QString& name,
                                   qsizetype bufferBytes, QString& value) {
    const OpenKey key(root, subKey, KEY_READ);
    if (key.result() != ERROR_SUCCESS)
        return key.result();
    std::vector<char> buffer(static_cast<size_t>(bufferBytes) + 1, '\0');
    DWORD type = REG_SZ;
    auto count = static_cast<DWORD>(bufferBytes);
    const long result = RegQueryValueExA(key.key(), ansi(name).constData(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &count);
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return RegResult::UnsupportedType;
    // The value ends at its terminator; a value stored without one ends at the byte count.
    value = QString::fromLocal8Bit(buffer.data(), qstrnlen(buffer.data(), count));
    return ERROR_SUCCESS;
}

long WinRegistryStore::setString(RootKey root, const QString& subKey, const QString& name,
                                 const QString& value) {
    const OpenKey key(root, subKey, KEY_WRITE);
    if (key.result() != ERROR_SUCCESS)
        return key.result();
    const QByteArray bytes = ansi(value);
    // REG_SZ is stored with its terminator.
    return RegSetValueExA(key.key(), ansi(name).constData(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(bytes.constData()),
                          static_cast<DWORD>(bytes.size() + 1));
}

} // namespace tavrel
