#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/ImageFile.h"
#include "fs/DirEntry.h"
#include "image/DiskImage.h"

// Disks for the command tests, built with the public operations: entries whose name bytes no
// command line could give, and sub-directories.
namespace clitest {

inline void SaveDisk(const DiskImage& disk, const std::filesystem::path& path) {
    std::string reason;
    ASSERT_TRUE(ImageFile::Write(path.string(), disk, reason)) << reason;
}

// Imports data as a plain file into the current directory under exactly these name bytes
// (at most 16, then 0x0D). Returns the import's result.
inline int AddRawEntry(DiskImage& disk, const std::string& name, std::uint8_t mode,
                       const std::vector<unsigned char>& data, int storageMode = 1) {
    DirEntry entry;
    entry.SetMode(mode);
    DirEntry::NameBytes field{};
    std::memcpy(field.data(), name.data(), std::min<std::size_t>(name.size(), 16));
    field[std::min<std::size_t>(name.size(), 16)] = 0x0D;
    entry.SetNameField(field);
    entry.SetSize(static_cast<std::uint16_t>(data.size()));
    return disk.ImportFromBuffer(data.data(), data.size(), entry.Bytes().data(), 1, storageMode);
}

// A sub-directory named name in the current directory, with "." and ".." entries of its own
// that the walk must pass over. Returns its first sector, or -1.
inline int AddSubdir(DiskImage& disk, const std::string& name) {
    std::vector<unsigned char> area(64 * 32, 0x00);
    for (int i = 0; i < 64; ++i)
        std::memset(area.data() + i * 32 + 1, 0x0D, 16);
    const int parent = disk.GetCurrentDir();
    auto dotEntry = [&](int i, const char* dots, int sector) {
        unsigned char* e = area.data() + i * 32;
        e[0] = 0x0F;
        std::memset(e + 1, 0, 17);
        std::memcpy(e + 1, dots, std::strlen(dots));
        e[1 + std::strlen(dots)] = 0x0D;
        e[30] = static_cast<unsigned char>(sector & 0xFF);
        e[31] = static_cast<unsigned char>(sector >> 8);
    };
    dotEntry(0, ".", parent); // the walk goes by the name only, so where it points is moot
    dotEntry(1, "..", parent);
    if (AddRawEntry(disk, name, 0x0F, area) != 0)
        return -1;
    for (const DirEntry& e : ReadDirectory(disk, parent))
        if (e.Mode() == 0x0F && e.NameText() == name)
            return e.StartSector();
    return -1;
}

} // namespace clitest
