#pragma once

#include <string>

class DiskImage;

// The document's one door to image files on the host: reading, the safe save, and the stamp
// that tells whether another program changed the file since we read or wrote it.
struct FileStamp {
    bool valid = false;
    unsigned long long device = 0, inode = 0, size = 0;
    long long mtimeSec = 0, mtimeNsec = 0;

    bool operator==(const FileStamp&) const = default;
};

enum class ImageReadResult { Ok, CannotRead, NotD88 };

class DocImageFile {
public:
    // path is UTF-8. On failure disk is unchanged and reason says why.
    static ImageReadResult Read(const std::string& path, DiskImage& disk, std::string& reason,
                                FileStamp& stamp);
    // Atomic replace; on failure the old file is unchanged.
    static bool Write(const std::string& path, const DiskImage& disk, std::string& reason,
                      FileStamp& stamp);
    // The current stamp of path; not valid when it cannot be read.
    static FileStamp StampOf(const std::string& path);
};
