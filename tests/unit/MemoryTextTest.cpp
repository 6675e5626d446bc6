// The kernel's memory texts (/proc/meminfo, the ARC's statistics) and the memory service that
// reads them from files.
#include "core/MemoryText.h"
#include "ArcstatsSample.h"
#include "core/VError.h"
#include "platform/MemoryStatus.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr uint64_t GiB = 1ULL << 30;

TEST(ParseMeminfo, TakesMemAvailableOrTheOlderKernelsEstimate) {
    constexpr uint64_t K = 1024;
    const struct {
        const char* why;
        const char* text;
        bool valid;
        uint64_t total, avail; // kB
    } cases[] = {
        {"a kernel of today",
         "MemTotal: 1000 kB\nMemFree: 100 kB\nMemAvailable: 600 kB\n"
         "Buffers: 50 kB\nCached: 300 kB\n",
         true, 1000, 600},
        {"MemAvailable wins wherever it stands",
         "MemTotal: 1000 kB\nBuffers: 50 kB\nCached: 300 kB\nMemFree: 100 kB\n"
         "MemAvailable: 600 kB\n",
         true, 1000, 600},
        {"before 3.14: free, buffers and cache",
         "MemTotal: 1000 kB\nMemFree: 100 kB\n"
         "Buffers: 50 kB\nCached: 300 kB\nSwapCached: 999 kB\n",
         true, 1000, 450},
        {"SwapCached is not Cached",
         "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\n"
         "SwapCached: 300 kB\n",
         false, 0, 0},
        {"the estimate is kept within the total",
         "MemTotal: 1000 kB\nMemFree: 900 kB\n"
         "Buffers: 200 kB\nCached: 18014398509481 kB\n",
         true, 1000, 1000},
        {"one of the three missing", "MemTotal: 1000 kB\nMemFree: 100 kB\nCached: 300 kB\n", false,
         0, 0},
        {"a garbled line of the three",
         "MemTotal: 1000 kB\nMemFree: 1x0 kB\nBuffers: 50 kB\n"
         "Cached: 300 kB\n",
         false, 0, 0},
        {"no total", "MemFree: 100 kB\nMemAvailable: 600 kB\n", false, 0, 0},
        {"nothing at all", "", false, 0, 0},
    };
    for (const auto& c : cases) {
        MemoryStatus status;
        const bool valid = ParseMeminfo(c.text, std::strlen(c.text), status);
        EXPECT_EQ(valid, c.valid) << c.why;
        if (!valid || !c.valid) continue;
        EXPECT_EQ(status.TotalPhys, c.total * K) << c.why;
        EXPECT_EQ(status.AvailPhys, c.avail * K) << c.why;
    }
}

// A statistics text of the module's form around the given rows.
std::string Arcstats(const char* rows) {
    return std::string("13 1 0x01 3 816 4259425624 2012466553066948\n"
                       "name                            type data\n") +
           rows;
}

TEST(ParseArcstats, TakesSizeAndFloorByNameAndCountsTheShrinkablePartWithinTheTotal) {
    const struct {
        const char* why;
        std::string text;
        uint64_t size, floor;         // as read
        uint64_t total, avail, after; // MemTotal, MemAvailable, and the available sum
    } cases[] = {
        {"the module's own file", vtest::ArcstatsSample, 8 * GiB, GiB, 16 * GiB, 2 * GiB, 9 * GiB},
        {"by name, whatever the order and the names ending in size before",
         Arcstats("l2_size 4 7\ncompressed_size 4 5\nsize 4 300\nhits 4 1\nc_min 4 100\n"), 300,
         100, 1000, 200, 400},
        {"size below the floor gives nothing", Arcstats("c_min 4 500\nsize 4 300\n"), 300, 500,
         1000, 200, 200},
        {"size at the floor gives nothing", Arcstats("c_min 4 300\nsize 4 300\n"), 300, 300, 1000,
         200, 200},
        {"the total caps the sum", Arcstats("c_min 4 0\nsize 4 900\n"), 900, 0, 1000, 200, 1000},
        {"values near 2^64", Arcstats("c_min 4 1\nsize 4 18446744073709551615\n"), UINT64_MAX, 1,
         UINT64_MAX - 1, UINT64_MAX - 10, UINT64_MAX - 1},
        {"already all available", Arcstats("c_min 4 0\nsize 4 900\n"), 900, 0, 1000, 1000, 1000},
        {"garbled rows of other statistics are not looked into",
         Arcstats("hits 4 many\nc_min 4 100\nmemory_available_bytes 3 -5\nsize 4 900\n"), 900, 100,
         1000, 0, 800},
    };
    for (const auto& c : cases) {
        ArcSize arc;
        ASSERT_TRUE(ParseArcstats(c.text.data(), c.text.size(), arc)) << c.why;
        EXPECT_EQ(arc.Size, c.size) << c.why;
        EXPECT_EQ(arc.Floor, c.floor) << c.why;
        MemoryStatus status{c.total, c.avail};
        AddShrinkableArc(status, arc);
        EXPECT_EQ(status.TotalPhys, c.total) << c.why;
        EXPECT_EQ(status.AvailPhys, c.after) << c.why;
    }
}

