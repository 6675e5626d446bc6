// Reads physical memory figures from /proc/meminfo and the ARC's statistics.
#include "platform/MemoryStatus.h"

#include "core/MemoryText.h"
#include "core/VError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// One read from the start of the file; -1 with errno on failure.
ssize_t ReadFromStart(int fd, char* buffer, size_t size) {
    ssize_t got;
    do {
        got = ::pread(fd, buffer, size, 0);
    } while (got < 0 && errno == EINTR);
    return got;
}

} // namespace

ProcMeminfo::ProcMeminfo(const char* path, const char* arcPath) : Path(path), ArcPath(arcPath) {}

ProcMeminfo::~ProcMeminfo() {
    if (Fd >= 0) ::close(Fd);
    if (ArcFd >= 0) ::close(ArcFd);
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
        got = ReadFromStart(Fd, buffer, sizeof buffer);
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
    if (!ParseMeminfo(buffer, size_t(got), status))
        throw VantrelError(QStringLiteral("The memory status in %1 is not valid")
                               .arg(QString::fromLocal8Bit(Path)));
    if (ArcFd >= 0 || ++QueriesSinceArcLook >= ArcLookInterval) AddArc(status);
    return status;
}

void ProcMeminfo::AddArc(MemoryStatus& status) {
    if (ArcFd < 0) {
        QueriesSinceArcLook = 0;
        ArcFd = ::open(ArcPath, O_RDONLY | O_CLOEXEC);
        if (ArcFd < 0) return;
    }
    // About 150 rows of 50 bytes today; "size" and "c_min" are among the first 50.
    char buffer[8192];
    const ssize_t got = ReadFromStart(ArcFd, buffer, sizeof buffer);
    if (got < 0) {
        // The module was unloaded under the open file, say: look for a new one later.
        ::close(ArcFd);
        ArcFd = -1;
        return;
    }
    ArcSize arc;
    if (ParseArcstats(buffer, size_t(got), arc)) AddShrinkableArc(status, arc);
}

template <> MemorySource& Service<MemorySource>::Real() {
    static ProcMeminfo kernel;
    return kernel;
}

} // namespace platform
