#pragma once

#include <string>

// The per-user desktop registration of a program that runs without a system-wide
// installation: the desktop file and the MIME type under the XDG data folder.
class ShellRegistration {
public:
    // $XDG_DATA_HOME, or ~/.local/share.
    static std::string UserDataHome();
    // Whether a system-wide installation (any folder of $XDG_DATA_DIRS) has the desktop file.
    static bool InstalledSystemWide();
    static bool UserRegistered();
    // Registers for the current user when neither exists; exe is the program's absolute path.
    // Returns whether anything was written.
    static bool RegisterIfNeeded(const std::string& exe);
    // Removes the current user's registration. False when a file could not be removed.
    static bool Unregister();

    // The embedded desktop file with its Exec line pointing at exe.
    static std::string DesktopFileFor(const std::string& exe);
};
