#include "doc/DocImageFile.h"

#include <sys/stat.h>

#include "cli/ImageFile.h"
#include "fs/HostFile.h"
#include "fs/ResultCodes.h"
#include "image/DiskImage.h"

ImageReadResult DocImageFile::Read(const std::string& path, DiskImage& disk, std::string& reason,
                                   FileStamp& stamp) {
    // Taken first: a change made while we read shows up as a change at the next save.
    const FileStamp before = StampOf(path);
    std::vector<unsigned char> bytes;
    if (HostFile::Read(path.c_str(), ImageFile::kMaxImageFileBytes, bytes) !=
        HostFile::ReadStatus::Ok) {
        reason = "cannot read the file";
        return ImageReadResult::CannotRead;
    }
    if (disk.Load(bytes.data(), bytes.size(), 0) != ToInt(LoadResult::Ok)) {
        reason = "not a D88 disk image";
        return ImageReadResult::NotD88;
    }
    stamp = before;
    return ImageReadResult::Ok;
}

bool DocImageFile::Write(const std::string& path, const DiskImage& disk, std::string& reason,
                         FileStamp& stamp) {
    if (!ImageFile::Write(path, disk, reason))
        return false;
    stamp = StampOf(path);
    return true;
}

FileStamp DocImageFile::StampOf(const std::string& path) {
    FileStamp s;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return s;
    s.valid = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = static_cast<unsigned long long>(st.st_size);
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    return s;
}
