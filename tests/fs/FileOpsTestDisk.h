#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fs/DirEntry.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"

// Helpers for the file-operation tests: flat copies of an image, byte-level edits of a
// formatted disk and entries built field by field.
namespace fileops {

inline std::vector<unsigned char> Snapshot(const DiskImage& disk) {
    const ByteView image = disk.Image();
    return {image.data(), image.data() + image.size()};
}

// A formatted disk of a type, taken in its flat form so that tests can edit bytes before
// loading it.
class FlatDisk {
public:
    explicit FlatDisk(int diskType) {
        DiskImage disk;
        disk.Format(diskType);
        m_bytes = Snapshot(disk);
    }

    unsigned char* At(std::size_t offset) { return &m_bytes.at(offset); }
    unsigned char* Sector(int sector) {
        return At(static_cast<std::size_t>(sector) * kSectorBytes);
    }
    std::size_t Size() const { return m_bytes.size(); }

    void PutEntry(int dirSector, int index, const DirEntry& entry) {
        std::memcpy(At(static_cast<std::size_t>(dirSector) * kSectorBytes +
                       static_cast<std::size_t>(index) * kDirEntryBytes),
                    entry.Bytes().data(), DirEntry::kBytes);
    }
    void PutLink(int sector, std::uint16_t next) {
        Sector(sector)[254] = static_cast<unsigned char>(next & 0xFF);
        Sector(sector)[255] = static_cast<unsigned char>(next >> 8);
    }
    void PutWord(std::size_t offset, std::uint16_t value) {
        *At(offset) = static_cast<unsigned char>(value & 0xFF);
        *At(offset + 1) = static_cast<unsigned char>(value >> 8);
    }
    void FillSector(int sector, unsigned char value) {
        std::memset(Sector(sector), value, kSectorBytes);
    }
    // Bit position 48 + k of the bitmap.
    void SetUsed(int k, bool used = true) {
        const int p = kBitmapFirstPosition + k;
        unsigned char& byte = *At(kBitmapOffset + static_cast<std::size_t>(p / 8));
        byte = static_cast<unsigned char>(used ? byte | (1u << (p % 8)) : byte & ~(1u << (p % 8)));
    }
    std::vector<unsigned char>& Bytes() { return m_bytes; }

    void LoadInto(DiskImage& disk) const {
        ASSERT_EQ(disk.Load(m_bytes.data(), m_bytes.size(), 1), 0);
    }

private:
    std::vector<unsigned char> m_bytes;
};

inline DirEntry Entry(std::uint8_t mode, const std::string& name, std::uint16_t size,
                      std::uint16_t startSector = 0, std::uint16_t load = 0,
                      std::uint16_t exec = 0) {
    DirEntry e;
    e.SetMode(mode);
    e.SetNameText(name);
    e.SetSize(size);
    e.SetStartSector(startSector);
    e.SetLoadAddress(load);
    e.SetExecAddress(exec);
    return e;
}

// Bytes that differ from one position to the next, so that misplaced copies show.
inline std::vector<unsigned char> Pattern(std::size_t n, unsigned seed = 1) {
    std::vector<unsigned char> v(n);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
    }
    return v;
}

inline bool BitUsed(const DiskImage& disk, int k) {
    const int p = kBitmapFirstPosition + k;
    return (disk.Image().u8(kBitmapOffset + static_cast<std::size_t>(p / 8)) >> (p % 8)) & 1;
}

inline int CountUsed(const DiskImage& disk) {
    int n = 0;
    for (int k = 0; k < disk.GetPositionLimit() - kBitmapFirstPosition; ++k)
        n += BitUsed(disk, k) ? 1 : 0;
    return n;
}

inline DirEntry EntryAt(const DiskImage& disk, int index) {
    unsigned char bytes[kDirEntryBytes];
    disk.ReadDirEntry(bytes, index);
    return DirEntry(bytes);
}

inline std::vector<unsigned char> SectorBytes(const DiskImage& disk, int sector,
                                              std::size_t n = kSectorBytes) {
    const ByteView s = disk.Image().slice(static_cast<std::size_t>(sector) * kSectorBytes, n);
    return {s.data(), s.data() + s.size()};
}

} // namespace fileops
