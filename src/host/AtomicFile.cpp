#include "host/AtomicFile.h"
#include "host/Fd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> g_forceNamed{false};
AtomicFile::Faults g_faults;
int g_syncCalls = 0;

// The named temporary file of the fallback, for the signal handler: written before the file
// exists, cleared once it is renamed or removed.
char g_tempPath[PATH_MAX + 1];
volatile std::sig_atomic_t g_haveTemp = 0;
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTempAndDie(int sig) {
    if (g_haveTemp)
        unlink(g_tempPath);
    std::signal(sig, SIG_DFL);
    raise(sig);
}

class CleanupOnSignal {
public:
    explicit CleanupOnSignal(const std::string& path) {
        if (path.size() > PATH_MAX)
            return;
        std::memcpy(g_tempPath, path.c_str(), path.size() + 1);
        g_haveTemp = 1;
        struct sigaction action {};
        action.sa_handler = RemoveTempAndDie;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i)
            sigaction(kCleanupSignals[i], &action, &m_old[i]);
        m_installed = true;
    }
    ~CleanupOnSignal() {
        g_haveTemp = 0;
        if (m_installed)
            for (std::size_t i = 0; i < std::size(kCleanupSignals); ++i)
                sigaction(kCleanupSignals[i], &m_old[i], nullptr);
    }
    CleanupOnSignal(const CleanupOnSignal&) = delete;
    CleanupOnSignal& operator=(const CleanupOnSignal&) = delete;

private:
    struct sigaction m_old[std::size(kCleanupSignals)]{};
    bool m_installed = false;
};

} // namespace

bool AtomicFile::WriteAll(int fd, const unsigned char* data, std::size_t bytes) {
    while (bytes > 0) {
        std::size_t chunk = bytes;
        if (g_faults.fileLimit > 0) {
            const off_t at = lseek(fd, 0, SEEK_CUR);
            const std::uint64_t room =
                at < 0 || static_cast<std::uint64_t>(at) >= g_faults.fileLimit
                    ? 0
                    : g_faults.fileLimit - static_cast<std::uint64_t>(at);
            if (room == 0) {
                errno = ENOSPC;
                return false;
            }
            chunk = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, room));
        }
        const ssize_t n = write(fd, data, chunk);
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

namespace {

bool SyncFile(int fd) {
    if (g_faults.failSyncFrom > 0 && ++g_syncCalls >= g_faults.failSyncFrom) {
        errno = g_faults.error;
        return false;
    }
    return fsync(fd) == 0;
}

struct PathSplit {
    std::string folder;
    std::string name;
};

PathSplit Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

mode_t DefaultMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Extended attributes (POSIX ACLs among them) of the old file onto the new one. A file
// system without them, or an attribute this process may not set, is passed over.
void CopyXattrs(int from, int to) {
    const ssize_t listBytes = flistxattr(from, nullptr, 0);
    if (listBytes <= 0)
        return;
    std::vector<char> names(static_cast<std::size_t>(listBytes));
    const ssize_t got = flistxattr(from, names.data(), names.size());
    if (got <= 0)
        return;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t valueBytes = fgetxattr(from, name, nullptr, 0);
        if (valueBytes < 0)
            continue;
        std::vector<char> value(static_cast<std::size_t>(valueBytes));
        if (fgetxattr(from, name, value.data(), value.size()) == valueBytes)
            fsetxattr(to, name, value.data(), value.size(), 0);
    }
}

// Mode, owner, group and extended attributes of the old file. Only root may give the file to
// another user; anyone may keep a group they belong to.
bool TakeOver(int oldFd, int fd) {
    struct stat old {};
    if (oldFd < 0 || fstat(oldFd, &old) != 0)
        return fchmod(fd, DefaultMode()) == 0;
    if (geteuid() == 0) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0)
            return false;
    } else {
        [[maybe_unused]] const int ignored = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    CopyXattrs(oldFd, fd);
    // After fchown, which clears set-id bits.
    return fchmod(fd, old.st_mode & 07777) == 0;
}

