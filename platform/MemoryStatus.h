// Physical memory status: total and available bytes, read from /proc/meminfo and, on a machine
// with ZFS, the statistics of its file cache (the ARC).
#pragma once

#include "core/Figures.h"
#include "platform/Service.h"

namespace platform {

using MemoryStatus = ::MemoryStatus;

class MemorySource {
public:
    virtual ~MemorySource() = default;
    // Fills in the current figures; raises VantrelError when they cannot be had.
    virtual MemoryStatus Query() = 0;
};

// The kernel's figures. The files stay open between queries, so a query is one read of each.
// Where the ARC's statistics can be read, its part above its floor counts as available; where
// they cannot (no ZFS, the module not loaded, a garbled file) the figures are /proc/meminfo's
// alone, and that is no fault: the file is looked for again every ArcLookInterval queries.
class ProcMeminfo final : public MemorySource {
public:
    explicit ProcMeminfo(const char* path = "/proc/meminfo",
                         const char* arcPath = "/proc/spl/kstat/zfs/arcstats");
    ~ProcMeminfo() override;
    ProcMeminfo(const ProcMeminfo&) = delete;
    ProcMeminfo& operator=(const ProcMeminfo&) = delete;
    MemoryStatus Query() override;

    static constexpr unsigned ArcLookInterval = 64;

private:
    void AddArc(MemoryStatus& status);

    const char* Path;
    const char* ArcPath;
    int Fd = -1;
    int ArcFd = -1;
    unsigned QueriesSinceArcLook = ArcLookInterval; // the first query looks
};

// The source in use: the kernel's (a ProcMeminfo) unless another was put in place.
template <> MemorySource& Service<MemorySource>::Real();
inline MemorySource& Memory() {
    return Current<MemorySource>();
}

} // namespace platform
