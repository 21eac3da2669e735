#include "host/HostFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/AtomicFile.h"
#include "host/Fd.h"

HostFile::ReadStatus HostFile::Read(const char* path, std::size_t maxBytes,
                                    std::vector<unsigned char>& out, std::uint64_t* fileBytes) {
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    Fd file(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return ReadStatus::CannotOpen;
    struct stat st {};
    // Only regular files have a length worth trusting; a folder opens but cannot be read.
    if (fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadStatus::CannotOpen;
    const auto length = static_cast<std::uint64_t>(st.st_size);
    if (length > maxBytes) {
        if (fileBytes)
            *fileBytes = length;
        return ReadStatus::TooLarge;
    }
    // Read to the end, not to the length: files of /proc and /sys say 0 and hold more.
    std::vector<unsigned char> data(static_cast<std::size_t>(length) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() > maxBytes)
                break;
            data.resize(
                std::min<std::size_t>(std::max<std::size_t>(data.size() * 2, 4096), maxBytes + 1));
        }
        const ssize_t n = read(file.get(), data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadStatus::CannotOpen;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (fileBytes)
        *fileBytes = std::max<std::uint64_t>(length, got);
    if (got > maxBytes)
        return ReadStatus::TooLarge;
    data.resize(got);
    out = std::move(data);
    return ReadStatus::Ok;
}

namespace {

bool Report(const AtomicFile::Result& result, int* sysError) {
    if (sysError)
        *sysError = result.ok ? 0 : result.sysError;
    return result.ok;
}

} // namespace

bool HostFile::Write(const char* path, const unsigned char* data, std::size_t bytes,
                     int* sysError) {
    struct stat st {};
    int oldFd = -1;
    if (lstat(path, &st) == 0) {
        // A link standing at the path is replaced, never followed; any other kind of node
        // (device, FIFO, socket, folder) is not ours to replace.
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            if (sysError)
                *sysError = S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
            return false;
        }
        if (S_ISREG(st.st_mode))
            oldFd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    Fd old(oldFd);
    return Report(AtomicFile::Replace(path, data, bytes, old.get()), sysError);
}

bool HostFile::Create(const char* path, const unsigned char* data, std::size_t bytes,
                      int* sysError) {
    return Report(AtomicFile::Create(path, data, bytes), sysError);
}
