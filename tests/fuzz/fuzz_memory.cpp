// Fuzz target: the kernel's memory texts. The input is /proc/meminfo's text, a NUL byte and the
// ARC's statistics text; without a NUL byte, each parser reads the whole input.
#include "core/MemoryText.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* const text = reinterpret_cast<const char*>(data);
    const char* const nul = static_cast<const char*>(std::memchr(text, 0, size));
    const size_t meminfoLength = nul ? size_t(nul - text) : size;
    const char* const arcText = nul ? nul + 1 : text;
    const size_t arcLength = nul ? size - meminfoLength - 1 : size;

    MemoryStatus status;
    const bool haveMeminfo = ParseMeminfo(text, meminfoLength, status);
    ArcSize arc;
    if (!ParseArcstats(arcText, arcLength, arc) || !haveMeminfo) return 0;
    // The ARC only ever adds, and never beyond the total where the kernel's figure was within it.
    const MemoryStatus before = status;
    AddShrinkableArc(status, arc);
    if (status.TotalPhys != before.TotalPhys || status.AvailPhys < before.AvailPhys)
        __builtin_trap();
    if (before.AvailPhys <= before.TotalPhys && status.AvailPhys > status.TotalPhys)
        __builtin_trap();
    return 0;
}
