#pragma once

#include <string>

// The per-user desktop registration of a program that runs without a system-wide
// installation: the desktop file, the MIME type and the icons under the XDG data folder.
//
// Every file it writes carries a mark with a checksum of the rest of the file. A file without
// a valid mark is someone else's (the user's own, an installation's, or ours edited since) and
// is neither replaced nor removed; links at those paths are never followed.
class ShellRegistration {
public:
    // $XDG_DATA_HOME, or $HOME/.local/share; empty when neither names an absolute folder.
    static std::string UserDataHome();
    // Whether a system-wide installation (any folder of $XDG_DATA_DIRS) has the desktop file.
    static bool InstalledSystemWide();
    static bool UserRegistered();
    // Registers for the current user when there is no desktop file yet; exe is the program's
    // absolute path. Where a system-wide installation exists, removes our registration
    // instead. Returns whether the desktop file was written.
    static bool RegisterIfNeeded(const std::string& exe);
    // Removes those files of the current user's registration that are still as we wrote them.
    // False when one of them could not be removed.
    static bool Unregister();

    // The embedded desktop file, marked, with its Exec line naming exe; empty when exe cannot
    // stand in a desktop file (not absolute, not UTF-8, or holding a control character).
    static std::string DesktopFileFor(const std::string& exe);
};
