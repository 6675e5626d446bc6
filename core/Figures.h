// The load arithmetic and the texts built from a memory sample.
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// Total and available physical memory, as one sample gives them.
struct MemoryStatus {
    uint64_t TotalPhys = 0; // bytes
    uint64_t AvailPhys = 0; // bytes
};

// LoadPercent from the total and available bytes: 100 - (available kB x 100 div total kB) + 1,
// in 64 bits. A total below 1 kB counts as nothing available (101).
int32_t LoadPercentOf(const MemoryStatus& status);

// LoadPercent x BarScale in extended precision, rounded to the nearest integer, ties to even.
int32_t BarWidthOf(int32_t loadPercent, double barScale);

struct MemoryTexts {
    QString IconHint; // "Vantrel - [Load: ..., N%]  [Free: ..., N%]"
    QString BarHint;  // "[Total: ...]  [Load: ..., N%]  [Free: ..., N%]"
    QString Total;    // the details window's three figures
    QString Load;
    QString Free;
};

// The texts for a sample (its total) and its LoadPercent, amounts grouped with the separator.
MemoryTexts MakeMemoryTexts(const MemoryStatus& status, int32_t loadPercent, QChar separator);
