#include "host/HostFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
};

} // namespace

HostFile::ReadStatus HostFile::Read(const char* path, std::size_t maxBytes,
                                    std::vector<unsigned char>& out, std::uint64_t* fileBytes) {
    FilePtr file(std::fopen(path, "rb"));
    if (!file)
        return ReadStatus::CannotOpen;
    struct stat st {};
    // Only regular files have a length worth trusting; a folder opens but cannot be read.
    if (fstat(fileno(file.get()), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadStatus::CannotOpen;
    const auto length = static_cast<std::uint64_t>(st.st_size);
    if (fileBytes)
        *fileBytes = length;
    if (length > maxBytes)
        return ReadStatus::TooLarge;
    std::vector<unsigned char> data(static_cast<std::size_t>(length));
    if (!data.empty() && std::fread(data.data(), 1, data.size(), file.get()) != data.size())
        return ReadStatus::CannotOpen;
    out = std::move(data);
    return ReadStatus::Ok;
}

HostFile::ReadStatus HostFile::ReadUncleared(const char* path, std::size_t maxBytes,
                                             std::unique_ptr<unsigned char[]>& out,
                                             std::size_t& length, std::uint64_t* fileBytes) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ReadStatus::CannotOpen;
    const std::unique_ptr<const int, void (*)(const int*)> closer(&fd,
                                                                  [](const int* f) { close(*f); });
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return ReadStatus::CannotOpen;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (fileBytes)
        *fileBytes = size;
    if (size > maxBytes)
        return ReadStatus::TooLarge;
    auto data = std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = read(fd, data.get() + got, static_cast<std::size_t>(size) - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return ReadStatus::CannotOpen; // an error, or the file shrank while being read
        got += static_cast<std::size_t>(n);
    }
    out = std::move(data);
    length = got;
    return ReadStatus::Ok;
}

bool HostFile::Write(const char* path, const unsigned char* data, std::size_t bytes) {
    std::FILE* raw = std::fopen(path, "wb");
    if (!raw)
        return false;
    bool ok = bytes == 0 || std::fwrite(data, 1, bytes, raw) == bytes;
    ok = std::fflush(raw) == 0 && ok;
    ok = std::fclose(raw) == 0 && ok;
    struct stat st {};
    // Only a regular file is ours to remove; a device such as /dev/full must stay.
    if (!ok && stat(path, &st) == 0 && S_ISREG(st.st_mode))
        std::remove(path);
    return ok;
}
