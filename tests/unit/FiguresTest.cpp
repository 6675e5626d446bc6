// The amount format, the load figure, the bar width and the three texts.
#include "core/Figures.h"
#include "app/Globals.h"
#include "core/Helpers.h"
#include "platform/MemoryStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatKb, RoundsGroupsAndSigns) {
    const struct {
        long double kb;
        const char* text;
    } cases[] = {
        {262144, "262,144 Kb"},
        {167772.16L, "167,772 Kb"},
        {999.5L, "1,000 Kb"},
        {0.3L, " Kb"},
        {0, " Kb"},
        {-2621.44L, "-2,621 Kb"},
        {0.5L, "1 Kb"},
        {-0.5L, "-1 Kb"},
        {-0.3L, " Kb"},
        {1, "1 Kb"},
        {999, "999 Kb"},
        {1000, "1,000 Kb"},
        {123456789, "123,456,789 Kb"},
        {67108864, "67,108,864 Kb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatKb(c.kb, u','), QString::fromLatin1(c.text)) << c.text;
}

platform::MemoryStatus Bytes(uint64_t total, uint64_t avail) {
    return {total, avail};
}

TEST(LoadPercent, FollowsTheKilobyteFormula) {
    EXPECT_EQ(LoadPercentOf(Bytes(268435456, 100663296)), 64); // 37.5 truncated
    EXPECT_EQ(LoadPercentOf(Bytes(268435456, 268435456)), 1);  // all available
    EXPECT_EQ(LoadPercentOf(Bytes(268435456, 2000000)), 101);  // under 1 % available
    EXPECT_EQ(LoadPercentOf(Bytes(268435456, 0)), 101);
    // Remainders below 1 kB are dropped before dividing.
    EXPECT_EQ(LoadPercentOf(Bytes(1024 * 100 + 1023, 1024 * 50 + 1023)), 51);
}

TEST(LoadPercent, HoldsOnLargeMachines) {
    const uint64_t GB = 1024ULL * 1024 * 1024;
    // Above 4 GB total and above 41 GB available the 32-bit formula wrapped around.
    EXPECT_EQ(LoadPercentOf(Bytes(16 * GB, 8 * GB)), 51);
    EXPECT_EQ(LoadPercentOf(Bytes(64 * GB, 48 * GB)), 26);
    EXPECT_EQ(LoadPercentOf(Bytes(1024 * GB, 1023 * GB)), 2);
    EXPECT_EQ(LoadPercentOf(Bytes(6 * 1024 * 1024 * GB, 3 * 1024 * 1024 * GB)), 51);
}

TEST(LoadPercent, SoundOnNonsenseFigures) {
    // Below 1 kB the divisor is 0: nothing counts as available.
    EXPECT_EQ(LoadPercentOf(Bytes(0, 0)), 101);
    EXPECT_EQ(LoadPercentOf(Bytes(1023, 1023)), 101);
    // More available than the total counts as all of it.
    EXPECT_EQ(LoadPercentOf(Bytes(1 << 20, 1 << 30)), 1);
}

TEST(BarWidth, RoundsTiesToEven) {
    EXPECT_EQ(BarWidthOf(64, 1.36), 87); // 87.04
    EXPECT_EQ(BarWidthOf(37, 1.5), 56);  // 55.5
    EXPECT_EQ(BarWidthOf(39, 1.5), 58);  // 58.5
    EXPECT_EQ(BarWidthOf(101, 1.36), 137);
    EXPECT_EQ(BarWidthOf(1, 0.0), 0);
    EXPECT_EQ(BarWidthOf(50, 1.0), 50);
}

TEST(MemoryTexts, WorkedExample) {
    TMemoryFigures figures;
    figures.MemStatus = Bytes(268435456, 100663296);
    figures.LoadPercent = 64;
    const MemoryTexts t = MakeMemoryTexts(figures.MemStatus, figures.LoadPercent, u',');
    EXPECT_EQ(t.IconHint, "Vantrel - [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    EXPECT_EQ(t.BarHint, "[Total: 262,144 Kb]  [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    EXPECT_EQ(t.Total, "262,144 Kb");
    EXPECT_EQ(t.Load, "64% | 167,772 Kb");
    EXPECT_EQ(t.Free, "36% | 94,372 Kb");
}

TEST(MemoryTexts, FullLoadGivesANegativeFreeAmount) {
    TMemoryFigures figures;
    figures.MemStatus = Bytes(268435456, 0);
    figures.LoadPercent = 101;
    const MemoryTexts t = MakeMemoryTexts(figures.MemStatus, figures.LoadPercent, u',');
    EXPECT_TRUE(t.IconHint.endsWith("[Free: -2,621 Kb, -1%]")) << t.IconHint.toStdString();
    EXPECT_EQ(t.Free, "-1% | -2,621 Kb");
    EXPECT_EQ(t.Load, "101% | 264,765 Kb");
}

TEST(MemoryTexts, LargeMachine) {
    TMemoryFigures figures;
    figures.MemStatus = Bytes(64ULL << 30, 48ULL << 30);
    figures.LoadPercent = LoadPercentOf(figures.MemStatus);
    const MemoryTexts t = MakeMemoryTexts(figures.MemStatus, figures.LoadPercent, u',');
    EXPECT_EQ(t.Total, "67,108,864 Kb");
    EXPECT_EQ(t.Load, "26% | 17,448,305 Kb");
    EXPECT_EQ(t.Free, "74% | 49,660,559 Kb");
}

} // namespace
