#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "image/ByteView.h"
#include "image/Geometry.h"

// The tests' one toolkit for disks: snapshots, byte patterns, entries and MZT files built
// field by field, flat disks edited before loading, and a writable view of a loaded image.
namespace testdisk {

using Bytes = std::vector<unsigned char>;

// The whole flat image as it is now.
inline Bytes Snapshot(const DiskImage& disk) {
    const ByteView image = disk.Image();
    return {image.data(), image.data() + image.size()};
}

// Bytes that differ from one position to the next, so that misplaced copies show.
inline Bytes Pattern(std::size_t bytes, unsigned seed = 1) {
    Bytes data(bytes);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
    }
    return data;
}

// A directory entry by named fields: MakeEntry({.mode = 0x01, .name = "A", .size = 10}).
// name is raw bytes: at most 16 are stored, then 0x0D.
struct EntryFields {
    std::uint8_t mode = 0x01;
    std::string name{};
    std::uint16_t size = 0;
    std::uint16_t start = 0;
    std::uint16_t load = 0;
    std::uint16_t exec = 0;
    std::uint8_t attribute = 0;
};

inline DirEntry MakeEntry(const EntryFields& fields) {
    DirEntry e;
    e.SetMode(fields.mode);
    e.SetNameText(fields.name);
    e.SetSize(fields.size);
    e.SetStartSector(fields.start);
    e.SetLoadAddress(fields.load);
    e.SetExecAddress(fields.exec);
    e.SetAttribute(fields.attribute);
    return e;
}

// An MZT tape file by named fields. name is the 17-byte field's raw bytes as given (no 0x0D is
// added); data follows the 128-byte header.
struct MztFields {
    std::uint8_t mode = 0x01;
    std::string name{};
    std::uint16_t size = 0;
    std::uint16_t load = 0;
    std::uint16_t exec = 0;
    Bytes data{};
};

inline Bytes MakeMzt(const MztFields& fields) {
    // Sized in one go: growing it with insert() trips a false -Warray-bounds in GCC 12.
    Bytes file(128 + fields.data.size(), 0);
    const MutableByteView view(file.data(), file.size());
    view.setU8(0, fields.mode);
    view.write(1, reinterpret_cast<const unsigned char*>(fields.name.data()),
               std::min<std::size_t>(fields.name.size(), 17));
    view.setU16le(18, fields.size);
    view.setU16le(20, fields.load);
    view.setU16le(22, fields.exec);
    view.write(128, fields.data.data(), fields.data.size());
    return file;
}

// Writable access to a loaded image, for tests that corrupt a disk on purpose. The buffer is
// DiskImage's own (never const), so writing through it is sound; figures DiskImage derives from
// the bitmap header at load time are not re-derived (use Poke for those bytes).
inline MutableByteView WritableImage(const DiskImage& disk) {
    return {const_cast<unsigned char*>(disk.Image().data()), disk.GetImageSize()};
}

inline Bytes FlatBytes(const DiskImage& disk) {
    Bytes bytes(static_cast<std::size_t>(disk.GetSavedSize(1)));
    disk.Save(bytes.data(), 1);
    return bytes;
}

// Reloads disk from flat bytes; the current directory is kept.
inline void Reload(DiskImage& disk, const Bytes& flat) {
    const int dir = disk.GetCurrentDir();
    ASSERT_EQ(disk.Load(flat.data(), flat.size(), 1), 0);
    disk.SetCurrentDir(dir);
}

// Writes bytes into the image at a byte offset. A write into the bitmap sector reloads the
// image so that what DiskImage derives from the bitmap header follows.
inline void Poke(DiskImage& disk, std::size_t at, std::initializer_list<unsigned char> bytes) {
    ASSERT_LE(at + bytes.size(), disk.GetImageSize());
    WritableImage(disk).write(at, bytes.begin(), bytes.size());
    const bool bitmap = at < static_cast<std::size_t>(kBitmapOffset + kSectorBytes) &&
                        at + bytes.size() > static_cast<std::size_t>(kBitmapOffset);
    if (bitmap)
        Reload(disk, FlatBytes(disk));
}

inline void PokeU16(DiskImage& disk, std::size_t at, std::uint16_t v) {
    Poke(disk, at, {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)});
}

