#include "host/AtomicFile.h"
#include "host/Fd.h"

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
        const ssize_t n = write(fd, data, bytes);
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
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
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

    if (!write(file.get()) || !TakeOver(oldFd, file.get()) || fsync(file.get()) != 0) {
        const int error = errno;
        removeNamed();
        return Fail(Step::Write, error);
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
    const bool moved = keepExisting
                           ? RenameNoReplace(dir.get(), tempName, name)
                           : renameat(dir.get(), tempName.c_str(), dir.get(), name.c_str()) == 0;
    if (!moved) {
        const int error = errno;
        removeNamed();
        return Fail(Step::Replace, error);
    }
    // Some file systems cannot sync a folder; the rename has happened all the same.
    fsync(dir.get());
    result.ok = true;
    return result;
}
