// Benchmarks of the scheme side: the scheme list over a folder of 5,000 schemes, and loading a
// full scheme into the bar and the details window.
#include "app/Globals.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/Files.h"
#include "tests/FakeServices.h"
#include "windows/RefreshList.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QTemporaryDir* Root = nullptr;

void WriteBmp(const QString& path, int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "BMP");
}

void MakeFolders() {
    QDir root(Root->path());
    for (int i = 0; i < 5000; ++i)
        root.mkpath(QStringLiteral("many/Scheme %1").arg(i * 7919 % 5000, 4, 10, QChar(u'0')));
    root.mkpath(QStringLiteral("skins/full"));
    const QString full = Root->path() + QStringLiteral("/skins/full/");
    WriteBmp(full + "back.bmp", 177, 21, Qt::gray);
    WriteBmp(full + "bar.bmp", 136, 13, Qt::red);
    WriteBmp(full + "bbar.bmp", 4, 13, Qt::green);
    WriteBmp(full + "ebar.bmp", 6, 13, Qt::blue);
    WriteBmp(full + "cache.bmp", 3, 13, Qt::black);
    WriteBmp(full + "details.bmp", 177, 73, Qt::darkGray);
    QFile text(full + "TextColor.txt");
    if (text.open(QIODevice::WriteOnly)) text.write("clNavy\r\n");
}

void BM_RefreshList5000(benchmark::State& state) {
    Vantrel->BarPrefs.Scheme = QStringLiteral("scheme 4999");
    for (auto _ : state)
        DPrefs->RefreshList(QStringLiteral("x:\\many\\"));
    if (DPrefs->SchemeList->count() != 5001 || DPrefs->SchemeList->currentRow() != 5000)
        state.SkipWithError("the list is wrong");
}

void BM_SchemeNames5000(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(SchemeNames(QStringLiteral("x:\\many\\")));
}

void BM_LoadFullScheme(benchmark::State& state) {
    Vantrel->BarPrefs.Dir = QStringLiteral("x:\\skins\\");
    Vantrel->BarPrefs.Scheme = QStringLiteral("full");
    for (auto _ : state) {
        Vantrel->LoadScheme();
        FDetails->LoadScheme();
    }
    if (Vantrel->MemFig.FullBarWidth != 136) state.SkipWithError("the scheme did not load");
}

BENCHMARK(BM_RefreshList5000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SchemeNames5000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadFullScheme)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    Root = &root;
    // A private home, so that no settings of the user are read.
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/.config")).toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    class Printed : public platform::ErrorReport {
        void Show(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    } printed;
    const platform::Replace<platform::ErrorReport> printedInPlace(printed);
    MakeFolders();
    const vtest::FixedDrives drives({{u'C', QStringLiteral("/")}, {u'X', root.path()}});
    CreateForms();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyForms();
    return 0;
}
