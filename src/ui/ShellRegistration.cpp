#include "ui/ShellRegistration.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include <wx/string.h>

#include "ShellFiles.h"
#include "host/OwnedFile.h"

namespace fs = std::filesystem;

namespace {

const char* const kDesktopName = "darvex.desktop";
const char* const kMimeName = "darvex-mime.xml";

// The mark: a comment line holding this token and the checksum of the file without that line.
constexpr std::string_view kMark = "darvex-user-registration ";
constexpr std::size_t kChecksumDigits = 16;

fs::path DataHome() {
    return fs::path(ShellRegistration::UserDataHome());
}

fs::path DesktopPath() {
    return DataHome() / "applications" / kDesktopName;
}

fs::path MimePath() {
    return DataHome() / "mime" / "packages" / kMimeName;
}

fs::path IconPath(const char* context, const char* name) {
    return DataHome() / "icons" / "hicolor" / "scalable" / context / (std::string(name) + ".svg");
}

fs::path AppIconPath() {
    return IconPath("apps", "darvex");
}

fs::path DocIconPath() {
    return IconPath("mimetypes", "application-x-d88-floppy-image");
}

// FNV-1a: it only has to notice that a file was edited.
std::string Checksum(std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3u;
    }
    char digits[kChecksumDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

// "# ..." at the top of the desktop file; "<!-- ... -->" after the XML declaration, before
// which nothing may stand.
std::string Marked(const std::string& text) {
    const bool xml = text.rfind("<?xml", 0) == 0;
    const std::size_t eol = text.find('\n');
    const std::size_t at = !xml ? 0 : eol == std::string::npos ? text.size() : eol + 1;
    const std::string mark = std::string(kMark) + Checksum(text);
    return text.substr(0, at) + (xml ? "<!-- " + mark + " -->\n" : "# " + mark + "\n") +
           text.substr(at);
}

// The checksum of the first mark line, and the content without that line; none without a mark.
std::optional<std::pair<std::string, std::string>> SplitMark(std::string_view content) {
    const std::size_t token = content.find(kMark);
    if (token == std::string_view::npos)
        return std::nullopt;
    const std::size_t begin = content.rfind('\n', token) + 1; // npos + 1 is 0
    const std::size_t eol = content.find('\n', token);
    const std::size_t end = eol == std::string_view::npos ? content.size() : eol + 1;
    return std::pair{std::string(content.substr(token + kMark.size(), kChecksumDigits)),
                     std::string(content.substr(0, begin)) + std::string(content.substr(end))};
}

// A file of ours that nobody changed: its mark's checksum is that of the rest.
bool Unchanged(const std::string& content) {
    const auto mark = SplitMark(content);
    return mark && Checksum(mark->second) == mark->first;
}

// An Exec argument: quoted, with `"`, '`', '$' and '\' escaped by a backslash, '%' doubled
// (field codes), and the whole escaped once more as a string value, where '\' is "\\".
std::string ExecQuoted(const std::string& exe) {
    std::string quoted = "\"";
    for (char c : exe) {
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\\\";
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

// A string value: '\' escaped; the path starts with '/', so no leading blank needs "\s".
std::string StringValue(const std::string& text) {
    std::string value;
    for (char c : text) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

// Desktop files are UTF-8 and their string values hold no control characters.
bool FitsADesktopFile(const std::string& exe) {
    if (exe.empty() || exe[0] != '/')
        return false;
    for (unsigned char c : exe)
        if (c < 0x20 || c == 0x7F)
            return false;
    return !wxString::FromUTF8(exe.data(), exe.size()).empty();
}

// Runs a refresh tool when it is installed; its absence or failure changes nothing here, and
// its complaints about files of the user's are no business of this program's.
void RunTool(const char* tool, const fs::path& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execlp(tool, tool, folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid > 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

void Refresh() {
    const fs::path home = DataHome();
    std::error_code ec;
    if (fs::exists(home / "mime" / "packages", ec))
        RunTool("update-mime-database", home / "mime");
    if (fs::exists(home / "applications", ec))
        RunTool("update-desktop-database", home / "applications");
}

struct Removal {
    bool ok = true;
    bool removedAny = false;
};

// Removes the files of ours that are as we wrote them; the rest stays.
Removal RemoveOurs() {
    Removal removal;
    for (const fs::path& path : {DesktopPath(), MimePath(), AppIconPath(), DocIconPath()}) {
        std::error_code ec;
        const bool present = fs::exists(fs::symlink_status(path, ec));
        const OwnedFile::Outcome outcome = OwnedFile::Remove(path.string(), Unchanged);
        removal.ok = removal.ok && outcome != OwnedFile::Outcome::Failed;
        removal.removedAny = removal.removedAny || (present && outcome == OwnedFile::Outcome::Done);
    }
    return removal;
}

} // namespace

std::string ShellRegistration::UserDataHome() {
    // Relative folders are not valid in these variables and are passed over.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/share";
    return {};
}

bool ShellRegistration::InstalledSystemWide() {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(dirs && *dirs ? dirs : "/usr/local/share:/usr/share");
    std::string dir;
    while (std::getline(list, dir, ':')) {
        if (dir.empty() || dir[0] != '/')
            continue;
        // Our own registration, seen through a data folder listed here too, is no installation.
        std::error_code ec;
        const fs::path desktop = fs::path(dir) / "applications" / kDesktopName;
        if (!fs::exists(desktop, ec))
            continue;
        const std::optional<std::string> content = OwnedFile::Read(fs::canonical(desktop, ec));
        if (!content || !SplitMark(*content))
            return true;
    }
    return false;
}

bool ShellRegistration::UserRegistered() {
    if (UserDataHome().empty())
        return false;
    std::error_code ec;
    return fs::exists(fs::symlink_status(DesktopPath(), ec));
}

std::string ShellRegistration::DesktopFileFor(const std::string& exe) {
    if (!FitsADesktopFile(exe))
        return {};
    std::stringstream in(kDesktopFile);
    std::string out, line;
    while (std::getline(in, line)) {
        // The program is not on the PATH: it is named by its full path.
        if (line.rfind("Exec=", 0) == 0) {
            const std::size_t args = line.find(' ');
            line = "Exec=" + ExecQuoted(exe) + (args == std::string::npos ? "" : line.substr(args));
        } else if (line.rfind("TryExec=", 0) == 0) {
            line = "TryExec=" + StringValue(exe);
        }
        out += line + "\n";
    }
    return Marked(out);
}

bool ShellRegistration::RegisterIfNeeded(const std::string& exe) {
    if (UserDataHome().empty() || kDesktopFile[0] == '\0' || kMimeFile[0] == '\0')
        return false;
    if (InstalledSystemWide()) {
        // The installation's entry is the one the desktop should use from now on.
        if (RemoveOurs().removedAny)
            Refresh();
        return false;
    }
    const std::string desktop = DesktopFileFor(exe);
    if (desktop.empty() || UserRegistered())
        return false;
    // The icons first: a desktop file that names a missing icon shows a blank one. A user's
    // own icon or MIME file of the same name stays as it is.
    if (kAppIconSvg[0] != '\0')
        OwnedFile::Write(AppIconPath().string(), Marked(kAppIconSvg), Unchanged);
    if (kDocIconSvg[0] != '\0')
        OwnedFile::Write(DocIconPath().string(), Marked(kDocIconSvg), Unchanged);
    if (OwnedFile::Write(MimePath().string(), Marked(kMimeFile), Unchanged) ==
            OwnedFile::Outcome::Failed ||
        OwnedFile::Write(DesktopPath().string(), desktop, Unchanged) != OwnedFile::Outcome::Done)
        return false;
    Refresh();
    return true;
}

bool ShellRegistration::Unregister() {
    if (UserDataHome().empty())
        return true;
    const Removal removal = RemoveOurs();
    if (removal.removedAny)
        Refresh();
    return removal.ok;
}
