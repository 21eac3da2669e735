#include "image/DiskImage.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "image/Geometry.h"

DiskImage::DiskImage() = default;

DiskImage::~DiskImage() = default;

void DiskImage::Release() {
    m_pImage.reset();
    m_nImageBytes = 0;
    m_pBitmap = nullptr;
}

MutableByteView DiskImage::BitmapView() const {
    return ImageView().slice(kBitmapOffset, kSectorBytes);
}

void DiskImage::DeriveFromBitmap() {
    MutableByteView bitmap = BitmapView();
    m_pBitmap = bitmap.size() == static_cast<std::size_t>(kSectorBytes) ? bitmap.data() : nullptr;
    const int sectorsPerCluster = bitmap.u8(kBitmapClusterShift) + 1;
    m_nClusterBytes = sectorsPerCluster * kSectorBytes;
    m_nUsedAtLoad = bitmap.u16le(kBitmapUsedClusters);
    // A foreign bitmap may name more than 2 GiB; the figure only has to stay meaningful.
    const long long total =
        static_cast<long long>(bitmap.u16le(kBitmapTotalClusters)) * m_nClusterBytes;
    m_nTotalBytes = static_cast<int>(std::min<long long>(total, INT_MAX));
}

void DiskImage::SetCurrentDir(int sector) {
    m_nCurDirSector = sector == -1 ? kRootDirSector : sector;
}

int DiskImage::GetCurrentDir() const {
    return m_nCurDirSector;
}

void DiskImage::ReadDirEntry(unsigned char* dest, int index) const {
    if (index < 0 || index >= kDirEntries || m_nCurDirSector < 0) {
        std::memset(dest, 0, kDirEntryBytes);
        return;
    }
    Image().copyTo(dest, EntryOffset(m_nCurDirSector, index), kDirEntryBytes);
}

void DiskImage::ReadSector(unsigned char* dest, int sector) const {
    if (sector < 0) {
        std::memset(dest, 0, kSectorBytes);
        return;
    }
    Image().copyTo(dest, static_cast<std::size_t>(sector) * kSectorBytes, kSectorBytes);
}

void DiskImage::WriteSector(const unsigned char* src, int sector) {
    if (sector < 0)
        return;
    const MutableByteView dest =
        ImageView().slice(static_cast<std::size_t>(sector) * kSectorBytes, kSectorBytes);
    if (dest.size() != static_cast<std::size_t>(kSectorBytes))
        return;
    std::memcpy(dest.data(), src, kSectorBytes);
    // The cluster size and capacity are read from the bitmap once; keep them its own.
    if (sector == kBitmapSector) {
        const int usedAtLoad = m_nUsedAtLoad;
        DeriveFromBitmap();
        m_nUsedAtLoad = usedAtLoad;
    }
}

int DiskImage::GetUsedClusters() const {
    return HasImage() ? BitmapView().u16le(kBitmapUsedClusters) : 0;
}

int DiskImage::GetTotalClusters() const {
    return HasImage() ? BitmapView().u16le(kBitmapTotalClusters) : 0;
}

int DiskImage::GetClusterBytes() const {
    return HasImage() ? m_nClusterBytes : 0;
}

int DiskImage::GetFirstDataCluster() const {
    return BitmapView().u8(kBitmapFirstDataCluster);
}

int DiskImage::GetSectorsPerCluster() const {
    return BitmapView().u8(kBitmapClusterShift) + 1;
}

int DiskImage::GetPositionLimit() const {
    return std::min<int>(BitmapView().u16le(kBitmapTotalClusters), kBitmapPositionLimit);
}

bool DiskImage::IsMzFileSystem() const {
    if (!HasImage() || m_pBitmap == nullptr)
        return false;
    MutableByteView bitmap = BitmapView();
    const int shift = bitmap.u8(kBitmapClusterShift);
    const int total = bitmap.u16le(kBitmapTotalClusters);
    const int firstData = bitmap.u8(kBitmapFirstDataCluster);
    if (shift > 1)
        return false;
    if (total <= kBitmapFirstPosition || total > kBitmapPositionLimit)
        return false;
    // The reserved area must at least cover boot sector, bitmap and root directory.
    if (firstData * (shift + 1) < kRootDirSector + kDirSectors)
        return false;
    const long long capacity = static_cast<long long>(total) * (shift + 1) * kSectorBytes;
    return capacity <= static_cast<long long>(m_nImageBytes);
}