AtomicFile::Result Fail(AtomicFile::Result::Step step, int error) {
    AtomicFile::Result result;
    result.failedAt = step;
    result.sysError = error;
    return result;
}

// A writer killed between naming its finished file and the rename leaves ".dvxPID-N.tmp";
// the next writer in the folder removes those whose process is gone.
void RemoveStaleTemporaries(const std::string& folder, int dirFd) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 9 || name.compare(0, 4, ".dvx") != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            continue;
        const long pid = std::strtol(name.c_str() + 4, nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlinkat(dirFd, name.c_str(), 0);
    }
    closedir(dir);
}

// Gives the finished file its name only where no other node has it. File systems without
// RENAME_NOREPLACE get a hard link, which never replaces either, and the temporary name goes.
bool RenameNoReplace(int dirFd, const std::string& from, const std::string& to) {
    if (renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) != 0)
        return false;
    unlinkat(dirFd, from.c_str(), 0);
    return true;
}

std::string ShortTempName() {
    static std::atomic<unsigned> counter{0};
    return ".dvx" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

} // namespace

void AtomicFile::ForceNamedTemporaryForTests(bool force) {
    g_forceNamed = force;
}

void AtomicFile::InjectFaultsForTests(const Faults& faults) {
    g_faults = faults;
    g_syncCalls = 0;
}

AtomicFile::Result AtomicFile::Replace(const std::string& path, const unsigned char* data,
                                       std::size_t bytes, int oldFd) {
    return Replace(
        path, [&](int fd) { return WriteAll(fd, data, bytes); }, oldFd);
}

AtomicFile::Result AtomicFile::Create(const std::string& path, const unsigned char* data,
                                      std::size_t bytes) {
    return Replace(
        path, [&](int fd) { return WriteAll(fd, data, bytes); }, -1, true);
}

