#include "fs/EntryPack.h"

#include <cstring>

#include "fs/FsLimits.h"
#include "fs/ResultCodes.h"
#include "fs/DiskImage.h"

namespace {

constexpr char kMagic[] = "DARVEXPK";
constexpr std::size_t kMagicBytes = sizeof(kMagic) - 1;
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderBytes = kMagicBytes + 4;
constexpr std::size_t kFileHeadBytes = DirEntry::kBytes + 4;

void PutU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>((v >> shift) & 0xFF));
}

} // namespace

EntryPack::File EntryPack::FromDisk(const DiskImage& disk, int entryIndex) {
    File file;
    disk.ReadDirEntry(file.entry.data(), entryIndex);
    disk.ExportToBuffer(entryIndex, ToInt(ExportFormat::Bin), file.body);
    return file;
}

std::vector<unsigned char> EntryPack::Encode(const std::vector<File>& files) {
    std::vector<unsigned char> out(kMagic, kMagic + kMagicBytes);
    PutU16(out, kVersion);
    PutU16(out, static_cast<std::uint16_t>(files.size()));
    for (const File& f : files) {
        out.insert(out.end(), f.entry.begin(), f.entry.end());
        PutU32(out, static_cast<std::uint32_t>(f.body.size()));
        out.insert(out.end(), f.body.begin(), f.body.end());
    }
    return out;
}

std::optional<std::vector<EntryPack::File>> EntryPack::Decode(ByteView bytes) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, kMagicBytes) != 0 ||
        bytes.u16le(kMagicBytes) != kVersion)
        return std::nullopt;
    const std::size_t count = bytes.u16le(kMagicBytes + 2);
    if (count > kMaxFiles)
        return std::nullopt;
    std::vector<File> files(count);
    std::size_t at = kHeaderBytes;
    for (File& f : files) {
        if (bytes.size() - at < kFileHeadBytes)
            return std::nullopt;
        std::memcpy(f.entry.data(), bytes.data() + at, DirEntry::kBytes);
        const std::size_t length = bytes.u32le(at + DirEntry::kBytes);
        at += kFileHeadBytes;
        if (length > kMaxIndexedBytes || bytes.size() - at < length)
            return std::nullopt;
        f.body.assign(bytes.data() + at, bytes.data() + at + length);
        at += length;
    }
    if (at != bytes.size())
        return std::nullopt;
    return files;
}
