// Directory tree timings: opening a folder with 10,000 sub-folders, and listing this machine's
// drives.
#include "components/dirtree.h"
#include "platform/Files.h"
#include "tests/FakeServices.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

// A root folder holding "Big" with 10,000 empty sub-folders.
const QTemporaryDir& BigTree() {
    static QTemporaryDir root;
    static const bool made = [] {
        QDir big(root.path());
        big.mkdir(QStringLiteral("Big"));
        big.cd(QStringLiteral("Big"));
        for (int i = 0; i < 10000; ++i)
            big.mkdir(QStringLiteral("Folder %1").arg(i, 5, 10, QLatin1Char('0')));
        return true;
    }();
    (void)made;
    return root;
}

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& path) {
    for (int i = 0; i < node->childCount(); ++i)
        if (const tdirname* r = Tdirtree::Record(node->child(i)); r && r->Path == path)
            return node->child(i);
    return nullptr;
}

void BM_ExpandFolderWith10000SubFolders(benchmark::State& state) {
    const vtest::FixedDrives drives({{u'C', BigTree().path()}});
    Tdirtree tree;
    tree.resize(174, 198);
    tree.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        tree.LoadDrives();
        QTreeWidgetItem* drive = tree.topLevelItem(0);
        drive->setExpanded(true);
        QTreeWidgetItem* big = Child(drive, QStringLiteral("C:\\BIG\\"));
        QApplication::processEvents();
        state.ResumeTiming();

        big->setExpanded(true);        // read, sort, add and probe the 10,000 folders
        QApplication::processEvents(); // and lay them out and paint

        if (big->childCount() != 10000) {
            state.SkipWithError("not every folder listed");
            break;
        }
    }
    tree.clear();
}
BENCHMARK(BM_ExpandFolderWith10000SubFolders)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadDrivesOnThisMachine(benchmark::State& state) {
    Tdirtree tree;
    tree.show();
    QApplication::processEvents();
    for (auto _ : state)
        tree.LoadDrives();
    QStringList drives;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        drives.append(tree.topLevelItem(i)->text(0));
    state.SetLabel(drives.join(QStringLiteral(", ")).toStdString());
}
BENCHMARK(BM_LoadDrivesOnThisMachine)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
