#include "host/ImageFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "fs/DiskImage.h"
#include "host/AtomicFile.h"
#include "host/HostFile.h"
#include "host/ImageBytes.h"
#include "host/ImageFileError.h"

namespace {

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

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names: a symbolic link is followed to its target, which must exist.
ImageFileStatus ResolveTarget(const std::string& path, std::string& target) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        target = path;
        return {};
    }
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr)
        return Failure(ImageFileError::BrokenLink, errno);
    target = resolved;
    return {};
}

// Decodes the regular file open at fd (st its fstat) into disk; disk is unchanged on failure.
ImageFileStatus Decode(int fd, const struct stat& st, const std::string& path, DiskImage& disk) {
    const auto length = static_cast<std::uint64_t>(st.st_size);
    if (length > ImageFile::kMaxImageFileBytes) {
        ImageFileStatus status = Failure(ImageFileError::TooLarge);
        status.fileBytes = length;
        return status;
    }
    ImageBytes bytes;
    if (!bytes.Read(fd, static_cast<std::size_t>(length), path))
        return Failure(ImageFileError::CannotRead, errno);
    if (disk.Load(bytes.data(), bytes.size(), 0) != ToInt(LoadResult::Ok))
        return Failure(ImageFileError::NotD88);
    return {};
}

// Whether a new file can be given the old one's owner and group: root can give it any; anyone
// else keeps only their own file, in a group they belong to.
bool CanKeepOwner(const struct stat& old) {
    if (geteuid() == 0)
        return true;
    if (old.st_uid != geteuid())
        return false;
    if (old.st_gid == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 &&
           std::find(groups.begin(), groups.begin() + got, old.st_gid) != groups.begin() + got;
}

struct WriteAccess {
    bool readOnly = false; // marked so: written only when forced
    bool writable = false; // this process may open the file for writing
};

WriteAccess AccessOf(const std::string& path, const struct stat& st) {
    // Root may write any file; one that nobody may write is read-only to root as well.
    if (geteuid() == 0)
        return {(st.st_mode & 0222) == 0, true};
    const bool writable = faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
    return {!writable, writable};
}

} // namespace

std::string ImageFileStatus::CliMessage() const {
    return ::CliMessage(error, sysError, fileBytes, path);
}

std::string ImageFileStatus::UiMessage() const {
    return ::UiMessage(error);
}

// Closing the descriptor lets the lock go.
ImageFileSession::~ImageFileSession() = default;

int ImageFileSession::DefaultWaitMs() {
    constexpr long kMaxWaitMs = 600000;
    const char* text = std::getenv(kWaitVariable);
    if (text == nullptr || *text < '0' || *text > '9')
        return kDefaultWaitMs;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > kMaxWaitMs)
        return kDefaultWaitMs;
    return static_cast<int>(value);
}

ImageFileStatus ImageFileSession::Open(const std::string& path, bool mayCreate, int waitMs) {
    m_fd.reset(-1);
    if (waitMs < 0)
        waitMs = DefaultWaitMs();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (ImageFileStatus status = ResolveTarget(path, m_target); !status.Ok())
            return status;
        struct stat st {};
        if (stat(m_target.c_str(), &st) != 0) {
            if (errno == ENOENT && mayCreate)
                return {};
            return Failure(ImageFileError::CannotRead, errno);
        }
        // Checked before opening: opening a device or a FIFO can itself do things.
        if (!S_ISREG(st.st_mode))
            return Failure(ImageFileError::NotRegular);
        const int fd = open(m_target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return Failure(ImageFileError::CannotRead, errno);
        m_fd.reset(fd);
        struct stat locked {};
        if (fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode)) {
            m_fd.reset(-1);
            return Failure(ImageFileError::NotRegular);
        }
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                const int error = errno;
                m_fd.reset(-1);
                return Failure(ImageFileError::CannotRead, error);
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                m_fd.reset(-1);
                return Failure(ImageFileError::InUse);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // Still the file at the path? A writer may have renamed a new one over it while we
        // waited; its lock then guarded a file nobody will read again.
        struct stat now {};
        if (stat(m_target.c_str(), &now) == 0 && now.st_dev == locked.st_dev &&
            now.st_ino == locked.st_ino)
            return {};
        m_fd.reset(-1);
        if (std::chrono::steady_clock::now() >= deadline)
            return Failure(ImageFileError::InUse);
    }
}

