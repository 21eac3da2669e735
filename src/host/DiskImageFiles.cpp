#include "host/DiskImageFiles.h"

#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FsLimits.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "host/ExtractOutput.h"
#include "host/HostFile.h"

int ExportFile(const DiskImage& disk, int entryIndex, const char* path, int format) {
    // An entry number outside the directory names no file: nothing is created.
    std::vector<unsigned char> bytes;
    if (path == nullptr ||
        disk.ExportToBuffer(entryIndex, format, bytes) != ToInt(ExportResult::Ok))
        return ToInt(ExportResult::CannotWrite);
    if (!HostFile::Write(path, bytes.data(), bytes.size()))
        return ToInt(ExportResult::CannotWrite);
    return ToInt(ExportResult::Ok);
}

int ImportFile(DiskImage& disk, const char* path, unsigned char* entry, int plain,
               int storageMode) {
    // A full directory is reported before the host file is even opened.
    if (FreeEntryIndex(disk) < 0)
        return ToInt(ImportResult::NoFreeEntry);
    if (path == nullptr)
        return ToInt(ImportResult::CannotOpen);
    // Nothing longer than the largest BRD body (plus an MZT header) can be stored.
    std::vector<unsigned char> data;
    switch (HostFile::Read(path, kMaxIndexedBytes + MztHeader::kBytes, data)) {
    case HostFile::ReadStatus::CannotOpen:
        return ToInt(ImportResult::CannotOpen);
    case HostFile::ReadStatus::TooLarge:
        return ToInt(ImportResult::TooLarge);
    case HostFile::ReadStatus::Ok:
        break;
    }
    return disk.ImportFromBuffer(data.data(), data.size(), entry, plain, storageMode);
}

int ExtractBootProgram(const DiskImage& disk, const char* path, int format) {
    if (path == nullptr)
        return ToInt(ExtractBootResult::Failed);
    return ToInt(ToResult(ExtractBootToFile(disk, path, format).cause));
}

int RegisterBootProgram(DiskImage& disk, const char* path, const unsigned char* header, int plain) {
    if (path == nullptr)
        return ToInt(RegisterBootResult::CannotOpen);
    std::vector<unsigned char> data;
    // Reading stops at the largest file that could still be registered, the MZT header
    // included; anything longer is refused before it is read.
    const HostFile::ReadStatus status =
        HostFile::Read(path, kMaxSizeField + MztHeader::kBytes, data);
    if (status == HostFile::ReadStatus::CannotOpen)
        return ToInt(RegisterBootResult::CannotOpen);
    if (status == HostFile::ReadStatus::TooLarge)
        return ToInt(RegisterBootResult::TooLarge);
    return disk.RegisterBootFromBuffer(data.data(), data.size(), header, plain);
}
