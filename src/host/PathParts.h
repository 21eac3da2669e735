#pragma once

#include <optional>
#include <string>

constexpr int PP_DIR = 2, PP_FNAME = 4, PP_EXT = 8, PP_ALL = PP_DIR | PP_FNAME | PP_EXT;

// Splits a host path into directory, file name and extension at "/" and the last dot, lets
// single components be replaced and composes any selection of them. An absent component and a
// present but empty one compose differently, so each is an optional string.
class PathParts {
public:
    // 0 on success; 1 for an empty path.
    int SetPath(const char* path);
    void SetDir(const char* text);
    void SetFname(const char* text);
    void SetExt(const char* text);
    // The returned texts stay valid until the next call on this object.
    const char* GetPath(int flags);
    const char* GetExt() const;
    void Clear();

private:
    friend class PathPartsProbe; // the tests look at the components one by one

    void Split(const std::string& path);
    void SetLastElement(const std::string& path, std::size_t start, std::size_t lastDot);
    void AppendDir(const std::string& path, std::size_t start, std::size_t end);
    std::optional<std::string> m_pszDir;
    std::optional<std::string> m_pszFname;
    std::optional<std::string> m_pszExt;
    std::optional<std::string> m_pszPath;
};
