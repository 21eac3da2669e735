#include "cli/ImageFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/HostFile.h"
#include "fs/ResultCodes.h"
#include "image/DiskImage.h"

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

// Closes the descriptor and removes the temporary file unless the rename took it over.
class TempFile {
public:
    explicit TempFile(std::string pattern) : m_path(std::move(pattern)) {
        m_fd = mkstemp(m_path.data());
        if (m_fd < 0)
            m_path.clear();
    }
    ~TempFile() {
        if (m_fd >= 0)
            close(m_fd);
        if (!m_path.empty())
            unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Valid() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    const std::string& Path() const { return m_path; }
    // A failed close may mean data never reached the file, so its result counts.
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
    int m_fd = -1;
};

bool WriteAll(int fd, const unsigned char* data, std::size_t bytes) {
    while (bytes > 0) {
        ssize_t n = write(fd, data, bytes);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file the name finally refers to, so that a link keeps pointing at the new contents.
std::filesystem::path ResolveTarget(const std::string& path) {
    std::error_code ec;
    std::filesystem::path target(path);
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec)
            return resolved;
    }
    return target;
}

void SyncFolder(const std::filesystem::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    // Some file systems cannot sync a folder; the rename has happened all the same.
    fsync(fd);
    close(fd);
}

} // namespace

bool ImageFile::Read(const std::string& path, DiskImage& disk, std::string& reason) {
    std::vector<unsigned char> bytes;
    std::uint64_t fileBytes = 0;
    switch (HostFile::Read(path.c_str(), kMaxImageFileBytes, bytes, &fileBytes)) {
    case HostFile::ReadStatus::CannotOpen:
        reason = "cannot read the file";
        return false;
    case HostFile::ReadStatus::TooLarge:
        reason = "the file is too large for a disk image (" + std::to_string(fileBytes) +
                 " bytes, at most " + std::to_string(kMaxImageFileBytes) + ")";
        return false;
    case HostFile::ReadStatus::Ok:
        break;
    }
    if (disk.Load(bytes.data(), bytes.size(), 0) != ToInt(LoadResult::Ok)) {
        reason = "not a D88 disk image";
        return false;
    }
    return true;
}

bool ImageFile::Write(const std::string& path, const DiskImage& disk, std::string& reason) {
    const int size = disk.GetSavedSize(0);
    if (size <= 0) {
        reason = "no disk image to save";
        return false;
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    disk.Save(bytes.data(), 0);
    return WriteAtomically(path, bytes, reason);
}

bool ImageFile::WriteAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                                std::string& reason) {
    const std::filesystem::path target = ResolveTarget(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    mode_t mode = NewFileMode();
    struct stat st {};
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        mode = st.st_mode & 07777;

    // Appended piece by piece: GCC 12 -O3 reports a false -Wrestrict for "." + name + ...
    std::string tempName = ".";
    tempName += target.filename().string();
    tempName += ".XXXXXX";
    TempFile temp((folder / tempName).string());
    if (!temp.Valid()) {
        reason = "cannot create a temporary file in " + folder.string() + ": " + ErrnoText(errno);
        return false;
    }
    if (!WriteAll(temp.Fd(), bytes.data(), bytes.size())) {
        reason = "cannot write: " + ErrnoText(errno);
        return false;
    }
    if (fchmod(temp.Fd(), mode) != 0 || fsync(temp.Fd()) != 0) {
        reason = "cannot write: " + ErrnoText(errno);
        return false;
    }
    if (!temp.Close()) {
        reason = "cannot write: " + ErrnoText(errno);
        return false;
    }
    if (std::rename(temp.Path().c_str(), target.c_str()) != 0) {
        reason = "cannot replace the file: " + ErrnoText(errno);
        return false;
    }
    temp.Keep();
    SyncFolder(folder);
    return true;
}
