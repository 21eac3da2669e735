#include "image/PageBuffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace {

// Below this the page faults are few and new[] is as good. Under AddressSanitizer every
// buffer comes from new[], so that the tests and fuzzers see any access past a disk's end.
constexpr std::size_t kMapThreshold =
    kHeapBuffersOnly ? static_cast<std::size_t>(-1) : std::size_t{64 * 1024};

#ifndef MADV_POPULATE_WRITE
constexpr int MADV_POPULATE_WRITE = 23; // Linux 5.14; older kernels refuse it (harmless)
#endif

} // namespace

void PageRelease::operator()(unsigned char* p) const {
    if (mappedBytes != 0)
        munmap(p, mappedBytes);
    else
        delete[] p;
}

PageBuffer AllocatePages(std::size_t bytes, std::size_t prefaultBytes) {
    if (bytes < kMapThreshold)
        return PageBuffer(new (std::nothrow) unsigned char[bytes == 0 ? 1 : bytes], PageRelease{});
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return PageBuffer(new (std::nothrow) unsigned char[bytes], PageRelease{});
    const std::size_t prefault = std::min(prefaultBytes, bytes);
    if (prefault != 0)
        madvise(p, prefault, MADV_POPULATE_WRITE); // only a speed-up: failure changes nothing
    return PageBuffer(static_cast<unsigned char*>(p), PageRelease{bytes});
}
