#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/DirEntry.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"

// Small helpers for the tests of the file operations: whole-image snapshots and byte-level
// edits made through a flat save and reload, since DiskImage hands out no writable view.
namespace opstest {

inline std::vector<unsigned char> Snapshot(const DiskImage& disk) {
    const ByteView image = disk.Image();
    return {image.data(), image.data() + image.size()};
}

inline std::vector<unsigned char> FlatBytes(const DiskImage& disk) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(disk.GetSavedSize(1)));
    disk.Save(bytes.data(), 1);
    return bytes;
}

// Reloads disk from flat bytes; the current directory is kept.
inline void Reload(DiskImage& disk, const std::vector<unsigned char>& flat) {
    const int dir = disk.GetCurrentDir();
    ASSERT_EQ(disk.Load(flat.data(), flat.size(), 1), 0);
    disk.SetCurrentDir(dir);
}

// Writes bytes into the image at a byte offset.
inline void Poke(DiskImage& disk, std::size_t at, std::initializer_list<unsigned char> bytes) {
    std::vector<unsigned char> flat = FlatBytes(disk);
    ASSERT_LE(at + bytes.size(), flat.size());
    std::size_t i = at;
    for (unsigned char b : bytes)
        flat[i++] = b;
    Reload(disk, flat);
}

inline void PokeU16(DiskImage& disk, std::size_t at, std::uint16_t v) {
    Poke(disk, at, {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)});
}

inline bool PositionSet(const DiskImage& disk, int position) {
    const std::uint8_t byte =
        disk.Image().u8(kBitmapOffset + static_cast<std::size_t>(position) / 8);
    return (byte >> (position % 8)) & 1;
}

inline int SetPositions(const DiskImage& disk) {
    int count = 0;
    for (int p = kBitmapFirstPosition; p < disk.GetPositionLimit(); ++p)
        count += PositionSet(disk, p) ? 1 : 0;
    return count;
}

inline std::vector<unsigned char> Pattern(std::size_t bytes, unsigned seed = 1) {
    std::vector<unsigned char> data(bytes);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
    }
    return data;
}

} // namespace opstest

namespace opstest {

// Writes a 32-byte entry into the directory at dirSector.
inline void PutEntry(DiskImage& disk, int dirSector, int index, const DirEntry& entry) {
    std::vector<unsigned char> flat = FlatBytes(disk);
    const std::size_t at = static_cast<std::size_t>(dirSector) * kSectorBytes +
                           static_cast<std::size_t>(index) * kDirEntryBytes;
    ASSERT_LE(at + DirEntry::kBytes, flat.size());
    std::copy(entry.Bytes().begin(), entry.Bytes().end(), flat.begin() + static_cast<long>(at));
    Reload(disk, flat);
}

inline DirEntry Entry(std::uint8_t mode, const std::string& name, std::uint16_t startSector,
                      std::uint16_t size) {
    DirEntry e;
    e.SetMode(mode);
    e.SetNameText(name);
    e.SetStartSector(startSector);
    e.SetSize(size);
    return e;
}

// Imports data as a plain file of the current directory with storage mode 1..5; returns the
// import's result. *stored (when given) receives the entry as stored.
inline int PutFile(DiskImage& disk, const std::string& name, const std::vector<unsigned char>& data,
                   int storageMode, DirEntry* stored = nullptr) {
    DirEntry::Bytes32 entry =
        AddFileEntry::Build(name, static_cast<std::uint8_t>(storageMode), false, 0,
                            static_cast<std::int64_t>(data.size()), 0x1200, 0x1200);
    const int result =
        disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, storageMode);
    if (stored)
        *stored = DirEntry(entry);
    return result;
}

// The index of the entry named `name` in the current directory, or -1.
inline int FindEntry(const DiskImage& disk, const std::string& name) {
    for (int i = 0; i < kDirEntries; ++i) {
        unsigned char raw[kDirEntryBytes];
        disk.ReadDirEntry(raw, i);
        const DirEntry e(raw);
        if (!e.IsFree() && e.NameText() == name)
            return i;
    }
    return -1;
}

// A sub-directory at `sector` (8 zeroed sectors holding "." and ".."), named by a DIR entry
// of the parent, with its clusters marked used.
inline void MakeSubDir(DiskImage& disk, int parentSector, int index, const std::string& name,
                       int sector) {
    std::vector<unsigned char> flat = FlatBytes(disk);
    ASSERT_LE(static_cast<std::size_t>(sector + kDirSectors) * kSectorBytes, flat.size());
    std::fill(flat.begin() + sector * kSectorBytes,
              flat.begin() + (sector + kDirSectors) * kSectorBytes, 0);
    Reload(disk, flat);
    PutEntry(disk, sector, 0, Entry(0x0F, ".", static_cast<std::uint16_t>(sector), 0));
    PutEntry(disk, sector, 1, Entry(0x0F, "..", static_cast<std::uint16_t>(parentSector), 0));
    PutEntry(disk, parentSector, index, Entry(0x0F, name, static_cast<std::uint16_t>(sector), 0));
    const int k = sector / disk.GetSectorsPerCluster() - disk.GetFirstDataCluster();
    disk.MarkUsed(k, kDirSectors * kSectorBytes);
}

} // namespace opstest
