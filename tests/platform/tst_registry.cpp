#include "Fakes.h"
#include "IniRegistryStore.h"
#include "Registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include "WinRegistryStore.h"

#include <windows.h>
#endif

using namespace tavrel;
using namespace tavrel::test;

namespace {

#ifdef Q_OS_WIN
// On Windows the cases run against the registry itself (in the test run's own wine prefix), on
// the settings key and the values named below, which each case first removes.
std::unique_ptr<RegistryStore> innerStore(const QString&) {
    return std::make_unique<WinRegistryStore>();
}
const QString kRootAlone = QStringLiteral("HKEY_CURRENT_USER");

void removeTestValues() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kestrane");
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE, &software) == ERROR_SUCCESS) {
        RegDeleteValueA(software, "A");
        RegCloseKey(software);
    }
    RegDeleteValueA(HKEY_CURRENT_USER, "B");
}

bool nothingStored(const QString&) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrane", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    RegCloseKey(key);
    return false;
}
#else
std::unique_ptr<RegistryStore> innerStore(const QString& iniPath) {
    return std::make_unique<IniRegistryStore>(iniPath);
}
const QString kRootAlone = QStringLiteral("HKEY_USERS");

bool nothingStored(const QString& iniPath) {
    return !QFile::exists(iniPath);
}
#endif

// Counts the calls that reach the store, to show that refused paths never touch it.
class CountingStore final : public RegistryStore {
public:
    explicit CountingStore(const QString& path) : m_inner(innerStore(path)) {}
    long createKey(RootKey root, const QString& subKey) override {
        ++calls;
        return m_inner->createKey(root, subKey);
    }
    long openKey(RootKey root, const QString& subKey) override {
        ++calls;
        return m_inner->openKey(root, subKey);
    }
    long queryString(RootKey root, const QString& subKey, const QString& name, qsizetype bytes,
                     QString& value) override {
        ++calls;
        return m_inner->queryString(root, subKey, name, bytes, value);
    }
    long setString(RootKey root, const QString& subKey, const QString& name,
                   const QString& value) override {
        ++calls;
        return m_inner->setString(root, subKey, name, value);
    }
    int calls = 0;

private:
    std::unique_ptr<RegistryStore> m_inner;
};

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    CountingStore* m_store = nullptr;
    std::unique_ptr<Registry> m_registry;

    QString iniPath() const { return m_dir.filePath(QStringLiteral("Tavrel.ini")); }
    void reopen() {
        auto store = std::make_unique<CountingStore>(iniPath());
        m_store = store.get();
        m_registry = std::make_unique<Registry>(m_dialogs, std::move(store));
    }

