// The load arithmetic and the texts built from a memory sample.
#pragma once

#include "app/Globals.h"

#include <QString>

// LoadPercent from the total and available bytes: 100 - (available kB x 100 div total kB) + 1,
// in 64 bits. A total below 1 kB counts as nothing available (101).
int32_t LoadPercentOf(const platform::MemoryStatus& status);

// LoadPercent x BarScale in extended precision, rounded to the nearest integer, ties to even.
int32_t BarWidthOf(int32_t loadPercent, double barScale);

struct MemoryTexts {
    QString IconHint; // "Vantrel - [Load: ..., N%]  [Free: ..., N%]"
    QString BarHint;  // "[Total: ...]  [Load: ..., N%]  [Free: ..., N%]"
    QString Total;    // the details window's three figures
    QString Load;
    QString Free;
};

// The texts for the last sample in figures (its total and its LoadPercent).
MemoryTexts MakeMemoryTexts(const TMemoryFigures& figures);