TEST(ParseArcstats, RefusesWhatIsNotTheModulesForm) {
    const struct {
        const char* why;
        std::string text;
    } cases[] = {
        {"2^64 is beyond 64 bits", Arcstats("c_min 4 0\nsize 4 18446744073709551616\n")},
        {"size missing", Arcstats("c_min 4 100\nc_max 4 900\n")},
        {"c_min missing", Arcstats("c 4 100\nsize 4 900\n")},
        {"a row cut short", Arcstats("c_min 4 100\nsize 4 900")},
        {"a garbled value", Arcstats("c_min 4 100\nsize 4 9x0\n")},
        {"a negative value", Arcstats("c_min 4 -100\nsize 4 900\n")},
        {"a value in hex", Arcstats("c_min 4 0x64\nsize 4 900\n")},
        {"no value", Arcstats("c_min 4\nsize 4 900\n")},
        {"a field too many", Arcstats("c_min 4 100 7\nsize 4 900\n")},
        {"a garbled type", Arcstats("c_min four 100\nsize 4 900\n")},
        {"no kstat header", "name type data\nc_min 4 100\nsize 4 900\n"},
        {"a header of words", "arc stats\nname type data\nc_min 4 100\nsize 4 900\n"},
        {"no column line", "13 1 0x01 3 816 1 2\nc_min 4 100\nsize 4 900\n"},
        {"nothing at all", ""},
    };
    for (const auto& c : cases) {
        ArcSize arc;
        EXPECT_FALSE(ParseArcstats(c.text.data(), c.text.size(), arc)) << c.why;
    }
}

void WriteFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(contents), contents.size());
}

// 16 GiB, of which 2 GiB are available by the kernel's estimate.
const QByteArray Meminfo = "MemTotal:       16777216 kB\n"
                           "MemFree:          524288 kB\n"
                           "MemAvailable:    2097152 kB\n"
                           "Buffers:          131072 kB\n";

TEST(ProcMeminfo, ReadsBothFilesAndTakesTheArcWhenItComes) {
    QTemporaryDir dir;
    const QByteArray meminfo = QFile::encodeName(dir.filePath("meminfo"));
    const QByteArray arcstats = QFile::encodeName(dir.filePath("arcstats"));
    WriteFile(meminfo, Meminfo);

    // No ZFS: MemAvailable's figures, no fault.
    platform::ProcMeminfo source(meminfo.constData(), arcstats.constData());
    MemoryStatus status = source.Query();
    EXPECT_EQ(status.TotalPhys, 16 * GiB);
    EXPECT_EQ(status.AvailPhys, 2 * GiB);
    EXPECT_EQ(LoadPercentOf(status), 89);

    // The module loads: its file is looked for again after a number of queries, and then read.
    WriteFile(arcstats, vtest::ArcstatsSample);
    for (unsigned i = 1; i < platform::ProcMeminfo::ArcLookInterval; ++i)
        ASSERT_EQ(source.Query().AvailPhys, 2 * GiB) << i;
    status = source.Query();
    EXPECT_EQ(status.TotalPhys, 16 * GiB);
    EXPECT_EQ(status.AvailPhys, 9 * GiB); // 2 GiB + an 8 GiB ARC above its 1 GiB floor
    EXPECT_EQ(LoadPercentOf(status), 45);

    // The open file is read anew each query: a garbled one leaves MemAvailable's figures.
    WriteFile(arcstats, "garbled\n");
    EXPECT_EQ(source.Query().AvailPhys, 2 * GiB);
    WriteFile(arcstats, vtest::ArcstatsSample);
    EXPECT_EQ(source.Query().AvailPhys, 9 * GiB);

    // /proc/meminfo's faults are faults still.
    WriteFile(meminfo, "MemTotal: many\n");
    EXPECT_THROW(source.Query(), VantrelError);
    const QByteArray gone = QFile::encodeName(dir.filePath("gone"));
    platform::ProcMeminfo missing(gone.constData(), arcstats.constData());
    try {
        missing.Query();
        ADD_FAILURE() << "a missing /proc/meminfo was no fault";
    } catch (const VantrelError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot read the memory status from %1: No such file "
                                              "or directory")
                                   .arg(dir.filePath("gone")));
    }
}

} // namespace