private slots:
    void initTestCase() {
#ifdef Q_OS_WIN
        // The cases remove the program's settings key: only in a registry kept for tests.
        if (qEnvironmentVariable("TAVREL_TEST_REAL_REGISTRY") != QLatin1String("1"))
            QSKIP("set TAVREL_TEST_REAL_REGISTRY=1 in a registry whose Tavrel settings may go");
#endif
    }

    void init() {
        QFile::remove(iniPath());
#ifdef Q_OS_WIN
        removeTestValues();
#endif
        m_dialogs.boxes.clear();
        reopen();
    }

    void rootKeyHandle_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("handle");
        QTest::newRow("classes") << "HKEY_CLASSES_ROOT" << 0x80000000u;
        QTest::newRow("user") << "HKEY_CURRENT_USER" << 0x80000001u;
        QTest::newRow("machine") << "HKEY_LOCAL_MACHINE" << 0x80000002u;
        QTest::newRow("users") << "HKEY_USERS" << 0x80000003u;
        QTest::newRow("performance") << "HKEY_PERFORMANCE_DATA" << 0x80000004u;
        QTest::newRow("config") << "HKEY_CURRENT_CONFIG" << 0x80000005u;
        QTest::newRow("dyn") << "HKEY_DYN_DATA" << 0x80000006u;
        QTest::newRow("lower case") << "HKEY_current_user" << 0u;
        QTest::newRow("trailing blank") << "HKEY_USERS " << 0u;
        QTest::newRow("empty") << "" << 0u;
    }
    void rootKeyHandle() {
        QFETCH(QString, name);
        QFETCH(uint, handle);
        QCOMPARE(Registry::RootKeyHandle(name), handle);
    }

    void splitKeyPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<uint>("root");
        QTest::addColumn<QString>("subKey");
        QTest::addColumn<bool>("refused");
        QTest::newRow("settings key") << "HKEY_CURRENT_USER\\Software\\Kestrane\\Tavrel"
                                      << 0x80000001u << "Software\\Kestrane\\Tavrel" << false;
        QTest::newRow("root alone") << "HKEY_USERS" << 0x80000003u << "" << false;
        QTest::newRow("lower-case root")
            << "HKEY_current_user\\Software" << 0u << "Software" << false;
        QTest::newRow("unknown root") << "HKEY_NOWHERE\\A" << 0u << "A" << false;
        QTest::newRow("trailing backslash")
            << "HKEY_CURRENT_USER\\" << 0u << "HKEY_CURRENT_USER\\" << true;
        QTest::newRow("no HKEY_") << "Software\\Kestrane" << 0u << "Software\\Kestrane" << true;
        QTest::newRow("empty") << "" << 0u << "" << true;
        QTest::newRow("lower-case prefix") << "hkey_users" << 0u << "hkey_users" << true;
    }
    void splitKeyPath() {
        QFETCH(QString, path);
        QFETCH(uint, root);
        QFETCH(QString, subKey);
        QFETCH(bool, refused);
        QString rewritten = path;
        QCOMPARE(m_registry->SplitKeyPath(rewritten), root);
        QCOMPARE(rewritten, subKey);
        if (refused) {
            QCOMPARE(m_dialogs.boxes.size(), 1);
            QCOMPARE(m_dialogs.boxes[0].text, QStringLiteral("Incorrect Format:\n\n") + path);
            QCOMPARE(m_dialogs.boxes[0].title, QStringLiteral("Tavrel"));
            QCOMPARE(m_dialogs.boxes[0].style, MB::OK);
        } else {
            QVERIFY(m_dialogs.boxes.isEmpty());
        }
    }

    // A refused path or an unknown root never reaches the store; a read then yields "".
    void noStoreCallWithoutRoot_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("boxes");
        QTest::newRow("trailing backslash") << "HKEY_CURRENT_USER\\" << 3;
        QTest::newRow("no HKEY_") << "Software\\Kestrane" << 3;
        QTest::newRow("lower-case root") << "HKEY_current_user\\Software\\Kestrane" << 0;
    }
    void noStoreCallWithoutRoot() {
        QFETCH(QString, path);
        QFETCH(int, boxes);
        m_registry->CreateKey(path);
        m_registry->WriteStringValue(path, QStringLiteral("Top"), QStringLiteral("1"));
        QCOMPARE(m_registry->ReadStringValue(path, QStringLiteral("Top")), QString());
        QCOMPARE(m_store->calls, 0);
        QCOMPARE(m_dialogs.boxes.size(), boxes);
        QVERIFY(nothingStored(iniPath()));
    }

    void readAndWrite_data() {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::newRow("number") << "1080"
                                << "1080";
        QTest::newRow("leading blanks dropped") << "  7"
                                                << "7";
        QTest::newRow("trailing blanks kept") << "7  "
                                              << "7  ";
        QTest::newRow("blanks only") << "   "
                                     << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("True") << "True"
                              << "True";
        QTest::newRow("254 characters") << QString(254, QLatin1Char('x')) << QString(254, 'x');
        QTest::newRow("255 characters") << QString(255, QLatin1Char('x')) << "Error";
        QTest::newRow("comma") << "1, 2"
                               << "1, 2";
    }
    void readAndWrite() {
        QFETCH(QString, written);
        QFETCH(QString, read);
        m_registry->CreateKey(kSettingsKey);
        m_registry->WriteStringValue(kSettingsKey, QStringLiteral("Top"), written);
        QCOMPARE(m_registry->lastResult(), RegResult::Success);
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("Top")), read);
        // The same after a restart of the program.
        reopen();
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("Top")), read);
        QVERIFY(m_dialogs.boxes.isEmpty());
    }

    void missingReadsError() {
        // Key never created: the read fails, the write does nothing and creates nothing.
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("Startup")),
                 QStringLiteral("Error"));
        m_registry->WriteStringValue(kSettingsKey, QStringLiteral("Startup"),
                                     QStringLiteral("True"));
        QCOMPARE(m_registry->lastResult(), RegResult::FileNotFound);
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("Startup")),
                 QStringLiteral("Error"));
        QVERIFY(nothingStored(iniPath()));

        // Key created, value never written.
        m_registry->CreateKey(kSettingsKey);
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("Startup")),
                 QStringLiteral("Error"));
        // Keys above a created key exist too; keys below it do not.
        m_registry->WriteStringValue(QStringLiteral("HKEY_CURRENT_USER\\Software"),
                                     QStringLiteral("A"), QStringLiteral("1"));
        QCOMPARE(m_registry->ReadStringValue(QStringLiteral("HKEY_CURRENT_USER\\Software"),
                                             QStringLiteral("A")),
                 QStringLiteral("1"));
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey + QStringLiteral("\\Deeper"),
                                             QStringLiteral("A")),
                 QStringLiteral("Error"));
        // A root alone always opens.
        m_registry->WriteStringValue(kRootAlone, QStringLiteral("B"), QStringLiteral("2"));
        QCOMPARE(m_registry->ReadStringValue(kRootAlone, QStringLiteral("B")), QStringLiteral("2"));
        // Value names differ from other keys' values.
        QCOMPARE(m_registry->ReadStringValue(kSettingsKey, QStringLiteral("A")),
                 QStringLiteral("Error"));
        QVERIFY(m_dialogs.boxes.isEmpty());
    }

