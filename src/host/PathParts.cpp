#include "host/PathParts.h"

namespace {

constexpr std::size_t kNoDot = std::string::npos;

std::optional<std::string> Copy(const char* text) {
    return std::string(text ? text : "");
}

} // namespace

void PathParts::Clear() {
    m_pszDir.reset();
    m_pszFname.reset();
    m_pszExt.reset();
    m_pszPath.reset();
}

int PathParts::SetPath(const char* path) {
    Clear();
    m_pszPath = Copy(path);
    const std::string& text = *m_pszPath;
    if (text.empty())
        return 1;
    Split(text);
    return 0;
}

void PathParts::AppendDir(const std::string& path, std::size_t start, std::size_t end) {
    if (!m_pszDir)
        m_pszDir.emplace();
    m_pszDir->append(path, start, end - start);
}

// The last element: the file name before its last dot and the extension after it, or the
// whole element as the file name when it has no dot.
void PathParts::SetLastElement(const std::string& path, std::size_t start, std::size_t lastDot) {
    if (lastDot == kNoDot) {
        m_pszFname = path.substr(start);
        return;
    }
    m_pszFname = path.substr(start, lastDot - start);
    m_pszExt = path.substr(lastDot + 1);
}

void PathParts::Split(const std::string& path) {
    std::size_t start = 0;
    std::size_t lastDot = kNoDot;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/') {
            AppendDir(path, start, i + 1);
            start = i + 1;
            lastDot = kNoDot;
        } else if (path[i] == '.') {
            lastDot = i;
        }
    }
    SetLastElement(path, start, lastDot);
}

void PathParts::SetDir(const char* text) {
    m_pszDir = Copy(text);
    GetPath(PP_ALL);
}

void PathParts::SetFname(const char* text) {
    m_pszFname = Copy(text);
    GetPath(PP_ALL);
}

void PathParts::SetExt(const char* text) {
    m_pszExt = Copy(text);
    GetPath(PP_ALL);
}

const char* PathParts::GetPath(int flags) {
    std::string path;
    if ((flags & PP_DIR) && m_pszDir) {
        path += *m_pszDir;
        if (!path.empty() && path.back() != '/')
            path += '/';
    }
    if ((flags & PP_FNAME) && m_pszFname)
        path += *m_pszFname;
    if ((flags & PP_EXT) && m_pszExt && !m_pszExt->empty()) {
        path += '.';
        path += *m_pszExt;
    }
    m_pszPath = std::move(path);
    return m_pszPath->c_str();
}

const char* PathParts::GetExt() const {
    return m_pszExt ? m_pszExt->c_str() : "";
}
