#pragma once

#include <cstddef>
#include <vector>

class DiskImage;

// Where the bytes of a file's body lie in the image, found from its 32-byte directory entry by
// the layout its mode calls for: a sector chain for BSD (0x03), a block index for BRD (0x04)
// and one contiguous run for every other mode. The walk reads only sectors inside the image
// and the one index sector, and always ends.
struct BodyPiece {
    int sector; // logical sector the piece starts at
    int bytes;  // bytes from the start of that sector on, all inside the image
};

enum class BodyStatus {
    Complete,   // every byte the entry claims was reached
    EndedEarly, // a BSD link or BRD index entry of 0, or a full index, before the size was reached
    LeftImage,  // a start sector, link or index entry outside the image, or a run cut at its end
    ChainLoop,  // a BSD chain came back to a sector it had already visited
};

struct FileBody {
    std::vector<BodyPiece> pieces; // in file order
    BodyStatus status = BodyStatus::Complete;
    std::size_t bytes = 0; // sum of the pieces' bytes
    // LeftImage: the first sector the body needs that the image does not hold (a start sector,
    // link or index entry, or the sector after the image's last for a run cut at the end).
    long long outsideSector = -1;
};

// BSD sectors carry 254 data bytes and a 16-bit link to the next sector.
inline constexpr int kChainDataBytes = 254;
inline constexpr int kChainLinkOffset = 254;
// BRD blocks are 16 consecutive sectors; the index sector holds at most 128 of them.
inline constexpr int kBlockBytes = 4096;
inline constexpr int kBlockSectors = 16;
inline constexpr int kIndexSlots = 128;
inline constexpr int kRecordBytes = 32; // unit of a BRD size field

// The pieces of the body in order. BSD pieces are one per chain sector (254 bytes, or the rest
// in the last); BRD pieces one per 4096-byte block; a contiguous body is one piece. A free or
// DIR entry is walked as a contiguous body, as its mode asks; callers decide whether they want it.
FileBody WalkFileBody(const DiskImage& disk, const unsigned char* entry);

// The bitmap cluster indices (k = sector / sectorsPerCluster - firstDataCluster) the body
// occupies by its layout, ascending and without repeats:
//   contiguous: the run from startSector's cluster, ceil(size / clusterBytes) clusters;
//   BSD: the clusters of the chain's sectors (at most ceil(size / 254) sectors, as walked);
//   BRD: the index cluster, then the clusters of the 16 sectors of every block the index lists
//        (as many blocks as size x 32 bytes need, at most 128, stopping at a 0 entry or one
//        that starts outside the image).
// On a foreign image an index may be negative or beyond the bitmap; callers that change the
// bitmap must skip those.
std::vector<int> BodyClusters(const DiskImage& disk, const unsigned char* entry);
