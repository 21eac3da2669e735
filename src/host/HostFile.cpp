#include "host/HostFile.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

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
