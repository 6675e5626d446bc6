// Heap tuning on the GNU C library; nothing elsewhere.
#include "platform/Heap.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace platform {

void UseOneHeap() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

void ReleaseFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void ReleaseUnusedStack() {
#if defined(__GLIBC__)
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
    void* lowest = nullptr;
    size_t size = 0;
    const int got = pthread_attr_getstack(&attributes, &lowest, &size);
    pthread_attr_destroy(&attributes);
    if (got != 0) return;
    const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    volatile char here = 0; // lies in this call's frame, just below its caller's
    // Two pages stay for what this call and the next ones use; the stack grows downwards.
    const uintptr_t end = (reinterpret_cast<uintptr_t>(&here) & ~(page - 1)) - 2 * page;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(lowest) + page - 1) & ~(page - 1);
    // Parts of the range the stack has not grown into yet are not mapped; the call still clears
    // the mapped part.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
#endif
}

} // namespace platform
