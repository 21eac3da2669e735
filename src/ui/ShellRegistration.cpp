#include "ui/ShellRegistration.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "ShellFiles.h"

namespace fs = std::filesystem;

namespace {

const char* const kDesktopName = "darvex.desktop";
const char* const kMimeName = "darvex-mime.xml";
// Marks the desktop file this program wrote itself: a desktop file without it belongs to an
// installation (say `cmake --install --prefix ~/.local`), which -Unregister must not touch.
const char* const kOwnMark = "X-Darvex-User-Registration=true";

fs::path DesktopPath() {
    return fs::path(ShellRegistration::UserDataHome()) / "applications" / kDesktopName;
}

fs::path MimePath() {
    return fs::path(ShellRegistration::UserDataHome()) / "mime" / "packages" / kMimeName;
}

fs::path IconPath(const char* context, const char* name) {
    return fs::path(ShellRegistration::UserDataHome()) / "icons" / "hicolor" / "scalable" /
           context / (std::string(name) + ".svg");
}

fs::path AppIconPath() {
    return IconPath("apps", "darvex");
}

fs::path DocIconPath() {
    return IconPath("mimetypes", "application-x-d88-floppy-image");
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Runs a refresh tool when it is installed; its absence or failure changes nothing here.
void RunTool(const char* tool, const fs::path& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        execlp(tool, tool, folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid > 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

void Refresh() {
    const fs::path home(ShellRegistration::UserDataHome());
    std::error_code ec;
    if (fs::exists(home / "mime" / "packages", ec))
        RunTool("update-mime-database", home / "mime");
    if (fs::exists(home / "applications", ec))
        RunTool("update-desktop-database", home / "applications");
}

} // namespace

std::string ShellRegistration::UserDataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

bool ShellRegistration::InstalledSystemWide() {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(dirs && *dirs ? dirs : "/usr/local/share:/usr/share");
    std::string dir;
    std::error_code ec;
    while (std::getline(list, dir, ':'))
        if (!dir.empty() && fs::exists(fs::path(dir) / "applications" / kDesktopName, ec))
            return true;
    return false;
}

bool ShellRegistration::UserRegistered() {
    std::error_code ec;
    return fs::exists(DesktopPath(), ec);
}

std::string ShellRegistration::DesktopFileFor(const std::string& exe) {
    std::stringstream in(kDesktopFile);
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.rfind("Exec=", 0) == 0) {
            // The program is not on the PATH: name it by its full path, quoted for the
            // desktop file's own rules.
            std::string quoted = "\"";
            for (char c : exe) {
                if (c == '"' || c == '`' || c == '$' || c == '\\')
                    quoted += '\\';
                quoted += c;
            }
            quoted += '"';
            const std::size_t args = line.find(' ');
            line = "Exec=" + quoted + (args == std::string::npos ? "" : line.substr(args));
        } else if (line.rfind("TryExec=", 0) == 0) {
            line = "TryExec=" + exe;
        }
        out += line + "\n";
        if (line == "[Desktop Entry]")
            out += std::string(kOwnMark) + "\n";
    }
    return out;
}

bool ShellRegistration::RegisterIfNeeded(const std::string& exe) {
    if (kDesktopFile[0] == '\0' || kMimeFile[0] == '\0' || exe.empty())
        return false;
    if (InstalledSystemWide() || UserRegistered())
        return false;
    // The icons first: a desktop file that names a missing icon shows a blank one.
    if (kAppIconSvg[0] != '\0')
        WriteText(AppIconPath(), kAppIconSvg);
    if (kDocIconSvg[0] != '\0')
        WriteText(DocIconPath(), kDocIconSvg);
    if (!WriteText(MimePath(), kMimeFile) || !WriteText(DesktopPath(), DesktopFileFor(exe)))
        return false;
    Refresh();
    return true;
}

bool ShellRegistration::Unregister() {
    std::error_code ec;
    {
        std::ifstream in(DesktopPath(), std::ios::binary);
        std::string line;
        bool ours = false;
        while (!ours && std::getline(in, line))
            ours = line == kOwnMark;
        // No registration of ours (none, or an installation's files): nothing to remove.
        if (!ours)
            return true;
    }
    bool ok = true;
    for (const fs::path& p : {DesktopPath(), MimePath(), AppIconPath(), DocIconPath()}) {
        fs::remove(p, ec);
        ok = ok && !ec;
    }
    Refresh();
    return ok;
}
