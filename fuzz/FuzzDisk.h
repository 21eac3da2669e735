#pragma once

// Shared by the fuzz targets: a reader over the fuzz input, and the disk each target starts
// from (formatted, loaded from raw bytes, or formatted and patched).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fs/DiskImage.h"

namespace fuzzdisk {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    std::uint8_t U8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint16_t U16() {
        const std::uint8_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    // Up to n bytes; fewer at the end of the input.
    std::vector<unsigned char> Bytes(std::size_t n) {
        const std::size_t take = n < m_size - m_pos ? n : m_size - m_pos;
        std::vector<unsigned char> out(m_data + m_pos, m_data + m_pos + take);
        m_pos += take;
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

inline void Check(bool ok) {
    if (!ok)
        std::abort();
}

inline std::vector<unsigned char> Snapshot(const DiskImage& disk) {
    const ByteView image = disk.Image();
    return {image.data(), image.data() + image.size()};
}

inline bool Same(const DiskImage& disk, const std::vector<unsigned char>& before) {
    const ByteView image = disk.Image();
    return image.size() == before.size() && std::equal(before.begin(), before.end(), image.data());
}

// [0] kind: 0 formatted, 1 raw flat bytes, 2 raw D88 bytes, 3 formatted and patched;
// [1] disk type; [2..3] length n, then n bytes: the bytes to load, or the patches
// (offset u24, length u8, bytes).
inline void MakeDisk(DiskImage& disk, Input& in) {
    const int kind = in.U8() & 3;
    const int type = in.U8() & 3;
    const std::vector<unsigned char> part = in.Bytes(in.U16());
    if ((kind == 1 || kind == 2) && disk.Load(part.data(), part.size(), kind == 1 ? 1 : 0) == 0)
        return;
    disk.Format(type);
    if (kind != 3)
        return;
    std::vector<unsigned char> flat = Snapshot(disk);
    Input patches(part.data(), part.size());
    while (!patches.Empty()) {
        std::size_t at = patches.U8() | (patches.U8() << 8) | (patches.U8() << 16);
        for (unsigned char b : patches.Bytes(patches.U8()))
            if (at < flat.size())
                flat[at++] = b;
    }
    // A patched bitmap may make the flat form unloadable; the formatted disk then stays.
    disk.Load(flat.data(), flat.size(), 1);
}

} // namespace fuzzdisk
