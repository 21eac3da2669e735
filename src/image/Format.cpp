#include <algorithm>
#include <cstring>

#include "image/FlatImage.h"
#include "image/Geometry.h"
#include "image/PageBuffer.h"

namespace {

struct DiskTypeInfo {
    int cylinders;
    std::uint8_t mediaType;
    std::uint8_t firstDataCluster;
    std::uint16_t totalClusters;
    std::uint8_t clusterShift;
    bool mz2000; // MZ-2000 boot area and blank entries
};

constexpr DiskTypeInfo kDiskTypes[] = {
    {80, 0x10, 0x18, 0x0500, 0x01, false}, // MZ-2500 2DD, 160 tracks
    {40, 0x00, 0x30, 0x0500, 0x00, false}, // MZ-2500 2D, 80 tracks
    {35, 0x00, 0x30, 0x0460, 0x00, false}, // MZ-2500 2D, 70 tracks
    {35, 0x00, 0x30, 0x0460, 0x00, true},  // MZ-2000 2D, 70 tracks
};

static_assert(std::size(kDiskTypes) == FlatImage::kDiskTypeCount);

constexpr unsigned char kBlankFill = 0xBF;
constexpr int kBootAreaBytes = kBitmapOffset; // sectors 0..14
constexpr int kRootDirOffset = kRootDirSector * kSectorBytes;

} // namespace

bool FlatImage::Format(int diskType) {
    *this = FlatImage();
    if (diskType < 0 || diskType >= static_cast<int>(std::size(kDiskTypes)))
        return false;
    const DiskTypeInfo& type = kDiskTypes[diskType];
    const std::size_t bytes = static_cast<std::size_t>(type.cylinders) * kCylinderBytes;
    PageBuffer buffer = AllocatePages(bytes, bytes);
    if (!buffer)
        return false;
    m_bytes = std::move(buffer);
    m_size = bytes;
    m_media = type.mediaType;
    m_cylinders = type.cylinders;
    const MutableByteView image = MutableBytes();
    image.fill(0, m_size, kBlankFill);

    const MutableByteView root = image.slice(kRootDirOffset, kDirEntries * kDirEntryBytes);
    if (!type.mz2000) {
        image.fill(0, kBootAreaBytes, 0x00);
        image.setU8(0, 0x04); // machine code of the empty boot header
        for (int i = 0; i < kDirEntries; ++i) {
            const MutableByteView entry = root.slice(i * kDirEntryBytes, kDirEntryBytes);
            entry.fill(0, kDirEntryBytes, 0x00);
            entry.fill(1, 16, 0x0D);
        }
        root.setU8(0, 0x80);
    } else {
        root.fill(0, root.size(), 0x00);
        root.setU8(0, 0x80);
        root.setU8(1, 0x01);
    }

    const MutableByteView bitmap = image.slice(kBitmapOffset, kSectorBytes);
    bitmap.fill(0, kSectorBytes, 0x00);
    bitmap.setU8(0, 0x01);
    bitmap.setU8(kBitmapFirstDataCluster, type.firstDataCluster);
    bitmap.setU16le(kBitmapUsedClusters, type.firstDataCluster); // the reserved area is in use
    bitmap.setU16le(kBitmapTotalClusters, type.totalClusters);
    bitmap.setU8(kBitmapClusterShift, type.clusterShift);
    return true;
}