// Writes a 32-byte entry into the directory at dirSector of a loaded image.
inline void PutEntry(DiskImage& disk, int dirSector, int index, const DirEntry& entry) {
    const std::size_t at = EntryOffset(dirSector, index);
    ASSERT_LE(at + DirEntry::kBytes, disk.GetImageSize());
    WritableImage(disk).write(at, entry.Bytes().data(), DirEntry::kBytes);
}

// Bit position p of the bitmap, and cluster k's bit (position 48 + k).
inline bool PositionSet(const DiskImage& disk, int position) {
    return BitmapBit(disk.Image().slice(kBitmapOffset, kSectorBytes), position);
}
inline bool BitUsed(const DiskImage& disk, int k) {
    return PositionSet(disk, kBitmapFirstPosition + k);
}
// Set positions among those the scans visit.
inline int CountUsed(const DiskImage& disk) {
    int count = 0;
    for (int p = kBitmapFirstPosition; p < disk.GetPositionLimit(); ++p)
        count += PositionSet(disk, p) ? 1 : 0;
    return count;
}

inline DirEntry EntryAt(const DiskImage& disk, int index) {
    unsigned char bytes[kDirEntryBytes];
    disk.ReadDirEntry(bytes, index);
    return DirEntry(bytes);
}

inline Bytes SectorBytes(const DiskImage& disk, int sector, std::size_t n = kSectorBytes) {
    const ByteView s = disk.Image().slice(static_cast<std::size_t>(sector) * kSectorBytes, n);
    return {s.data(), s.data() + s.size()};
}

// Imports data as a plain file of the current directory with storage mode 1..5; returns the
// import's result. *stored (when given) receives the entry as stored.
inline int PutFile(DiskImage& disk, const std::string& name, const Bytes& data, int storageMode,
                   DirEntry* stored = nullptr) {
    DirEntry::Bytes32 entry =
        AddFileEntry::Build(name, static_cast<std::uint8_t>(storageMode), false, 0,
                            static_cast<std::int64_t>(data.size()), 0x1200, 0x1200);
    const int result =
        disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, storageMode);
    if (stored)
        *stored = DirEntry(entry);
    return result;
}

// Imports data as a plain file into the current directory under exactly these name bytes
// (at most 16, then 0x0D), whatever no command line could give. Returns the import's result.
inline int AddRawEntry(DiskImage& disk, const std::string& name, std::uint8_t mode,
                       const Bytes& data, int storageMode = 1) {
    DirEntry entry = MakeEntry({.mode = mode, .name = name});
    entry.SetSize(static_cast<std::uint16_t>(data.size()));
    return disk.ImportFromBuffer(data.data(), data.size(), entry.Bytes().data(), 1, storageMode);
}

// The index of the entry named `name` in the current directory, or -1.
inline int FindEntry(const DiskImage& disk, const std::string& name) {
    for (int i = 0; i < kDirEntries; ++i) {
        const DirEntry e = EntryAt(disk, i);
        if (!e.IsFree() && e.NameText() == name)
            return i;
    }
    return -1;
}

// A sub-directory at `sector` (8 zeroed sectors holding "." and ".."), named by a DIR entry
// of the parent, with its clusters marked used.
inline void MakeSubDir(DiskImage& disk, int parentSector, int index, const std::string& name,
                       int sector) {
    ASSERT_LE(static_cast<std::size_t>(sector + kDirSectors) * kSectorBytes, disk.GetImageSize());
    WritableImage(disk).fill(static_cast<std::size_t>(sector) * kSectorBytes,
                             kDirSectors * kSectorBytes, 0);
    const auto at = static_cast<std::uint16_t>(sector);
    const auto parent = static_cast<std::uint16_t>(parentSector);
    PutEntry(disk, sector, 0, MakeEntry({.mode = 0x0F, .name = ".", .start = at}));
    PutEntry(disk, sector, 1, MakeEntry({.mode = 0x0F, .name = "..", .start = parent}));
    PutEntry(disk, parentSector, index, MakeEntry({.mode = 0x0F, .name = name, .start = at}));
    const int k = sector / disk.GetSectorsPerCluster() - disk.GetFirstDataCluster();
    disk.MarkUsed(k, kDirSectors * kSectorBytes);
}

