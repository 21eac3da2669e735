#include "host/OwnedFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "host/AtomicFile.h"
#include "host/Fd.h"

namespace {

using Outcome = OwnedFile::Outcome;

std::optional<std::string> ReadOpen(int fd, std::size_t maxBytes) {
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > maxBytes)
            return std::nullopt;
    }
}

bool WriteAndSync(int fd, const std::string& text) {
    return AtomicFile::WriteAll(fd, reinterpret_cast<const unsigned char*>(text.data()),
                                text.size()) &&
           fsync(fd) == 0;
}

// The complete file gets its name by a link, which fails when anything (a dangling link
// included) stands at the name: a file made there meanwhile is never replaced.
Outcome CreateOnly(const std::string& path, const std::string& text) {
    const std::filesystem::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : ".";
    const std::string name = p.filename().string();
    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0 || name.empty())
        return Outcome::Failed;
    auto linked = [](int result) {
        if (result == 0)
            return Outcome::Done;
        return errno == EEXIST ? Outcome::NotOurs : Outcome::Failed;
    };

    Fd file(openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() >= 0) {
        if (!WriteAndSync(file.get(), text))
            return Outcome::Failed;
        const std::string self = "/proc/self/fd/" + std::to_string(file.get());
        return linked(linkat(AT_FDCWD, self.c_str(), dir.get(), name.c_str(), AT_SYMLINK_FOLLOW));
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return Outcome::Failed;

    // No unnamed files on this file system: a named one, removed again whatever happens.
    static std::atomic<unsigned> counter{0};
    const std::string temp =
        ".darvex-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    file.reset(openat(dir.get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return Outcome::Failed;
    Outcome outcome = Outcome::Failed;
    if (WriteAndSync(file.get(), text) && file.CloseChecked())
        outcome = linked(linkat(dir.get(), temp.c_str(), dir.get(), name.c_str(), 0));
    unlinkat(dir.get(), temp.c_str(), 0);
    return outcome;
}

} // namespace

std::optional<std::string> OwnedFile::Read(const std::string& path, std::size_t maxBytes) {
    // Non-blocking, so that a FIFO put there is refused rather than waited on.
    Fd file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return ReadOpen(file.get(), maxBytes);
}

OwnedFile::Outcome OwnedFile::Write(const std::string& path, const std::string& text,
                                    const IsOurs& isOurs) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? CreateOnly(path, text) : Outcome::Failed;
    if (!S_ISREG(st.st_mode))
        return Outcome::NotOurs;
    Fd old(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const std::optional<std::string> content = ReadOpen(old.get(), kMaxBytes);
    if (!content || !isOurs(*content))
        return Outcome::NotOurs;
    if (*content == text)
        return Outcome::Done;
    // The rename replaces the name's entry; the old file's mode and owner carry over.
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    return AtomicFile::Replace(path, data, text.size(), old.get()).ok ? Outcome::Done
                                                                      : Outcome::Failed;
}

OwnedFile::Outcome OwnedFile::Remove(const std::string& path, const IsOurs& isOurs) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? Outcome::Done : Outcome::Failed;
    if (!S_ISREG(st.st_mode))
        return Outcome::NotOurs;
    const std::optional<std::string> content = Read(path);
    if (!content || !isOurs(*content))
        return Outcome::NotOurs;
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        return Outcome::Failed;
    return Outcome::Done;
}