#ifdef Q_OS_WIN
    // What another program (regedit, reg query) finds: a REG_SZ value under the settings key.
    void registryKeepsTheKeyPath() {
        m_registry->CreateKey(kSettingsKey);
        m_registry->WriteStringValue(kSettingsKey, QStringLiteral("Left"), QStringLiteral("2925"));
        char data[16] = {};
        DWORD size = sizeof data;
        DWORD type = 0;
        QCOMPARE(RegGetValueA(HKEY_CURRENT_USER, "Software\\Kestrane\\Tavrel", "Left", RRF_RT_ANY,
                              &type, data, &size),
                 long(ERROR_SUCCESS));
        QCOMPARE(type, DWORD(REG_SZ));
        QCOMPARE(QByteArray(data), QByteArray("2925"));
        QCOMPARE(size, DWORD(5));
    }
#else
    void fileKeepsTheKeyPath() {
        m_registry->CreateKey(kSettingsKey);
        m_registry->WriteStringValue(kSettingsKey, QStringLiteral("Left"), QStringLiteral("2925"));
        QSettings raw(iniPath(), QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("HKEY_CURRENT_USER/Software/Kestrane/Tavrel/Left")),
                 QVariant(QStringLiteral("2925")));
    }

    void unwritableFileIsSilent() {
        // The file's folder is a plain file: nothing can be stored, nothing is shown.
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        FakeDialogs dialogs;
        Registry registry(dialogs, std::make_unique<IniRegistryStore>(
                                       m_dir.filePath(QStringLiteral("blocker/Tavrel.ini"))));
        registry.CreateKey(kSettingsKey);
        QVERIFY(registry.lastResult() != RegResult::Success);
        QVERIFY(dialogs.boxes.isEmpty());
    }

    void defaultPathFollowsXdgConfigHome() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        QCOMPARE(IniRegistryStore::defaultPath(),
                 m_dir.path() + QStringLiteral("/Kestrane/Tavrel.ini"));
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(IniRegistryStore::defaultPath().endsWith(
            QStringLiteral("/.config/Kestrane/Tavrel.ini")));
        if (!saved.isNull())
            qputenv("XDG_CONFIG_HOME", saved);
    }
#endif
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
