#include "host/TransferFolder.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kLockName = "lock";

// A folder of ours that nobody else can have put there: a real folder owned by this user.
bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}

int OpenLock(const std::string& path, bool create) {
    return open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    // remove_all removes symbolic links themselves, never what they lead to.
    std::filesystem::remove_all(path, ec);
}

// Holds the base folder's lock while an instance sweeps or makes its own folder.
class BaseLock {
public:
    explicit BaseLock(const std::string& base) : m_fd(OpenLock(base + "/" + kLockName, true)) {
        if (m_fd.get() >= 0)
            flock(m_fd.get(), LOCK_EX);
    }

private:
    Fd m_fd;
};

} // namespace

TransferFolder::TransferFolder(std::string base) : m_base(std::move(base)) {
    if (!m_base.empty() && IsOwnFolder(m_base))
        SweepEnded();
}

TransferFolder::~TransferFolder() {
    if (!m_own.empty())
        RemoveTree(m_own);
}

std::string TransferFolder::DefaultBase() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
        return std::string(runtime) + "/darvex";
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp && *tmp == '/' ? tmp : "/tmp";
    return folder + "/darvex-" + std::to_string(geteuid());
}

bool TransferFolder::PrepareBase(int* sysError) {
    if (m_base.empty()) {
        *sysError = ENOENT;
        return false;
    }
    if (mkdir(m_base.c_str(), 0700) != 0 && errno != EEXIST) {
        *sysError = errno;
        return false;
    }
    // Someone else's folder (or a link) in a shared temporary folder is not used.
    if (!IsOwnFolder(m_base)) {
        *sysError = EPERM;
        return false;
    }
    chmod(m_base.c_str(), 0700);
    return true;
}

bool TransferFolder::MakeOwn(int* sysError) {
    if (!m_own.empty())
        return true;
    if (!PrepareBase(sysError))
        return false;
    BaseLock guard(m_base);
    std::string pattern = m_base + "/" + std::to_string(getpid()) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        *sysError = errno;
        return false;
    }
    const std::string own(name.data());
    m_lock.reset(OpenLock(own + "/" + kLockName, true));
    if (m_lock.get() < 0 || flock(m_lock.get(), LOCK_EX | LOCK_NB) != 0) {
        *sysError = errno;
        m_lock.reset(-1);
        RemoveTree(own);
        return false;
    }
    m_own = own;
    return true;
}

std::string TransferFolder::NewFolder(int* sysError) {
    int ignored = 0;
    int& error = sysError ? *sysError : ignored;
    error = 0;
    if (!MakeOwn(&error))
        return {};
    for (;;) {
        const std::string folder = m_own + "/" + std::to_string(++m_next);
        if (mkdir(folder.c_str(), 0700) == 0)
            return folder;
        if (errno != EEXIST) {
            error = errno;
            return {};
        }
    }
}

void TransferFolder::Remove(const std::string& folder) {
    if (m_own.empty() || folder.size() <= m_own.size() + 1 ||
        folder.compare(0, m_own.size() + 1, m_own + "/") != 0 ||
        folder.find('/', m_own.size() + 1) != std::string::npos)
        return;
    RemoveTree(folder);
}

void TransferFolder::SweepEnded() {
    BaseLock guard(m_base);
    DIR* dir = opendir(m_base.c_str());
    if (!dir)
        return;
    std::vector<std::string> ended;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == kLockName)
            continue;
        const std::string path = m_base + "/" + name;
        if (path == m_own || !IsOwnFolder(path))
            continue;
        Fd lock(OpenLock(path + "/" + kLockName, false));
        // A folder without a lock file was left by an instance that ended before it locked
        // (the base lock keeps a live one from being seen that way).
        if (lock.get() < 0 ? errno == ENOENT : flock(lock.get(), LOCK_EX | LOCK_NB) == 0)
            ended.push_back(path);
    }
    closedir(dir);
    for (const std::string& path : ended)
        RemoveTree(path);
}
