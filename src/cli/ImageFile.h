#pragma once

#include <cstddef>
#include <string>
#include <vector>

class DiskImage;

// Disk image files on the host: read as D88 whatever the extension, always written as D88, and
// written so that the old file stays whole until the new one is complete.
class ImageFile {
public:
    // No real disk comes near this; it keeps a wrong argument from filling memory.
    static constexpr std::size_t kMaxImageFileBytes = 64u << 20;

    // Reads path into disk. On failure false and reason says why; disk is then unchanged.
    static bool Read(const std::string& path, DiskImage& disk, std::string& reason);

    // Saves disk as D88 over path (see WriteAtomically).
    static bool Write(const std::string& path, const DiskImage& disk, std::string& reason);

    // Writes bytes to a temporary file in path's folder, flushes it to the disk, gives it the
    // old file's permissions and renames it over path. On failure false, path is untouched and
    // the temporary file is gone. A symbolic link is written through, not replaced.
    static bool WriteAtomically(const std::string& path, const std::vector<unsigned char>& bytes,
                                std::string& reason);
};
