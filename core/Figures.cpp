// Load figure, bar width and the hint and label texts.
#include "core/Figures.h"

#include "core/Helpers.h"

#include <algorithm>
#include <cmath>

int32_t LoadPercentOf(const MemoryStatus& status) {
    const uint64_t wholeTotal = status.TotalPhys >> 10;
    // More available than there is would make a negative load; it cannot be.
    const uint64_t wholeAvail = std::min(status.AvailPhys, status.TotalPhys) >> 10;
    const uint64_t freePart = wholeTotal == 0 ? 0 : wholeAvail * 100 / wholeTotal;
    return static_cast<int32_t>(100 - static_cast<int64_t>(freePart) + 1);
}

int32_t BarWidthOf(int32_t loadPercent, double barScale) {
    const long double product = static_cast<long double>(loadPercent) * barScale;
    if (!std::isfinite(product) || product > INT32_MAX || product < INT32_MIN) return 0;
    return static_cast<int32_t>(std::nearbyintl(product)); // the default mode: ties to even
}

MemoryTexts MakeMemoryTexts(const MemoryStatus& status, int32_t loadPercent, QChar separator) {
    const long double total = static_cast<long double>(status.TotalPhys);
    const int32_t load = loadPercent;
    const int32_t free = 100 - load;
    const QString totalKb = FormatKb(total / 1024.0L, separator);
    const QString usedKb = FormatKb(total / 102400.0L * load, separator);
    const QString freeKb = FormatKb(total / 102400.0L * free, separator);
    const QString loadPart = QStringLiteral("[Load: ") + usedKb + QStringLiteral(", ") +
                             QString::number(load) + QStringLiteral("%]  [Free: ") + freeKb +
                             QStringLiteral(", ") + QString::number(free) + QStringLiteral("%]");
    MemoryTexts texts;
    texts.IconHint = QStringLiteral("Vantrel - ") + loadPart;
    texts.BarHint = QStringLiteral("[Total: ") + totalKb + QStringLiteral("]  ") + loadPart;
    texts.Total = totalKb;
    texts.Load = QString::number(load) + QStringLiteral("% | ") + usedKb;
    texts.Free = QString::number(free) + QStringLiteral("% | ") + freeKb;
    return texts;
}
