#include "Registry.h"

#include "Dialogs.h"

#include <array>
#include <utility>

namespace tavrel {

namespace {

struct RootName {
    const char* name;
    RootKey handle;
};

constexpr std::array<RootName, 7> kRoots{{
    {"HKEY_CLASSES_ROOT", 0x80000000},
    {"HKEY_CURRENT_USER", 0x80000001},
    {"HKEY_LOCAL_MACHINE", 0x80000002},
    {"HKEY_USERS", 0x80000003},
    {"HKEY_PERFORMANCE_DATA", 0x80000004},
    {"HKEY_CURRENT_CONFIG", 0x80000005},
    {"HKEY_DYN_DATA", 0x80000006},
}};

// Blanks only, as the registry buffer is padded with them; tabs and the like stay.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

Registry::Registry(Dialogs& dialogs, std::unique_ptr<RegistryStore> store)
    : m_dialogs(dialogs), m_store(store ? std::move(store) : SystemRegistryStore()) {}

Registry::~Registry() = default;

RootKey Registry::RootKeyHandle(const QString& rootName) {
    for (const RootName& root : kRoots) {
        if (rootName == QLatin1String(root.name))
            return root.handle;
    }
    return 0;
}

RootKey Registry::SplitKeyPath(QString& keyPath) {
    if (!keyPath.startsWith(QLatin1String("HKEY_")) || keyPath.endsWith(QLatin1Char('\\'))) {
        m_dialogs.messageBox(QStringLiteral("Incorrect Format:\n\n") + keyPath, QString(), MB::OK);
        m_lastRoot = 0;
        return 0;
    }
    const qsizetype slash = keyPath.indexOf(QLatin1Char('\\'));
    if (slash < 0) {
        m_lastRoot = RootKeyHandle(keyPath);
        keyPath.clear();
    } else {
        m_lastRoot = RootKeyHandle(keyPath.left(slash));
        keyPath = keyPath.mid(slash + 1);
    }
    return m_lastRoot;
}

void Registry::CreateKey(QString keyPath) {
    const RootKey root = SplitKeyPath(keyPath);
    if (root != 0)
        m_lastResult = m_store->createKey(root, keyPath);
}

QString Registry::ReadStringValue(QString keyPath, const QString& valueName) {
    const RootKey root = SplitKeyPath(keyPath);
    if (root == 0)
        return QString();
    m_lastResult = m_store->openKey(root, keyPath);
    if (m_lastResult != RegResult::Success)
        return kReadError;
    QString value;
    m_lastResult = m_store->queryString(root, keyPath, valueName, kBufferBytes, value);
    if (m_lastResult != RegResult::Success)
        return kReadError;
    // The buffer holds the value, its terminator and blank padding: trimming keeps the
    // terminator last, and dropping it leaves the value without its leading blanks.
    QString buffer = value + QChar(u'\0');
    buffer += QString(kBufferBytes - buffer.size(), QLatin1Char(' '));
    buffer = trimBlanks(buffer);
    buffer.chop(1);
    return buffer;
}

void Registry::WriteStringValue(QString keyPath, const QString& valueName, const QString& value) {
    const RootKey root = SplitKeyPath(keyPath);
    if (root == 0)
        return;
    m_lastResult = m_store->openKey(root, keyPath);
    if (m_lastResult != RegResult::Success)
        return;
    m_lastResult = m_store->setString(root, keyPath, valueName, value);
}

} // namespace tavrel
