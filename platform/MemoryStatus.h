// Physical memory status: total and available bytes, read from /proc/meminfo.
#pragma once

#include "core/Figures.h"

#include <cstddef>
#include <cstdint>

namespace platform {

using MemoryStatus = ::MemoryStatus;

class MemorySource {
public:
    virtual ~MemorySource() = default;
    // Fills in the current figures; raises VantrelError when they cannot be had.
    virtual MemoryStatus Query() = 0;
};

// The kernel's figures. The file stays open between queries, so a query is one read.
class ProcMeminfo final : public MemorySource {
public:
    explicit ProcMeminfo(const char* path = "/proc/meminfo");
    ~ProcMeminfo() override;
    ProcMeminfo(const ProcMeminfo&) = delete;
    ProcMeminfo& operator=(const ProcMeminfo&) = delete;
    MemoryStatus Query() override;

    // Takes MemTotal and MemAvailable (in kB) out of the file's text, or where MemAvailable is
    // missing MemFree + Buffers + Cached; false when the figures are missing, garbled or too large
    // for 64-bit bytes.
    static bool Parse(const char* text, size_t length, MemoryStatus& out);

private:
    const char* Path;
    int Fd = -1;
};

// The source in use; the kernel's unless another was put in place.
MemorySource& Memory();
// Puts a source in place (not owned); nullptr restores the kernel's.
void SetMemorySource(MemorySource* source);

} // namespace platform
