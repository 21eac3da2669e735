#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

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
