#pragma once

#include <optional>
#include <string>

// How a path is taken apart: Windows paths have drive letters, two separators and Shift-JIS
// double-byte characters whose second byte may be a backslash; POSIX paths have "/" only.
enum class PathStyle { Windows, Posix };

constexpr int PP_DRIVE = 1, PP_DIR = 2, PP_FNAME = 4, PP_EXT = 8, PP_ALL = 15;

// Splits a host path into drive, directory, file name and extension, lets single components be
// replaced and composes any selection of them. An absent component and a present but empty
// one compose differently, so each is an optional string.
class PathParts {
public:
    explicit PathParts(PathStyle style = PathStyle::Posix);

    // 0 on success; 1 for an empty path and (Windows) for a colon first or a second colon,
    // with the components found before that point kept.
    int SetPath(const char* path);
    void SetDrive(const char* text);
    void SetDir(const char* text);
    void SetFname(const char* text);
    void SetExt(const char* text);
    // The returned texts stay valid until the next call on this object.
    const char* GetPath(int flags);
    const char* GetExt() const;
    void Clear();

private:
    friend class PathPartsProbe; // the tests look at the components one by one

    int SplitWindows(const std::string& path);
    int SplitPosix(const std::string& path);
    void SetLastElement(const std::string& path, std::size_t start, std::size_t lastDot);
    void AppendDir(const std::string& path, std::size_t start, std::size_t end);
    char Separator() const { return m_style == PathStyle::Windows ? '\\' : '/'; }

    PathStyle m_style;
    std::optional<std::string> m_pszDrive;
    std::optional<std::string> m_pszDir;
    std::optional<std::string> m_pszFname;
    std::optional<std::string> m_pszExt;
    std::optional<std::string> m_pszPath;
};
