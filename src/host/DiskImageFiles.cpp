#include "fs/DirEntry.h"
#include "fs/FsLimits.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "host/ExtractOutput.h"
#include "host/HostFile.h"
#include "image/DiskImage.h"

// The file forms of DiskImage's file operations: the host-file edge of the buffer forms in
// src/fs, kept here so that the file system layer reads and writes no host file itself.

int DiskImage::ExportFile(int entryIndex, const char* path, int format) const {
    // An entry number outside the directory names no file: nothing is created.
    std::vector<unsigned char> bytes;
    if (path == nullptr || ExportToBuffer(entryIndex, format, bytes) != ToInt(ExportResult::Ok))
        return ToInt(ExportResult::CannotWrite);
    if (!HostFile::Write(path, bytes.data(), bytes.size()))
        return ToInt(ExportResult::CannotWrite);
    return ToInt(ExportResult::Ok);
}

int DiskImage::ImportFile(const char* path, unsigned char* entry, int plain, int storageMode) {
    // A full directory is reported before the host file is even opened.
    if (FreeEntryIndex(*this) < 0)
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
    return ImportFromBuffer(data.data(), data.size(), entry, plain, storageMode);
}

int DiskImage::ExtractBootProgram(const char* path, int format) const {
    if (path == nullptr)
        return ToInt(ExtractBootResult::Failed);
    return ToInt(ToResult(ExtractBootToFile(*this, path, format).cause));
}

int DiskImage::RegisterBootProgram(const char* path, const unsigned char* header, int plain) {
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
    return RegisterBootFromBuffer(data.data(), data.size(), header, plain);
}
