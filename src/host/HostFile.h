#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Whole-file reads and writes of host files for the file operations. The handle is closed on
// every path; a write that fails part-way removes what it wrote.
class HostFile {
public:
    enum class ReadStatus { Ok, CannotOpen, TooLarge };

    // Reads the whole file into out when it holds at most maxBytes bytes. fileBytes (if given)
    // receives the file's length whenever it could be opened, also when it is too large.
    static ReadStatus Read(const char* path, std::size_t maxBytes, std::vector<unsigned char>& out,
                           std::uint64_t* fileBytes = nullptr);
    // As Read, into storage that is not cleared first, since the file's bytes overwrite all of
    // it: disk images are read at every start of the command-line tool.
    static ReadStatus ReadUncleared(const char* path, std::size_t maxBytes,
                                    std::unique_ptr<unsigned char[]>& out, std::size_t& length,
                                    std::uint64_t* fileBytes = nullptr);

    // Creates or truncates path and writes the bytes. False when the file cannot be created or
    // any write, flush or close fails; the partial file is then removed.
    static bool Write(const char* path, const unsigned char* data, std::size_t bytes);
};
