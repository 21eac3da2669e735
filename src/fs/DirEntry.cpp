#include "fs/DirEntry.h"

#include <cstring>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

static_assert(DirEntry::kBytes == kDirEntryBytes);

DirEntry::DirEntry(const unsigned char* bytes) {
    if (bytes)
        std::memcpy(m_bytes.data(), bytes, kBytes);
}

DirEntry::NameBytes DirEntry::NameField() const {
    NameBytes field;
    std::memcpy(field.data(), m_bytes.data() + kNameOffset, kNameBytes);
    return field;
}

std::uint32_t DirEntry::Date() const {
    return ByteView(m_bytes.data(), kBytes).u32le(26);
}

std::string DirEntry::NameText() const {
    return NameFieldText(m_bytes.data() + kNameOffset);
}

void DirEntry::SetNameField(const NameBytes& field) {
    std::memcpy(m_bytes.data() + kNameOffset, field.data(), kNameBytes);
}

void DirEntry::SetNameText(std::string_view name) {
    NameBytes field{};
    std::size_t n = name.size() < kMaxStoredName ? name.size() : kMaxStoredName;
    std::memcpy(field.data(), name.data(), n);
    field[n] = 0x0D;
    SetNameField(field);
}

void DirEntry::SetDate(std::uint32_t date) {
    MutableByteView(m_bytes.data(), kBytes).setU32le(26, date);
}

std::string NameFieldText(const unsigned char* field17) {
    std::string text;
    if (!field17)
        return text;
    for (std::size_t i = 0; i < DirEntry::kNameBytes; ++i) {
        unsigned char c = field17[i];
        if (c == 0x00 || c == 0x0D)
            break;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

void TerminateNameField(MutableByteView field) {
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field.u8(i) == 0x00) {
            field.setU8(i, 0x0D);
            return;
        }
    }
}

bool IsDotName(std::string_view name) {
    return name == "." || name == "..";
}

bool DirectoryInImage(const DiskImage& disk, long long dirSector) {
    if (dirSector < 0)
        return false;
    long long sectors = static_cast<long long>(disk.GetImageSize() / kSectorBytes);
    return dirSector <= sectors - kDirSectors;
}

std::array<DirEntry, 64> ReadDirectory(const DiskImage& disk, int dirSector) {
    static_assert(kDirEntries == 64);
    std::array<DirEntry, 64> entries{};
    long long sectors = static_cast<long long>(disk.GetImageSize() / kSectorBytes);
    unsigned char sector[kSectorBytes];
    constexpr int kPerSector = kSectorBytes / kDirEntryBytes;
    for (int s = 0; s < kDirSectors; ++s) {
        long long at = static_cast<long long>(dirSector) + s;
        if (at < 0 || at >= sectors)
            continue; // stays zero: free entries
        disk.ReadSector(sector, static_cast<int>(at));
        for (int k = 0; k < kPerSector; ++k)
            entries[s * kPerSector + k] = DirEntry(sector + k * kDirEntryBytes);
    }
    return entries;
}

int FreeEntryIndex(const DiskImage& disk) {
    if (!disk.HasImage() || !DirectoryInImage(disk, disk.GetCurrentDir()))
        return -1;
    const auto entries = ReadDirectory(disk, disk.GetCurrentDir());
    for (int i = 0; i < kDirEntries; ++i)
        if (entries[static_cast<std::size_t>(i)].IsFree())
            return i;
    return -1;
}

bool NameTaken(const DiskImage& disk, int dirSector, std::string_view name, int except) {
    if (name.empty())
        return true;
    const auto entries = ReadDirectory(disk, dirSector);
    for (int i = 0; i < kDirEntries; ++i) {
        const DirEntry& e = entries[static_cast<std::size_t>(i)];
        if (i != except && !e.IsFree() && e.NameText() == name)
            return true;
    }
    return false;
}

bool DirectoryWritable(const DiskImage& disk, int dirSector) {
    if (!DirectoryInImage(disk, dirSector))
        return false;
    if (dirSector == kRootDirSector)
        return true;
    const long long dataStart =
        static_cast<long long>(disk.GetFirstDataCluster()) * disk.GetSectorsPerCluster();
    return dirSector >= dataStart;
}
