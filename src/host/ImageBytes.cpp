#include "host/ImageBytes.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "host/ImageFileError.h"

namespace {

std::atomic<bool> g_mappingEnabled{false};
// The mapping the guard answers for, and what it then says; set before the mapping exists.
std::atomic<const unsigned char*> g_begin{nullptr};
std::atomic<const unsigned char*> g_end{nullptr};
char g_prefix[256];
char g_message[4096];
std::size_t g_messageBytes = 0;

void OnBusError(int signal, siginfo_t* info, void*) {
    const auto* address = static_cast<const unsigned char*>(info->si_addr);
    const unsigned char* begin = g_begin.load();
    if (begin != nullptr && address >= begin && address < g_end.load()) {
        // Only async-signal-safe calls from here on.
        const ssize_t ignored = write(STDERR_FILENO, g_message, g_messageBytes);
        (void)ignored;
        _exit(1);
    }
    // Not ours: the default action, as if no guard were installed.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Append(std::size_t& at, const char* text, std::size_t bytes) {
    const std::size_t room = sizeof g_message - 1 - at;
    const std::size_t n = bytes < room ? bytes : room;
    std::memcpy(g_message + at, text, n);
    at += n;
}

void PrepareMessage(const std::string& path) {
    const std::string reason = CliMessage(ImageFileError::ShrankWhileRead, 0, 0, {});
    std::size_t at = 0;
    Append(at, g_prefix, std::strlen(g_prefix));
    Append(at, path.data(), path.size());
    Append(at, ": ", 2);
    Append(at, reason.data(), reason.size());
    g_message[at++] = '\n';
    g_messageBytes = at;
}

} // namespace

void ImageBytes::EnableMapping(const std::string& prefix) {
    const std::size_t n = std::min(prefix.size(), sizeof g_prefix - 1);
    std::memcpy(g_prefix, prefix.data(), n);
    g_prefix[n] = '\0';
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGBUS, &action, nullptr) == 0)
        g_mappingEnabled = true;
}

bool ImageBytes::MappingEnabled() {
    return g_mappingEnabled && !kHeapBuffersOnly;
}

ImageBytes::~ImageBytes() {
    Release();
}

void ImageBytes::Release() {
    if (m_mapped) {
        g_begin = nullptr;
        g_end = nullptr;
        munmap(m_mapped, m_size);
    }
    m_mapped = nullptr;
    m_read.reset();
    m_data = nullptr;
    m_size = 0;
}

bool ImageBytes::Read(int fd, std::size_t length, const std::string& path) {
    Release();
    static const unsigned char kEmpty = 0;
    if (length == 0) {
        m_data = &kEmpty;
        return true;
    }
    if (MappingEnabled()) {
        PrepareMessage(path);
        void* p = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p != MAP_FAILED) {
            m_mapped = p;
            m_data = static_cast<const unsigned char*>(p);
            m_size = length;
            g_end = m_data + length;
            g_begin = m_data;
            return true;
        }
        // A file system that cannot map files: read it as everywhere else.
    }
    m_read = AllocatePages(length, length);
    if (!m_read) {
        errno = ENOMEM;
        return false;
    }
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = pread(fd, m_read.get() + got, length - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // the file shrank while it was read
            m_read.reset();
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    m_data = m_read.get();
    m_size = length;
    return true;
}
