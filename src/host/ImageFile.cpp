#include "host/ImageFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/Messages.h"
#include "host/HostFile.h"
#include "image/DiskImage.h"

namespace {

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

FileStamp StampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.mtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.mtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

ImageFileStatus Failure(ImageFileError error, int sysError = 0) {
    ImageFileStatus status;
    status.error = error;
    status.sysError = sysError;
    return status;
}

} // namespace

std::string ImageFileStatus::MessageEn() const {
    return ::MessageEn(error, sysError, fileBytes, folder);
}

std::string ImageFileStatus::MessageJa() const {
    return ::MessageJa(error);
}

std::optional<FileStamp> ImageFile::CurrentStamp(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return StampOf(st);
}

ImageFileStatus ImageFile::Load(const std::string& path, DiskImage& disk, FileStamp* stamp) {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t length = 0;
    std::uint64_t fileBytes = 0;
    const std::optional<FileStamp> before = CurrentStamp(path);
    switch (HostFile::ReadUncleared(path.c_str(), kMaxImageFileBytes, bytes, length, &fileBytes)) {
    case HostFile::ReadStatus::CannotOpen:
        return Failure(ImageFileError::CannotRead);
    case HostFile::ReadStatus::TooLarge: {
        ImageFileStatus status = Failure(ImageFileError::TooLarge);
        status.fileBytes = fileBytes;
        return status;
    }
    case HostFile::ReadStatus::Ok:
        break;
    }
    if (disk.Load(bytes.get(), length, 0) != ToInt(LoadResult::Ok))
        return Failure(ImageFileError::NotD88);
    if (stamp && before)
        *stamp = *before;
    return {};
}

ImageFileStatus ImageFile::LoadForChange(const std::string& path, DiskImage& disk,
                                         FileStamp* stamp) {
    ImageFileStatus status = Load(path, disk, stamp);
    if (status.Ok() && !disk.IsMzFileSystem())
        status = Failure(ImageFileError::NotMzFs);
    return status;
}

ImageFileStatus ImageFile::Save(const std::string& path, const DiskImage& disk, FileStamp* stamp) {
    const int size = disk.GetSavedSize(0);
    if (size <= 0)
        return Failure(ImageFileError::NoImage);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    disk.Save(bytes.data(), 0);
    return WriteBytes(path, bytes, stamp);
}

bool ImageFile::Read(const std::string& path, DiskImage& disk, std::string& reason) {
    const ImageFileStatus status = Load(path, disk);
    if (!status.Ok())
        reason = status.MessageEn();
    return status.Ok();
}

bool ImageFile::Write(const std::string& path, const DiskImage& disk, std::string& reason) {
    const ImageFileStatus status = Save(path, disk);
    if (!status.Ok())
        reason = status.MessageEn();
    return status.Ok();
}

bool ImageFile::WriteAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                                std::string& reason) {
    const ImageFileStatus status = WriteBytes(path, bytes);
    if (!status.Ok())
        reason = status.MessageEn();
    return status.Ok();
}

ImageFileStatus ImageFile::WriteBytes(const std::string& path,
                                      const std::vector<unsigned char>& bytes, FileStamp* stamp) {
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
        ImageFileStatus status = Failure(ImageFileError::CannotCreate, errno);
        status.folder = folder.string();
        return status;
    }
    if (!WriteAll(temp.Fd(), bytes.data(), bytes.size()) || fchmod(temp.Fd(), mode) != 0 ||
        fsync(temp.Fd()) != 0)
        return Failure(ImageFileError::CannotWrite, errno);
    struct stat written {};
    const bool haveStamp = fstat(temp.Fd(), &written) == 0;
    if (!temp.Close())
        return Failure(ImageFileError::CannotWrite, errno);
    if (std::rename(temp.Path().c_str(), target.c_str()) != 0)
        return Failure(ImageFileError::CannotReplace, errno);
    temp.Keep();
    SyncFolder(folder);
    if (stamp && haveStamp)
        *stamp = StampOf(written);
    return {};
}
