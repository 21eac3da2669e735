#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file lists desktop programs exchange by drag and drop and through the clipboard:
// "text/uri-list" (RFC 2483: one URI a line, lines ended by CR LF, "#" lines are comments) and
// the file managers' "x-special/gnome-copied-files" (a first line "copy" or "cut", then the
// URIs). Paths are bytes (UTF-8 on this system); the URIs carry them percent-encoded, so a
// name's bytes arrive whatever the locale of either program.
namespace UriList {

// "file://" URIs of absolute paths, each line ended by CR LF.
std::string FromPaths(const std::vector<std::string>& paths);
// The same list after the line "copy", as a file manager puts copied files on the clipboard.
std::string CopiedFilesFromPaths(const std::vector<std::string>& paths);

// The local paths of a list in either form. URIs of other schemes or of other hosts, and those
// whose escapes are broken or hold a NUL, are left out; `skipped` (if given) counts them.
std::vector<std::string> ToPaths(std::string_view list, int* skipped = nullptr);

} // namespace UriList
