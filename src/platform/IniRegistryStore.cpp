#include "IniRegistryStore.h"

#include "Registry.h"

#include <QStandardPaths>
#include <QStringList>

namespace tavrel {

namespace {

const QString kKeysEntry = QStringLiteral("Keys");

QString rootName(RootKey root) {
    switch (root) {
    case 0x80000000:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case 0x80000001:
        return QStringLiteral("HKEY_CURRENT_USER");
    case 0x80000002:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case 0x80000003:
        return QStringLiteral("HKEY_USERS");
    case 0x80000004:
        return QStringLiteral("HKEY_PERFORMANCE_DATA");
    case 0x80000005:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    case 0x80000006:
        return QStringLiteral("HKEY_DYN_DATA");
    default:
        return QString();
    }
}

} // namespace

IniRegistryStore::IniRegistryStore(const QString& path) : m_settings(path, QSettings::IniFormat) {}

QString IniRegistryStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kestrane/Tavrel.ini");
}

QString IniRegistryStore::group(RootKey root, const QString& subKey) {
    QString result = rootName(root);
    if (result.isEmpty() || subKey.isEmpty())
        return result;
    for (const QString& part : subKey.split(QLatin1Char('\\'))) {
        if (part.isEmpty() || part.contains(QLatin1Char('/')))
            return QString();
        result += QLatin1Char('/') + part;
    }
    return result;
}

bool IniRegistryStore::validValueName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool IniRegistryStore::keyExists(const QString& group) {
    if (!group.contains(QLatin1Char('/')))
        return true; // a root
    if (m_settings.value(kKeysEntry).toStringList().contains(group))
        return true;
    // A key written into the file by hand, with values or sub keys, exists as well.
    m_settings.beginGroup(group);
    const bool filled = !m_settings.allKeys().isEmpty();
    m_settings.endGroup();
    return filled;
}

long IniRegistryStore::syncResult() {
    m_settings.sync();
    return m_settings.status() == QSettings::NoError ? RegResult::Success : RegResult::AccessDenied;
}

long IniRegistryStore::createKey(RootKey root, const QString& subKey) {
    const QString g = group(root, subKey);
    if (g.isEmpty())
        return RegResult::InvalidParameter;
    QStringList keys = m_settings.value(kKeysEntry).toStringList();
    const qsizetype before = keys.size();
    // Every key along the path comes into being, as with the registry.
    for (qsizetype slash = g.indexOf(QLatin1Char('/')); slash >= 0;
         slash = g.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString parent = g.left(slash);
        if (parent.contains(QLatin1Char('/')) && !keys.contains(parent))
            keys.append(parent);
    }
    if (g.contains(QLatin1Char('/')) && !keys.contains(g))
        keys.append(g);
    if (keys.size() == before)
        return RegResult::Success;
    m_settings.setValue(kKeysEntry, keys);
    return syncResult();
}

long IniRegistryStore::openKey(RootKey root, const QString& subKey) {
    const QString g = group(root, subKey);
    if (g.isEmpty())
        return RegResult::InvalidParameter;
    return keyExists(g) ? RegResult::Success : RegResult::FileNotFound;
}

long IniRegistryStore::queryString(RootKey root, const QString& subKey, const QString& name,
                                   qsizetype bufferBytes, QString& value) {
    const QString g = group(root, subKey);
    if (g.isEmpty() || !validValueName(name))
        return RegResult::InvalidParameter;
    const QVariant stored = m_settings.value(g + QLatin1Char('/') + name);
    if (!stored.isValid())
        return RegResult::FileNotFound;
    // A hand-edited entry such as a, b reads back as a list: no string value.
    if (stored.typeId() != QMetaType::QString)
        return RegResult::UnsupportedType;
    const QString text = stored.toString();
    if (text.toLocal8Bit().size() + 1 > bufferBytes)
        return RegResult::MoreData;
    value = text;
    return RegResult::Success;
}

long IniRegistryStore::setString(RootKey root, const QString& subKey, const QString& name,
                                 const QString& value) {
    const QString g = group(root, subKey);
    if (g.isEmpty() || !validValueName(name))
        return RegResult::InvalidParameter;
    if (!keyExists(g))
        return RegResult::FileNotFound;
    m_settings.setValue(g + QLatin1Char('/') + name, value);
    return syncResult();
}

} // namespace tavrel
