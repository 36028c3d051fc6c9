// One message file read and written, beside plain reading and writing of the same bytes; one
// full painting of the date picker's month.
#include "BenchCommon.h"
#include "BenchFolder.h"
#include "Fakes.h"
#include "MessageFile.h"
#include "frmCalendar.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace tavrel::bench {

namespace {

const QString kName = QStringLiteral("Message 00004.tvr");

void BM_ReadMessageFile(benchmark::State& state) {
    BenchFolder::withMessages(100).enter();
    MessageRecord record;
    for (auto _ : state)
        ReadMessageFile(kName, record);
    benchmark::DoNotOptimize(record);
}

void BM_Floor_ReadFile(benchmark::State& state) {
    BenchFolder::withMessages(100).enter();
    for (auto _ : state) {
        QFile file(kName);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
    }
}

void BM_WriteMessageFile(benchmark::State& state) {
    const BenchFolder& folder = BenchFolder::withMessages(100);
    MessageRecord record;
    ReadMessageFile(folder.path() + kName, record);
    const QString path = folder.path() + QStringLiteral("Written.tvr");
    for (auto _ : state)
        WriteMessageFile(path, record);
    QFile::remove(path);
}

void BM_Floor_WriteFile(benchmark::State& state) {
    const BenchFolder& folder = BenchFolder::withMessages(100);
    MessageRecord record;
    ReadMessageFile(folder.path() + kName, record);
    const QString path = folder.path() + QStringLiteral("Written.tvr");
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(EncodeMessageRecord(record));
    }
    QFile::remove(path);
}

void BM_PaintPicMonth(benchmark::State& state) {
    test::FakeClock clock{QDateTime(benchToday(), QTime(10, 0))};
    test::FakeDialogs dialogs;
    frmCalendar calendar(clock, dialogs, benchDates());
    // Load the picker once, as the composer's first "Pick a date" does, and accept at once.
    QTimer::singleShot(0, &calendar, [&calendar] {
        calendar.findChild<QPushButton*>(QStringLiteral("cmdok"))->click();
    });
    QDate date = benchToday();
    calendar.GetDate(date);
    QWidget* picMonth = calendar.findChild<QWidget*>(QStringLiteral("picMonth"));
    for (auto _ : state)
        benchmark::DoNotOptimize(picMonth->grab());
}

} // namespace

BENCHMARK(BM_ReadMessageFile)->Apply(SingleFile);
BENCHMARK(BM_Floor_ReadFile)->Apply(SingleFile);
BENCHMARK(BM_WriteMessageFile)->Apply(SingleFile);
BENCHMARK(BM_Floor_WriteFile)->Apply(SingleFile);
BENCHMARK(BM_PaintPicMonth)->Apply(SingleFile);

} // namespace tavrel::bench
