#pragma once

#include <cstddef>

#include "image/ByteView.h"

// Fixed geometry of the flat logical image: every disk this program handles has 256-byte
// sectors, 16 sectors a side and two sides a cylinder, head 1 first.
inline constexpr int kSectorBytes = 256;
inline constexpr int kSectorsPerTrack = 16;
inline constexpr int kSectorsPerCylinder = 2 * kSectorsPerTrack;
inline constexpr int kCylinderBytes = kSectorsPerCylinder * kSectorBytes; // 8192
inline constexpr int kMaxCylinders = 82; // the 164 entries of a D88 track table

inline constexpr int kIplSector = 0;
inline constexpr int kBitmapSector = 15;
inline constexpr int kBitmapOffset = kBitmapSector * kSectorBytes; // 0x0F00
inline constexpr int kRootDirSector = 16;
inline constexpr int kDirEntries = 64;
inline constexpr int kDirEntryBytes = 32;
inline constexpr int kDirSectors = kDirEntries * kDirEntryBytes / kSectorBytes; // 8

// Allocation bitmap layout (sector 15).
inline constexpr int kBitmapFirstDataCluster = 1; // byte offsets in the bitmap sector
inline constexpr int kBitmapUsedClusters = 2;
inline constexpr int kBitmapTotalClusters = 4;
inline constexpr int kBitmapClusterShift = 255;
inline constexpr int kBitmapFirstPosition = 48;   // bit positions 0..47 are the header bytes
inline constexpr int kBitmapPositionLimit = 2040; // bit 0 of byte 255 is never a position

// Logical sector of cylinder cyl, head hd (0/1), sector number rec (1..16).
constexpr int LogicalSector(int cyl, int hd, int rec) {
    return kSectorsPerCylinder * cyl + kSectorsPerTrack * (1 - hd) + (rec - 1);
}

// Byte offset of entry `index` of the directory whose first sector is dirSector.
constexpr std::size_t EntryOffset(int dirSector, int index) {
    return static_cast<std::size_t>(dirSector) * kSectorBytes +
           static_cast<std::size_t>(index) * kDirEntryBytes;
}

// Clusters needed for `bytes` bytes: rounded up, 0 for no bytes or no cluster size.
constexpr long long ClustersFor(long long bytes, int clusterBytes) {
    if (bytes <= 0 || clusterBytes <= 0)
        return 0;
    return bytes / clusterBytes + (bytes % clusterBytes != 0 ? 1 : 0);
}

// Bit position p of a bitmap sector: bit p % 8 of byte p / 8, 1 = used.
inline bool BitmapBit(ByteView bitmapSector, int position) {
    return position >= 0 &&
           ((bitmapSector.u8(static_cast<std::size_t>(position) / 8) >> (position % 8)) & 1) != 0;
}