ImageFileStatus ImageFileSession::Load(DiskImage& disk, FileStamp* stamp) {
    if (m_fd.get() < 0)
        return Failure(ImageFileError::CannotRead, ENOENT);
    struct stat st {};
    if (fstat(m_fd.get(), &st) != 0)
        return Failure(ImageFileError::CannotRead, errno);
    if (ImageFileStatus status = Decode(m_fd.get(), st, m_target, disk); !status.Ok())
        return status;
    if (stamp)
        *stamp = StampOf(st);
    return {};
}

std::optional<FileStamp> ImageFileSession::LockedStamp() const {
    struct stat st {};
    if (m_fd.get() < 0 || fstat(m_fd.get(), &st) != 0)
        return std::nullopt;
    return StampOf(st);
}

ImageFileStatus ImageFileSession::Save(const DiskImage& disk, FileStamp* stamp, bool force) {
    if (disk.GetSavedSize(0) <= 0)
        return Failure(ImageFileError::NoImage);
    if (m_target.empty())
        return Failure(ImageFileError::CannotCreate, ENOENT);
    // Encoded piece by piece straight into the new file: no copy of the whole file in memory.
    const AtomicFile::Writer write = [&disk](int fd) {
        errno = ENOMEM; // what SaveTo failing on its own means
        return disk.SaveTo(0, [fd](const unsigned char* data, std::size_t bytes) {
            return AtomicFile::WriteAll(fd, data, bytes);
        });
    };
    struct stat old {};
    const bool haveOld = m_fd.get() >= 0 && fstat(m_fd.get(), &old) == 0;
    bool inPlace = false;
    if (haveOld) {
        const WriteAccess access = AccessOf(m_target, old);
        if (access.readOnly && !force)
            return Failure(ImageFileError::ReadOnly);
        // A rename would hand another user's file to us (or to our group): written in place
        // then, which only a file we may write allows.
        inPlace = !CanKeepOwner(old);
        if (inPlace && !access.writable)
            return Failure(ImageFileError::NotOwner);
    }
    const AtomicFile::Result written = inPlace ? AtomicFile::Rewrite(m_target, write, m_fd.get())
                                               : AtomicFile::Replace(m_target, write, m_fd.get());
    if (!written.ok) {
        switch (written.failedAt) {
        case AtomicFile::Result::Step::Create: {
            ImageFileStatus status = Failure(ImageFileError::CannotCreate, written.sysError);
            status.path = FolderOf(m_target);
            return status;
        }
        case AtomicFile::Result::Step::Replace:
            return Failure(ImageFileError::CannotReplace, written.sysError);
        default:
            if (written.keptCopy.empty())
                return Failure(ImageFileError::CannotWrite, written.sysError);
            ImageFileStatus status = Failure(ImageFileError::CopyKept, written.sysError);
            status.path = written.keptCopy;
            return status;
        }
    }
    ImageFileStatus status;
    // Written in place, every name of the file shows the new disk.
    status.otherLinks = haveOld && old.st_nlink > 1 && !inPlace;
    if (stamp)
        *stamp = StampOf(written.written);
    m_fd.reset(-1);
    return status;
}

std::optional<FileStamp> ImageFile::CurrentStamp(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return StampOf(st);
}

ImageFileStatus ImageFile::Load(const std::string& path, DiskImage& disk, FileStamp* stamp) {
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return Failure(ImageFileError::CannotRead, errno);
    struct stat st {};
    if (fstat(fd.get(), &st) != 0)
        return Failure(ImageFileError::CannotRead, errno);
    if (!S_ISREG(st.st_mode))
        return Failure(ImageFileError::CannotRead);
    ImageFileStatus status = Decode(fd.get(), st, path, disk);
    if (status.Ok() && stamp)
        *stamp = StampOf(st);
    return status;
}

ImageFileStatus ImageFile::Save(const std::string& path, const DiskImage& disk, FileStamp* stamp,
                                bool force) {
    ImageFileSession session;
    if (ImageFileStatus status = session.Open(path, true); !status.Ok())
        return status;
    return session.Save(disk, stamp, force);
}

bool ImageFile::Write(const std::string& path, const DiskImage& disk, std::string& reason,
                      bool force) {
    const ImageFileStatus status = Save(path, disk, nullptr, force);
    if (!status.Ok())
        reason = status.CliMessage();
    return status.Ok();
}
