// The cost of a steady timer tick against reading and parsing /proc/meminfo alone, without and
// with a ZFS machine's ARC statistics.
//
// Instructions per steady tick (repeatable where times are not), for each tick benchmark:
//   bench/tick-instructions.sh [build folder, default build-test]
#include "app/Globals.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/MemoryStatus.h"
#include "tests/ArcstatsSample.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ReadMeminfo(benchmark::State& state) {
    platform::ProcMeminfo source;
    for (auto _ : state)
        benchmark::DoNotOptimize(source.Query());
}
BENCHMARK(BM_ReadMeminfo);

// One tick after the first: the function the instruction count is taken of. True when it
// changed the bar's width.
[[gnu::noinline]] bool SteadyTick() {
    const int32_t before = Vantrel->MemFig.LastBarWidth;
    Vantrel->Timer();
    return Vantrel->MemFig.LastBarWidth != before;
}

// Ticks on the current source's figures: after the first run the width stays (the load moves in
// steps of 1 %), so each run is the query and the arithmetic. Redraws counts the runs that did
// change it.
void RunSteadyTicks(benchmark::State& state) {
    class Unreported : public platform::ErrorReport {
        void Show(const QString&) override {}
    } unreported;
    const platform::Replace<platform::ErrorReport> unreportedInPlace(unreported);
    CreateForms();
    Vantrel->Timer();
    int64_t redraws = 0;
    for (auto _ : state)
        redraws += SteadyTick();
    state.counters["redraws"] = double(redraws);
    DestroyForms();
}

// The kernel's figures: on a machine without ZFS, /proc/meminfo alone.
void BM_SteadyTick(benchmark::State& state) {
    RunSteadyTicks(state);
}
BENCHMARK(BM_SteadyTick);

// The kernel's /proc/meminfo with a ZFS machine's arcstats (123 rows) beside it.
void BM_SteadyTickZfs(benchmark::State& state) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("arcstats")));
    if (!file.open(QIODevice::WriteOnly) || file.write(vtest::ArcstatsSample) < 0) {
        state.SkipWithError("cannot write the arcstats file");
        return;
    }
    file.close();
    const QByteArray arcstats = QFile::encodeName(file.fileName());
    platform::ProcMeminfo source("/proc/meminfo", arcstats.constData());
    const platform::Replace<platform::MemorySource> sourceInPlace(source);
    RunSteadyTicks(state);
}
BENCHMARK(BM_SteadyTickZfs);

} // namespace
