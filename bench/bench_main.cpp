// Runs the benchmarks inside a widget application on the offscreen platform, so that the
// composer and the date picker can be built without a display.
#include "BenchCommon.h"
#include "BenchFolder.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    tavrel::bench::ReleaseComposers();
    tavrel::bench::ReleaseFolders();
    return 0;
}