// A sub-directory named name in the current directory, made by importing its 8 sectors with
// "." and ".." entries of their own. Returns its first sector, or -1.
inline int AddSubdir(DiskImage& disk, const std::string& name) {
    Bytes area(kDirEntries * kDirEntryBytes, 0x00);
    const MutableByteView view(area.data(), area.size());
    for (int i = 0; i < kDirEntries; ++i)
        view.fill(static_cast<std::size_t>(i) * kDirEntryBytes + 1, 16, 0x0D);
    const int parent = disk.GetCurrentDir();
    const auto at = static_cast<std::uint16_t>(parent); // the walk goes by the name only
    view.write(0, MakeEntry({.mode = 0x0F, .name = ".", .start = at}).Bytes().data(), 32);
    view.write(32, MakeEntry({.mode = 0x0F, .name = "..", .start = at}).Bytes().data(), 32);
    if (AddRawEntry(disk, name, 0x0F, area) != 0)
        return -1;
    for (const DirEntry& e : ReadDirectory(disk, parent))
        if (e.Mode() == 0x0F && e.NameText() == name)
            return e.StartSector();
    return -1;
}

// A disk in its flat form, edited byte by byte before it is loaded.
class FlatDisk {
public:
    // A formatted disk of a type.
    explicit FlatDisk(int diskType) {
        DiskImage disk;
        disk.Format(diskType);
        m_bytes = Snapshot(disk);
    }
    // An all-zero image of `sectors` sectors (at least 16) whose bitmap states that size with
    // one sector a cluster; the root directory is empty.
    static FlatDisk Blank(int sectors) {
        FlatDisk out;
        out.m_bytes.assign(static_cast<std::size_t>(sectors) * kSectorBytes, 0);
        out.View().setU16le(kBitmapOffset + kBitmapTotalClusters,
                            static_cast<std::uint16_t>(sectors));
        return out;
    }

    MutableByteView View() { return {m_bytes.data(), m_bytes.size()}; }
    unsigned char* At(std::size_t offset) { return &m_bytes.at(offset); }
    unsigned char* Sector(int sector) {
        return At(static_cast<std::size_t>(sector) * kSectorBytes);
    }
    std::size_t Size() const { return m_bytes.size(); }
    int Sectors() const { return static_cast<int>(m_bytes.size() / kSectorBytes); }
    std::vector<unsigned char>& Bytes() { return m_bytes; }

    void PutEntry(int dirSector, int index, const DirEntry& entry) {
        ASSERT_LE(EntryOffset(dirSector, index) + DirEntry::kBytes, m_bytes.size());
        View().write(EntryOffset(dirSector, index), entry.Bytes().data(), DirEntry::kBytes);
    }
    void ClearDirectory(int dirSector) {
        for (int i = 0; i < kDirEntries; ++i)
            PutEntry(dirSector, i, DirEntry());
    }
    void PutLink(int sector, std::uint16_t next) {
        View().setU16le(static_cast<std::size_t>(sector) * kSectorBytes + 254, next);
    }
    void PutWord(std::size_t offset, std::uint16_t value) { View().setU16le(offset, value); }
    void FillSector(int sector, unsigned char value) {
        View().fill(static_cast<std::size_t>(sector) * kSectorBytes, kSectorBytes, value);
    }
    // Bit position 48 + k of the bitmap.
    void SetUsed(int k, bool used = true) {
        const int p = kBitmapFirstPosition + k;
        unsigned char& byte = *At(kBitmapOffset + static_cast<std::size_t>(p / 8));
        byte = static_cast<unsigned char>(used ? byte | (1u << (p % 8)) : byte & ~(1u << (p % 8)));
    }

    // Loads the flat bytes into disk; a refusal fails the test and answers false.
    bool LoadInto(DiskImage& disk) const {
        const int result = disk.Load(m_bytes.data(), m_bytes.size(), 1);
        EXPECT_EQ(result, 0);
        return result == 0;
    }

private:
    FlatDisk() = default;
    std::vector<unsigned char> m_bytes;
};

// A disk like a real MZ-2000 system disk: firstDataCluster 0x20, and the set bits fit its file
// BASIC (sectors 48 .. 154) when position p is read as sector p. Read as the operations read
// it (position 48 + k is sector 32 + k), BASIC's last 16 sectors 139 .. 154 look free.
inline FlatDisk ShiftedBitmapDisk() {
    FlatDisk flat(3);
    flat.View().setU8(kBitmapOffset + kBitmapFirstDataCluster, 0x20);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x01, .name = "BASIC", .size = 107 * 256, .start = 48}));
    for (int sector = 48; sector <= 154; ++sector)
        flat.SetUsed(sector - kBitmapFirstPosition);
    flat.PutWord(kBitmapOffset + kBitmapUsedClusters, 107);
    return flat;
}

} // namespace testdisk
