#include "host/UriList.h"

#include <cctype>
#include <optional>
#include <unistd.h>

#include "fs/AddressText.h"

namespace {

constexpr std::string_view kFileScheme = "file:";
constexpr char kHex[] = "0123456789ABCDEF";

bool Unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

std::string Encode(const std::string& path) {
    std::string uri = "file://";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (Unreserved(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0x0F];
        }
    }
    return uri;
}

std::optional<std::string> Decode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

bool IsLocalHost(std::string_view host) {
    if (host.empty() || host == "localhost")
        return true;
    char name[256] = {};
    return gethostname(name, sizeof(name) - 1) == 0 && host == name;
}

// The path of one URI: "file:/p", "file:///p", "file://localhost/p" or "file://<this host>/p".
std::optional<std::string> PathOf(std::string_view uri) {
    if (uri.size() < kFileScheme.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kFileScheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != kFileScheme[i])
            return std::nullopt;
    std::string_view rest = uri.substr(kFileScheme.size());
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos || !IsLocalHost(rest.substr(0, slash)))
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest.front() != '/')
        return std::nullopt;
    // A query or fragment has no place in a file's URI.
    if (rest.find_first_of("?#") != std::string_view::npos)
        return std::nullopt;
    return Decode(rest);
}

} // namespace

namespace UriList {

std::string FromPaths(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths)
        list += Encode(path) + "\r\n";
    return list;
}

std::string CopiedFilesFromPaths(const std::vector<std::string>& paths) {
    std::string list = "copy";
    for (const std::string& path : paths)
        list += "\n" + Encode(path);
    return list;
}

std::vector<std::string> ToPaths(std::string_view list, int* skipped) {
    std::vector<std::string> paths;
    int left = 0;
    bool first = true;
    while (!list.empty()) {
        const std::size_t end = list.find_first_of("\r\n");
        std::string_view line = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        // A NUL ends the list: some programs count the C string's terminator in.
        if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
            line = line.substr(0, nul);
            list = {};
        }
        const bool header = first && (line == "copy" || line == "cut");
        first = false;
        if (line.empty() || line.front() == '#' || header)
            continue;
        if (std::optional<std::string> path = PathOf(line))
            paths.push_back(std::move(*path));
        else
            ++left;
    }
    if (skipped)
        *skipped = left;
    return paths;
}

} // namespace UriList
