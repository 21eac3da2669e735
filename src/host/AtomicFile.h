#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/stat.h>

// Replaces the file at a path with new contents in one step: the bytes go to an unnamed file
// (O_TMPFILE) in the same folder, which gets a name only once it is complete and is then
// renamed over the path. A process killed on the way leaves the old file whole and nothing
// beside it. The path's own directory entry is replaced: a symbolic link standing there is
// replaced by the file, never written through. Where the file system has no O_TMPFILE a
// named temporary file is used instead and removed on SIGINT, SIGTERM and SIGHUP.
class AtomicFile {
public:
    struct Result {
        bool ok = false;
        int sysError = 0;
        enum class Step { None, Create, Write, Replace } failedAt = Step::None;
        struct stat written {}; // the new file, when ok
    };

    // old (when given) is the file being replaced, opened for reading: the new file takes its
    // mode, its owner and group (as far as this process may give them) and its extended
    // attributes. Without it the new file gets 0666 less the umask.
    static Result Replace(const std::string& path, const unsigned char* data, std::size_t bytes,
                          int oldFd = -1);
    // The same, with the contents written by write to the new file's descriptor: false (with
    // errno set) when it could not write them all.
    using Writer = std::function<bool(int fd)>;
    static Result Replace(const std::string& path, const Writer& write, int oldFd = -1,
                          bool keepExisting = false);
    // As Replace, but anything already at path (a file, folder or link) stays: the new file
    // only ever takes a free name, else the result fails at Replace with EEXIST.
    static Result Create(const std::string& path, const unsigned char* data, std::size_t bytes);
    // write() until all bytes are written; false with errno set otherwise.
    static bool WriteAll(int fd, const unsigned char* data, std::size_t bytes);

    // Test hook: behave as if the file system had no O_TMPFILE.
    static void ForceNamedTemporaryForTests(bool force);
};
