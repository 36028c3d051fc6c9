// A whole save in the composer, from cmdSaveMessage_Click through the rescan, with the saved-
// messages list holding one entry per file as after the start-up pass.
#include "BenchCommon.h"
#include "BenchFolder.h"
#include "ComposerFixture.h"

#include <QDir>
#include <map>

namespace tavrel::bench {

namespace {

using test::ComposerFixture;

std::map<int, std::unique_ptr<ComposerFixture>>& composers() {
    static std::map<int, std::unique_ptr<ComposerFixture>> made;
    return made;
}

// A composer whose start-up pass went over `count` message files, kept for the whole run.
ComposerFixture& composerWith(int count) {
    std::unique_ptr<ComposerFixture>& fixture = composers()[count];
    if (!fixture) {
        fixture = std::make_unique<ComposerFixture>(QDateTime(benchToday(), QTime(10, 0)));
        WriteMessageMix(fixture->folder.path(), count);
        fixture->engine->Main(false);
        fixture->compose(QStringLiteral("Bench save"), QStringLiteral("Pick up the parcel"), 10);
    }
    QDir::setCurrent(fixture->folder.path());
    return *fixture;
}

void BM_Save_cmdSaveMessage_Click(benchmark::State& state) {
    const int n = int(state.range(0));
    ComposerFixture& fixture = composerWith(n);
    for (auto _ : state) {
        // Only the overwrite question after the first save; the fake answers OK.
        fixture.dialogs.boxes.clear();
        fixture.log.events.clear();
        fixture.window->cmdSaveMessage_Click();
    }
    for (const test::ShownBox& box : fixture.dialogs.boxes)
        if (box.title != QStringLiteral("Be careful..."))
            state.SkipWithError(qPrintable(QStringLiteral("unexpected box: ") + box.text));
    if (fixture.listEntries().size() != n + 1)
        state.SkipWithError("the saved-messages list is wrong");
    CountPerFile(state, n);
}

} // namespace

void ReleaseComposers() {
    composers().clear();
}

BENCHMARK(BM_Save_cmdSaveMessage_Click)->Apply(MessageCounts);

} // namespace tavrel::bench
