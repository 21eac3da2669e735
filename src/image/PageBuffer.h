#pragma once

#include <cstddef>
#include <memory>

// Whole-disk buffers (a flat image, a D88 file's bytes) are written from end to end right
// after they are allocated. Taking their pages from the kernel in one call is several times
// cheaper than one page fault per 4 KiB, which is most of what a short command costs.
struct PageRelease {
    std::size_t mappedBytes = 0; // 0: the buffer came from new[]
    void operator()(unsigned char* p) const;
};

// AddressSanitizer guards heap blocks, not mappings: built with it, buffers of whole files and
// disks come from the heap only (here and in the host layer's file reads).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kHeapBuffersOnly = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kHeapBuffersOnly = true;
#else
inline constexpr bool kHeapBuffersOnly = false;
#endif
#else
inline constexpr bool kHeapBuffersOnly = false;
#endif

using PageBuffer = std::unique_ptr<unsigned char[], PageRelease>;

// bytes of storage whose contents are unspecified, or nullptr when memory is exhausted (never
// throws). The first prefaultBytes of it (clamped to bytes) are made resident at once; the
// rest is faulted in when touched. Small buffers come from new[].
PageBuffer AllocatePages(std::size_t bytes, std::size_t prefaultBytes);
