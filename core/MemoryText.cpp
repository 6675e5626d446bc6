// Reads the figures out of /proc/meminfo's and the ARC's statistics texts.
#include "core/MemoryText.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

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

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next blank-separated field of rest, which then starts after it; empty at the line's end.
std::string_view NextField(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start]))
        ++start;
    size_t stop = start;
    while (stop < rest.size() && !IsBlank(rest[stop]))
        ++stop;
    const std::string_view field = rest.substr(start, stop - start);
    rest.remove_prefix(stop);
    return field;
}

// The kstat header: identifier, type, flags (0x..), count, size and two times, all numbers.
bool IsKstatHeader(std::string_view line) {
    if (line.empty() || line[0] < '0' || line[0] > '9') return false;
    return std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == 'x' || IsBlank(c);
    });
}

// The whole field as a number of 64 bits, without sign.
bool ParseUnsigned(std::string_view field, uint64_t& value) {
    const char* const end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    return !field.empty() && error == std::errc() && stop == end;
}

} // namespace

bool ParseMeminfo(const char* text, size_t length, MemoryStatus& out) {
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

bool ParseArcstats(const char* text, size_t length, ArcSize& out) {
    enum { Size, Floor, Count };
    static constexpr std::string_view Names[Count] = {"size", "c_min"};
    uint64_t value[Count] = {};
    bool have[Count] = {};
    const char* p = text;
    const char* const end = text + length;
    for (int line = 0; p < end && !(have[Size] && have[Floor]); ++line) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol) break;
        std::string_view rest(p, size_t(eol - p));
        p = eol + 1;
        if (line == 0) {
            if (!IsKstatHeader(rest)) return false;
            continue;
        }
        if (line == 1) {
            if (NextField(rest) != "name" || NextField(rest) != "type" ||
                NextField(rest) != "data" || !NextField(rest).empty())
                return false;
            continue;
        }
        // The row's name from its start, followed by a blank; other rows are not looked into.
        const auto* found = std::find_if(Names, Names + Count, [rest](std::string_view name) {
            return rest.size() > name.size() && rest.starts_with(name) &&
                   IsBlank(rest[name.size()]);
        });
        if (found == Names + Count) continue;
        const int i = int(found - Names);
        if (have[i]) continue;
        rest.remove_prefix(found->size());
        uint64_t type = 0;
        if (!ParseUnsigned(NextField(rest), type) || !ParseUnsigned(NextField(rest), value[i]) ||
            !NextField(rest).empty())
            return false;
        have[i] = true;
    }
    if (!have[Size] || !have[Floor]) return false;
    out.Size = value[Size];
    out.Floor = value[Floor];
    return true;
}

void AddShrinkableArc(MemoryStatus& status, const ArcSize& arc) {
    const uint64_t shrinkable = arc.Size > arc.Floor ? arc.Size - arc.Floor : 0;
    const uint64_t room =
        status.TotalPhys > status.AvailPhys ? status.TotalPhys - status.AvailPhys : 0;
    status.AvailPhys += std::min(shrinkable, room);
}
