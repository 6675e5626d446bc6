// The kernel's memory texts: /proc/meminfo, and the statistics of the ZFS file cache (the ARC) in
// /proc/spl/kstat/zfs/arcstats, with the rule that makes one sample of the two.
#pragma once

#include "core/Figures.h"

#include <cstddef>
#include <cstdint>

// Takes MemTotal and MemAvailable (in kB) out of /proc/meminfo's text, or where MemAvailable is
// missing MemFree + Buffers + Cached; false when the figures are missing, garbled or too large
// for 64-bit bytes.
bool ParseMeminfo(const char* text, size_t length, MemoryStatus& out);

// The ARC's size and the floor it never shrinks below, in bytes.
struct ArcSize {
    uint64_t Size = 0;  // "size"
    uint64_t Floor = 0; // "c_min"
};

// Takes "size" and "c_min" by name out of the arcstats text: a header line of numbers, the line
// "name type data", then one "name type value" row per statistic, its name at the line's start.
// A row counts only with its line end, so a read cut short never gives half a number. False when
// the text is not of that form, or either row is missing or its value is not a plain number of
// 64 bits.
bool ParseArcstats(const char* text, size_t length, ArcSize& out);

// Counts the ARC's part above its floor as available, as the page cache is in MemAvailable: the
// ARC gives it back under pressure. The sum is kept within the total.
void AddShrinkableArc(MemoryStatus& status, const ArcSize& arc);
