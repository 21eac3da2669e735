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

using PageBuffer = std::unique_ptr<unsigned char[], PageRelease>;

// bytes of storage whose contents are unspecified, or nullptr when memory is exhausted (never
// throws). The first prefaultBytes of it (clamped to bytes) are made resident at once; the
// rest is faulted in when touched. Small buffers come from new[].
PageBuffer AllocatePages(std::size_t bytes, std::size_t prefaultBytes);
