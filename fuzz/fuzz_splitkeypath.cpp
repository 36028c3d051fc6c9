// The settings wrapper's key paths: a refused path is left as it was with one "Incorrect
// Format:" box; an accepted one splits into its root's name and the rest, nothing lost.
#include "Dialogs.h"
#include "FuzzCheck.h"
#include "Registry.h"
#include "RegistryStore.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace tavrel;

namespace {

struct CountingDialogs final : Dialogs {
    int boxes = 0;
    QString last;
    int messageBox(const QString& text, const QString&, uint32_t) override {
        ++boxes;
        last = text;
        return IDOK;
    }
    void beep() override {}
};

// Nothing is stored: only the splitting is under test.
struct NullStore final : RegistryStore {
    long createKey(RootKey, const QString&) override { return RegResult::Success; }
    long openKey(RootKey, const QString&) override { return RegResult::Success; }
    long queryString(RootKey, const QString&, const QString&, qsizetype, QString&) override {
        return RegResult::FileNotFound;
    }
    long setString(RootKey, const QString&, const QString&, const QString&) override {
        return RegResult::Success;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString original =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CountingDialogs dialogs;
    Registry registry(dialogs, std::make_unique<NullStore>());
    QString path = original;
    const RootKey root = registry.SplitKeyPath(path);

    const bool wellFormed =
        original.startsWith(QLatin1String("HKEY_")) && !original.endsWith(QLatin1Char('\\'));
    if (!wellFormed) {
        FUZZ_CHECK(root == 0);
        FUZZ_CHECK(path == original);
        FUZZ_CHECK(dialogs.boxes == 1);
        FUZZ_CHECK(dialogs.last.endsWith(original));
        return 0;
    }
    FUZZ_CHECK(dialogs.boxes == 0);
    const qsizetype slash = original.indexOf(QLatin1Char('\\'));
    const QString rootName = slash < 0 ? original : original.left(slash);
    FUZZ_CHECK(root == Registry::RootKeyHandle(rootName));
    FUZZ_CHECK(slash < 0 ? path.isEmpty() : rootName + QLatin1Char('\\') + path == original);
    FUZZ_CHECK(registry.lastRoot() == root);
    // The whole operation on a store that keeps nothing: no box beyond the split's.
    registry.WriteStringValue(original, QStringLiteral("Top"), QStringLiteral("1080"));
    FUZZ_CHECK(registry.ReadStringValue(original, QStringLiteral("Top")) ==
               (root == 0 ? QString() : Registry::kReadError));
    FUZZ_CHECK(dialogs.boxes == 0);
    return 0;
}
