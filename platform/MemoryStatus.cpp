// Reads physical memory figures from /proc/meminfo.
#include "platform/MemoryStatus.h"

#include "core/VError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Value of a "Name:   1234 kB" line starting at p; false when it is not a plain number of kB.
bool ParseKbLine(const char* p, const char* end, uint64_t& bytes) {
    while (p < end && *p == ' ')
        ++p;
    if (p == end || *p < '0' || *p > '9') return false;
    uint64_t kb = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (kb > (UINT64_MAX / 1024 - 9) / 10) return false;
        kb = kb * 10 + static_cast<uint64_t>(*p - '0');
        ++p;
    }
    while (p < end && *p == ' ')
        ++p;
    if (end - p < 2 || p[0] != 'k' || p[1] != 'B') return false;
    p += 2;
    if (p != end && *p != '\n') return false;
    bytes = kb * 1024;
    return true;
}

MemorySource* Current = nullptr;

} // namespace

ProcMeminfo::ProcMeminfo(const char* path) : Path(path) {}

ProcMeminfo::~ProcMeminfo() {
    if (Fd >= 0) ::close(Fd);
}

bool ProcMeminfo::Parse(const char* text, size_t length, MemoryStatus& out) {
    // MemAvailable is the kernel's own estimate; kernels before 3.14 (and some containers) lack
    // it, and there what the tools of their day counted stands in: free, buffers and page cache.
    enum { Total, Avail, Free, Buffers, Cached, Count };
    struct Name {
        const char* Text;
        size_t Length;
    };
    static constexpr Name Names[Count] = {
        {"MemTotal:", 9}, {"MemAvailable:", 13}, {"MemFree:", 8}, {"Buffers:", 8}, {"Cached:", 7}};
    uint64_t value[Count] = {};
    bool have[Count] = {};
    const char* p = text;
    const char* const end = text + length;
    while (p < end && !(have[Total] && have[Avail])) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = eol ? eol : end;
        const size_t n = size_t(lineEnd - p);
        for (int i = 0; i < Count; ++i) {
            const Name& name = Names[i];
            if (have[i] || n <= name.Length || std::memcmp(p, name.Text, name.Length) != 0)
                continue;
            // A garbled line of the estimate's counts leaves it missing.
            have[i] = ParseKbLine(p + name.Length, lineEnd, value[i]);
            if (!have[i] && i <= Avail) return false;
            break;
        }
        p = eol ? eol + 1 : end;
    }
    if (!have[Total]) return false;
    out.TotalPhys = value[Total];
    if (have[Avail]) {
        out.AvailPhys = value[Avail];
        return true;
    }
    if (!have[Free] || !have[Buffers] || !have[Cached]) return false;
    // Each is at most the total on a sane kernel; the sum is kept within it either way.
    uint64_t avail = 0;
    for (int i : {Free, Buffers, Cached})
        avail += std::min(value[i], value[Total] - avail);
    out.AvailPhys = avail;
    return true;
}

MemoryStatus ProcMeminfo::Query() {
    // MemTotal and MemAvailable are among the first lines; 4 KiB holds the whole file today.
    char buffer[4096];
    ssize_t got = -1;
    int error = ENOENT;
    for (int attempt = 0; attempt < 2 && got < 0; ++attempt) {
        if (Fd < 0) Fd = ::open(Path, O_RDONLY | O_CLOEXEC);
        if (Fd < 0) {
            error = errno;
            break;
        }
        do {
            got = ::pread(Fd, buffer, sizeof buffer, 0);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            error = errno;
            ::close(Fd);
            Fd = -1;
        }
    }
    if (got < 0)
        throw VantrelError(
            QStringLiteral("Cannot read the memory status from %1: %2")
                .arg(QString::fromLocal8Bit(Path), QString::fromLocal8Bit(std::strerror(error))));
    MemoryStatus status;
    if (!Parse(buffer, size_t(got), status))
        throw VantrelError(QStringLiteral("The memory status in %1 is not valid")
                               .arg(QString::fromLocal8Bit(Path)));
    return status;
}

MemorySource& Memory() {
    if (Current) return *Current;
    static ProcMeminfo kernel;
    return kernel;
}

void SetMemorySource(MemorySource* source) {
    Current = source;
}

} // namespace platform
