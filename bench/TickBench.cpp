// The cost of a steady timer tick against reading and parsing /proc/meminfo alone.
#include "app/Globals.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/MemoryStatus.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadMeminfo(benchmark::State& state) {
    platform::ProcMeminfo source;
    for (auto _ : state)
        benchmark::DoNotOptimize(source.Query());
}
BENCHMARK(BM_ReadMeminfo);

// A tick on the real figures: after the first run the width stays (the load moves in steps of
// 1 %), so each run is the query and the arithmetic. Redraws counts the runs that did change it.
void BM_SteadyTick(benchmark::State& state) {
    platform::SetErrorReporter([](const QString&) {});
    CreateForms();
    Vantrel->Timer();
    int64_t redraws = 0;
    for (auto _ : state) {
        const int32_t before = Vantrel->MemFig.LastBarWidth;
        Vantrel->Timer();
        redraws += Vantrel->MemFig.LastBarWidth != before;
    }
    state.counters["redraws"] = double(redraws);
    DestroyForms();
}
BENCHMARK(BM_SteadyTick);

} // namespace
