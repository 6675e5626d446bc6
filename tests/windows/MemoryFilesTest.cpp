// The bar and the details window on the kernel's files, read through the memory service: a ZFS
// machine's ARC counted as available, and an arcstats file that turns bad raising no error box.
#include "ArcstatsSample.h"
#include "TestSupport.h"

#include "app/Unit1.h"
#include "components/WTaskBar.h"
#include "controls/Label.h"
#include "windows/Unit3.h"

#include <QFile>

namespace {

void WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(contents), contents.size());
}

class MemoryFilesTest : public vtest::WindowsTest {};

TEST_F(MemoryFilesTest, AZfsMachinesFiguresThroughTheFiles) {
    // 16 GiB, 2 GiB available by the kernel's estimate, an 8 GiB ARC above a 1 GiB floor.
    QTemporaryDir dir;
    const QString arcstats = dir.filePath(QStringLiteral("arcstats"));
    WriteFile(dir.filePath(QStringLiteral("meminfo")),
              "MemTotal:       16777216 kB\nMemFree:          524288 kB\n"
              "MemAvailable:    2097152 kB\n");
    WriteFile(arcstats, vtest::ArcstatsSample);
    const QByteArray meminfoPath = QFile::encodeName(dir.filePath(QStringLiteral("meminfo")));
    const QByteArray arcstatsPath = QFile::encodeName(arcstats);
    platform::ProcMeminfo files(meminfoPath.constData(), arcstatsPath.constData());
    const platform::Replace<platform::MemorySource> filesInPlace(files);
    Vantrel->ShowDetails1Click();

    Vantrel->Timer();
    EXPECT_EQ(Vantrel->MemFig.MemStatus.AvailPhys, 9ULL << 30);
    EXPECT_EQ(Vantrel->MemFig.LoadPercent, 45);
    EXPECT_EQ(Vantrel->Hint,
              "[Total: 16,777,216 Kb]  [Load: 7,549,747 Kb, 45%]  [Free: 9,227,469 Kb, 55%]");
    EXPECT_EQ(FDetails->Label5->Caption(), "45% | 7,549,747 Kb");
    EXPECT_EQ(FDetails->Label6->Caption(), "55% | 9,227,469 Kb");

    // A garbled file: MemAvailable's figures, and no error box (the fixture fails on one).
    WriteFile(arcstats, "13 1 0x01 2 544 1 2\nname type data\nc_min 4 1073741824\nsize 4 8G\n");
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->MemFig.LoadPercent, 89);
    EXPECT_EQ(FDetails->Label5->Caption(), "89% | 14,931,722 Kb");
}

} // namespace
