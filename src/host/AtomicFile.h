#pragma once

#include <cerrno>
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
//
// A file that may be written but not replaced (another user's file, whose owner a rename would
// change, or one in a sticky folder) is rewritten in place instead (Rewrite).
class AtomicFile {
public:
    struct Result {
        bool ok = false;
        int sysError = 0;
        // Create: no new file (or copy of the old one) could be made beside the path; Write:
        // writing the new contents failed; Sync: flushing them to the disk failed; Replace:
        // naming the finished file or the rename failed.
        enum class Step { None, Create, Write, Sync, Replace } failedAt = Step::None;
        struct stat written {}; // the new file, when ok
        // Rewrite only: after a failed write the old contents could not be put back; this whole
        // copy of them was kept beside the file.
        std::string keptCopy;
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
    // Writes the new contents into the file itself (oldFd, open for reading, is that file), so
    // that its owner, mode and links stay. A complete copy of the old contents is made beside it
    // first and removed after success: a crash mid-write leaves that whole copy. A failed write
    // puts the old contents back; only when that fails too is the copy kept (Result::keptCopy).
    static Result Rewrite(const std::string& path, const Writer& write, int oldFd);
    // write() until all bytes are written; false with errno set otherwise.
    static bool WriteAll(int fd, const unsigned char* data, std::size_t bytes);

    // Test hooks. Faults make the system calls behind a replacement fail as a full disk, a
    // failing device or a refused rename would; {} ends them.
    struct Faults {
        int failSyncFrom = 0;        // this fsync of a file (counted from 1) and all later fail
        bool failRename = false;     // the rename over the path fails
        std::uint64_t fileLimit = 0; // writes past this many bytes of a file fail (ENOSPC)
        int error = EIO;             // errno of a failing fsync or rename
    };
    static void InjectFaultsForTests(const Faults& faults);
    // Behave as if the file system had no O_TMPFILE.
    static void ForceNamedTemporaryForTests(bool force);
};
