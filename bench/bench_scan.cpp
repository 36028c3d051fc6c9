// The start-up pass and the rescan over a folder of message files, beside the floor: listing the
// folder and reading the same files whole.
#include "BenchCommon.h"
#include "BenchFolder.h"
#include "Fakes.h"
#include "StartupAndRoutines.h"

namespace tavrel::bench {

namespace {

using test::FakeClock;
using test::FakeDialogs;
using test::FakeSound;
using test::RecordingMainWindow;

// The engine with fake dialogs that answer at once, a fake sound and a recording main window.
struct EngineRig {
    explicit EngineRig(const QString& folder)
        : engine(
              clock, dialogs, sound, benchDates(), folder,
              [this]() -> MainWindowPort& { return window; }, [] {}) {}
    FakeClock clock{QDateTime(benchToday(), QTime(10, 0))};
    FakeDialogs dialogs;
    FakeSound sound;
    RecordingMainWindow window;
    StartupAndRoutines engine;
};

void BM_Floor_ListAndRead(benchmark::State& state) {
    const int n = int(state.range(0));
    const BenchFolder& folder = BenchFolder::withMessages(n);
    folder.enter();
    for (auto _ : state)
        benchmark::DoNotOptimize(ListAndReadAll(folder.path()));
    CountPerFile(state, n);
}

void BM_Startup_Main(benchmark::State& state) {
    const int n = int(state.range(0));
    const BenchFolder& folder = BenchFolder::withMessages(n);
    folder.enter();
    for (auto _ : state) {
        EngineRig rig(folder.path());
        if (rig.engine.Main(false) != StartupAndRoutines::MainResult::Running ||
            rig.window.savedMessages.size() != n) {
            state.SkipWithError("the start-up pass failed");
            break;
        }
    }
    CountPerFile(state, n);
}

void BM_RebuildTimerFile(benchmark::State& state) {
    const int n = int(state.range(0));
    const BenchFolder& folder = BenchFolder::withMessages(n);
    folder.enter();
    EngineRig rig(folder.path());
    for (auto _ : state)
        rig.engine.RebuildTimerFile();
    if (rig.engine.timerEntryCount != n / 100 || !rig.dialogs.boxes.isEmpty())
        state.SkipWithError("the rescan did not register the timed messages");
    CountPerFile(state, n);
}

} // namespace

BENCHMARK(BM_Floor_ListAndRead)->Apply(MessageCounts);
BENCHMARK(BM_Startup_Main)->Apply(MessageCounts);
BENCHMARK(BM_RebuildTimerFile)->Apply(MessageCounts);

} // namespace tavrel::bench
