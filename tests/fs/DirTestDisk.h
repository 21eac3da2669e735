#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "fs/DirEntry.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"

// Builds flat disk images byte by byte for the directory tests, then loads them.
class DirTestDisk {
public:
    // A formatted disk of the given type, taken in its flat form.
    static DirTestDisk Formatted(int diskType) {
        DiskImage disk;
        disk.Format(diskType);
        DirTestDisk out;
        out.m_bytes.resize(static_cast<std::size_t>(disk.GetSavedSize(1)));
        disk.Save(out.m_bytes.data(), 1);
        return out;
    }

    // An all-zero image of `sectors` sectors (at least 16) whose bitmap states that size with
    // one sector a cluster; the root directory is empty.
    static DirTestDisk Blank(int sectors) {
        DirTestDisk out;
        out.m_bytes.assign(static_cast<std::size_t>(sectors) * kSectorBytes, 0);
        out.m_bytes[kBitmapOffset + kBitmapTotalClusters] = static_cast<unsigned char>(sectors);
        out.m_bytes[kBitmapOffset + kBitmapTotalClusters + 1] =
            static_cast<unsigned char>(sectors >> 8);
        out.m_bytes[kBitmapOffset + kBitmapClusterShift] = 0;
        return out;
    }

    int Sectors() const { return static_cast<int>(m_bytes.size() / kSectorBytes); }

    void Put(int dirSector, int index, const DirEntry& entry) {
        std::memcpy(&m_bytes.at(static_cast<std::size_t>(dirSector) * kSectorBytes +
                                static_cast<std::size_t>(index) * kDirEntryBytes),
                    entry.Bytes().data(), DirEntry::kBytes);
    }

    void ClearDirectory(int dirSector) {
        for (int i = 0; i < kDirEntries; ++i)
            Put(dirSector, i, DirEntry());
    }

    bool LoadInto(DiskImage& disk) const {
        return disk.Load(m_bytes.data(), m_bytes.size(), 1) == 0;
    }

    std::vector<unsigned char>& Bytes() { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

inline DirEntry MakeEntry(std::uint8_t mode, const std::string& name, std::uint16_t startSector = 0,
                          std::uint16_t size = 0) {
    DirEntry entry;
    entry.SetMode(mode);
    entry.SetNameText(name);
    entry.SetStartSector(startSector);
    entry.SetSize(size);
    return entry;
}
