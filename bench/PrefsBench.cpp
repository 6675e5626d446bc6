// Time of the settings read at start-up and of the save at close, each the median of 20 runs, on
// the disk the store lives on; beside them the ten values saved as ten separate replaces.
#include "app/Globals.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

void BM_writeprefs(benchmark::State& state) {
    for (auto _ : state)
        Vantrel->writeprefs();
}

// The same ten values, each its own locked and flushed replace of the file.
void BM_TenSeparateWrites(benchmark::State& state) {
    const QString key = QStringLiteral("Software\\Quillmoor\\Vantrel");
    const char* const names[] = {"Top",    "Left",   "Aot",    "TimerDelay", "NoMove",
                                 "BarPos", "FixPos", "Scheme", "Dir",        "BarTip"};
    for (auto _ : state)
        for (const char* name : names)
            platform::RegWriteInteger(key, QLatin1String(name), 1);
}

void BM_readprefs(benchmark::State& state) {
    for (auto _ : state)
        Vantrel->readprefs();
}

BENCHMARK(BM_writeprefs)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenSeparateWrites)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_readprefs)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    class Printed : public platform::ErrorReport {
        void Show(const QString& text) override {
            std::fprintf(stderr, "error: %s\n", qPrintable(text));
        }
    } printed;
    const platform::Replace<platform::ErrorReport> printedInPlace(printed);
    // The store in a folder beside the program's build, on a real disk rather than in memory,
    // with a file as large as a long-used one: ten values and a few unknown ones.
    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/bench-home-XXXXXX"));
    platform::SettingsStore store(home.path() + QStringLiteral("/vantrel"));
    const platform::Replace<platform::SettingsStore> storeInPlace(store);
    CreateForms();
    Vantrel->BarPrefs.Scheme = QStringLiteral("blue");
    Vantrel->BarPrefs.Dir = QStringLiteral("c:\\skins\\");
    for (int i = 0; i < 5; ++i)
        platform::RegWriteString(QStringLiteral("Software\\Quillmoor\\Vantrel"),
                                 QStringLiteral("Other%1").arg(i), QStringLiteral("kept"));
    Vantrel->writeprefs();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyForms();
    return 0;
}