AtomicFile::Result AtomicFile::Replace(const std::string& path, const Writer& write, int oldFd,
                                       bool keepExisting) {
    using Step = Result::Step;
    const auto [folder, name] = Split(path);
    if (name.empty() || name == "." || name == "..")
        return Fail(Step::Create, EISDIR);

    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return Fail(Step::Create, errno);

    RemoveStaleTemporaries(folder, dir.get());
    Fd file(-1);
    std::string tempName;
    bool named = false;
    if (!g_forceNamed)
        file.reset(openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (file.get() < 0) {
        const int error = errno;
        if (!g_forceNamed && error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
            return Fail(Step::Create, error);
        named = true;
    }
    std::unique_ptr<CleanupOnSignal> cleanup;
    if (named) {
        for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
            tempName = ShortTempName();
            cleanup = std::make_unique<CleanupOnSignal>(folder + "/" + tempName);
            file.reset(
                openat(dir.get(), tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (file.get() < 0 && errno != EEXIST) {
                const int error = errno;
                cleanup.reset();
                return Fail(Step::Create, error);
            }
        }
        if (file.get() < 0)
            return Fail(Step::Create, EEXIST);
    }
    auto removeNamed = [&] {
        if (!tempName.empty())
            unlinkat(dir.get(), tempName.c_str(), 0);
    };

    if (!write(file.get()) || !TakeOver(oldFd, file.get())) {
        const int error = errno;
        removeNamed();
        return Fail(Step::Write, error);
    }
    if (!SyncFile(file.get())) {
        const int error = errno;
        removeNamed();
        return Fail(Step::Sync, error);
    }
    Result result;
    fstat(file.get(), &result.written);

    if (!named) {
        // A name only now that the file is complete; a short one, so that an image whose
        // own name is near the length limit can still be replaced.
        const std::string self = "/proc/self/fd/" + std::to_string(file.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            tempName = ShortTempName();
            if (linkat(AT_FDCWD, self.c_str(), dir.get(), tempName.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            const int error = errno;
            tempName.clear();
            if (error != EEXIST)
                return Fail(Step::Replace, error);
        }
        if (tempName.empty())
            return Fail(Step::Replace, EEXIST);
    }
    if (!file.CloseChecked()) {
        const int error = errno;
        removeNamed();
        return Fail(Step::Write, error);
    }
    const bool moved =
        !g_faults.failRename &&
        (keepExisting ? RenameNoReplace(dir.get(), tempName, name)
                      : renameat(dir.get(), tempName.c_str(), dir.get(), name.c_str()) == 0);
    if (!moved) {
        const int error = g_faults.failRename ? g_faults.error : errno;
        removeNamed();
        return Fail(Step::Replace, error);
    }
    // Some file systems cannot sync a folder; the rename has happened all the same.
    fsync(dir.get());
    result.ok = true;
    return result;
}

namespace {

// The whole file open at fd, read from its start.
bool ReadWhole(int fd, std::vector<unsigned char>& out) {
    struct stat st {};
    if (fstat(fd, &st) != 0)
        return false;
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = pread(fd, out.data() + got, out.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // shorter than it said: not a copy to rely on
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// A new file beside the image for its copy, named after it so that whoever finds it after a
// crash sees what it is; never an existing file. name receives its name.
int CreateCopyFile(int dirFd, const std::string& image, std::string& name) {
    for (int n = 1; n < 100; ++n) {
        name = image + ".dvx-copy" + (n > 1 ? "-" + std::to_string(n) : "");
        int fd =
            openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == ENAMETOOLONG) {
            name = "darvex-copy-" + std::to_string(getpid()) + "-" + std::to_string(n);
            fd = openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        0600);
        }
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Puts the old contents back into the file written in place.
bool PutBack(int fd, const std::vector<unsigned char>& before) {
    return lseek(fd, 0, SEEK_SET) == 0 && AtomicFile::WriteAll(fd, before.data(), before.size()) &&
           ftruncate(fd, static_cast<off_t>(before.size())) == 0 && SyncFile(fd);
}

} // namespace

AtomicFile::Result AtomicFile::Rewrite(const std::string& path, const Writer& write, int oldFd) {
    using Step = Result::Step;
    const auto [folder, name] = Split(path);
    struct stat old {};
    if (oldFd < 0 || fstat(oldFd, &old) != 0 || !S_ISREG(old.st_mode))
        return Fail(Step::Create, oldFd < 0 ? EBADF : EINVAL);
    std::vector<unsigned char> before;
    if (!ReadWhole(oldFd, before))
        return Fail(Step::Create, errno);

    Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return Fail(Step::Create, errno);
    std::string copyName;
    Fd copy(CreateCopyFile(dir.get(), name, copyName));
    if (copy.get() < 0)
        return Fail(Step::Create, errno);
    auto removeCopy = [&] { unlinkat(dir.get(), copyName.c_str(), 0); };
    if (!WriteAll(copy.get(), before.data(), before.size()) || !SyncFile(copy.get()) ||
        !copy.CloseChecked()) {
        const int error = errno;
        removeCopy();
        return Fail(Step::Create, error);
    }
    // The copy's name must outlive a crash as well as its bytes.
    fsync(dir.get());

    // The same file the caller holds, not whatever another program put at the path since.
    Fd file(open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (file.get() < 0 || fstat(file.get(), &now) != 0 || now.st_dev != old.st_dev ||
        now.st_ino != old.st_ino) {
        const int error = file.get() < 0 ? errno : ESTALE;
        removeCopy();
        return Fail(Step::Write, error);
    }

    Step failed = Step::None;
    if (!write(file.get()))
        failed = Step::Write;
    else if (const off_t end = lseek(file.get(), 0, SEEK_CUR);
             end < 0 || ftruncate(file.get(), end) != 0)
        failed = Step::Write;
    else if (!SyncFile(file.get()))
        failed = Step::Sync;
    if (failed != Step::None) {
        Result result = Fail(failed, errno);
        if (PutBack(file.get(), before))
            removeCopy();
        else
            result.keptCopy = (folder == "/" ? "" : folder) + "/" + copyName;
        return result;
    }
    Result result;
    fstat(file.get(), &result.written);
    removeCopy();
    fsync(dir.get());
    result.ok = true;
    return result;
}
