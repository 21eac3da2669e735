#pragma once

#include <cstddef>
#include <string>

#include "image/PageBuffer.h"

// The bytes of an image file for one decode. Where the process has turned it on (the
// command-line tool: EnableMapping), the file is mapped read-only: no copy, and no page fault
// per 4 KiB, which would cost more than the whole command otherwise does. Elsewhere it is read
// into fresh pages.
//
// Another program cutting the file short while it is mapped raises SIGBUS on the missing
// pages. The guard EnableMapping installs then writes
//   prefix + path + ": " + CliMessage(ImageFileError::ShrankWhileRead)
// to standard error and ends the process with status 1. The mapping lives only while the file
// is decoded, before anything is written, so ending there changes nothing on disk.
class ImageBytes {
public:
    ImageBytes() = default;
    ~ImageBytes();
    ImageBytes(const ImageBytes&) = delete;
    ImageBytes& operator=(const ImageBytes&) = delete;

    static void EnableMapping(const std::string& prefix);
    // Whether Read maps files: enabled, and not an AddressSanitizer build (kHeapBuffersOnly).
    static bool MappingEnabled();

    // length bytes of fd from its start; path only names the file in the guard's message.
    // false with errno set when the file could not be read (or was shorter than length).
    bool Read(int fd, std::size_t length, const std::string& path);

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void Release();

    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    void* m_mapped = nullptr; // the mapping, when the bytes are one
    PageBuffer m_read;        // the bytes read, otherwise
};
