#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Whole-file reads and writes of host files for the file operations. Only regular files are
// read (a FIFO is refused, not waited on), each to its end whatever length it states (the files
// of /proc say 0). A write replaces the file in one step (AtomicFile):
// a failure or a kill leaves an existing file as it was, a symbolic link at the path is
// replaced rather than written through, and devices, FIFOs, sockets and folders are refused.
class HostFile {
public:
    enum class ReadStatus { Ok, CannotOpen, TooLarge };

    // Reads the whole file into out when it holds at most maxBytes bytes. fileBytes (if given)
    // receives the file's length whenever it could be read, also when it is too large (then at
    // least maxBytes + 1).
    static ReadStatus Read(const char* path, std::size_t maxBytes, std::vector<unsigned char>& out,
                           std::uint64_t* fileBytes = nullptr);
    // Writes the bytes as the whole new content of path. False when path is not a regular file
    // or a link, or when the new file cannot be created, written or renamed into place; path
    // is then as it was. sysError (if given) receives the errno of the failure: EISDIR for a
    // folder, EEXIST for another node that is not ours to replace.
    static bool Write(const char* path, const unsigned char* data, std::size_t bytes,
                      int* sysError = nullptr);
    // As Write, where nothing stands at path yet: anything there stays, and the result is
    // false with EEXIST.
    static bool Create(const char* path, const unsigned char* data, std::size_t bytes,
                       int* sysError = nullptr);
};
