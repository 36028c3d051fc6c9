#pragma once

#include "RegistryStore.h"

#include <QSettings>

namespace tavrel {

// The registry off Windows: one per-user INI file holding the same key paths, value names and
// string values. The root name is the file's first group level, so
// "HKEY_CURRENT_USER\Software\Kestrane\Tavrel" value "Top" lives at
// HKEY_CURRENT_USER/Software/Kestrane/Tavrel/Top. Keys made by createKey are listed under
// "Keys", so that a key exists from its creation on, before it holds any value.
class IniRegistryStore final : public RegistryStore {
public:
    explicit IniRegistryStore(const QString& path);
    Q_DISABLE_COPY_MOVE(IniRegistryStore)

    // $XDG_CONFIG_HOME (default ~/.config) + "/Kestrane/Tavrel.ini".
    static QString defaultPath();
    QString path() const { return m_settings.fileName(); }

    long createKey(RootKey root, const QString& subKey) override;
    long openKey(RootKey root, const QString& subKey) override;
    long queryString(RootKey root, const QString& subKey, const QString& name,
                     qsizetype bufferBytes, QString& value) override;
    long setString(RootKey root, const QString& subKey, const QString& name,
                   const QString& value) override;

private:
    // "ROOT/a/b" for root and sub key "a\b"; empty when a part is empty or holds a slash.
    static QString group(RootKey root, const QString& subKey);
    static bool validValueName(const QString& name);
    bool keyExists(const QString& group);
    long syncResult();

    QSettings m_settings;
};

} // namespace tavrel
