#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/ByteView.h"

// The 16-byte header of the D88 record a logical sector was read from, kept as the file held
// it: the flat image has no room for it, and the sector view shows it.
struct SectorRecordHeader {
    static constexpr std::size_t kBytes = 16;

    std::array<unsigned char, kBytes> bytes{};
    bool duplicate = false; // an earlier record of the file named the same sector

    std::uint8_t Cylinder() const { return bytes[0]; }
    std::uint8_t Head() const { return bytes[1]; }
    std::uint8_t Record() const { return bytes[2]; }
    std::uint8_t SizeCode() const { return bytes[3]; }
    std::uint16_t SectorCount() const { return View().u16le(4); }
    std::uint8_t Density() const { return bytes[6]; }
    std::uint8_t DeletedMark() const { return bytes[7]; }
    std::uint8_t Status() const { return bytes[8]; }
    std::uint16_t DataLength() const { return View().u16le(14); }
    // The data bytes the record held: 128 << N (N is at most 8 in a placed record).
    std::size_t RecordBytes() const { return std::size_t{128} << (SizeCode() & 0x0F); }

private:
    ByteView View() const { return {bytes.data(), kBytes}; }
};
