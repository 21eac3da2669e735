#pragma once

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
