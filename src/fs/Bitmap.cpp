#include <algorithm>

#include "fs/DiskImage.h"
#include "image/Geometry.h"

// Bit position p is bit p % 8 of byte p / 8 of the bitmap sector. The scans cover positions
// 48 .. min(totalClusters, 2040) - 1, so they never reach byte 255 whatever the header says.

bool DiskImage::BitAt(int position) const {
    return BitmapBit(Bitmap(), position);
}

void DiskImage::SetBit(int position, bool used) {
    MutableByteView bitmap = BitmapView();
    const std::size_t at = static_cast<std::size_t>(position) / 8;
    const auto mask = static_cast<std::uint8_t>(1u << (position % 8));
    const std::uint8_t old = bitmap.u8(at);
    bitmap.setU8(at, static_cast<std::uint8_t>(used ? old | mask : old & ~mask));
}

int DiskImage::GetFreeBytes() const {
    const int limit = GetPositionLimit();
    int count = 0;
    for (int p = kBitmapFirstPosition; p < limit; ++p)
        if (!BitAt(p))
            ++count;
    return count * GetClusterBytes();
}

int DiskImage::FindFirstFreeCluster() const {
    const int limit = GetPositionLimit();
    for (int p = kBitmapFirstPosition; p < limit; ++p)
        if (!BitAt(p))
            return p - kBitmapFirstPosition;
    return -1;
}

int DiskImage::FindFreeRun(int bytes) const {
    const long long need = ClustersFor(bytes, GetClusterBytes());
    const int limit = GetPositionLimit();
    int start = -1;
    long long length = 0;
    for (int p = kBitmapFirstPosition; p < limit; ++p) {
        if (BitAt(p)) {
            start = -1;
            length = 0;
            continue;
        }
        if (start < 0)
            start = p;
        if (++length >= need)
            return start - kBitmapFirstPosition;
    }
    return -1;
}

void DiskImage::SetRun(int cluster, int bytes, bool used) {
    const long long count = ClustersFor(bytes, GetClusterBytes());
    const long long first = kBitmapFirstPosition + static_cast<long long>(cluster);
    const long long begin = std::max<long long>(first, kBitmapFirstPosition);
    const long long end = std::min<long long>(first + count, GetPositionLimit());
    for (long long p = begin; p < end; ++p)
        SetBit(static_cast<int>(p), used);
    RecountUsed();
}

void DiskImage::MarkUsed(int cluster, int bytes) {
    SetRun(cluster, bytes, true);
}

void DiskImage::MarkFree(int cluster, int bytes) {
    SetRun(cluster, bytes, false);
}

// The count the machine keeps: the reserved area (firstDataCluster clusters, which have no
// bit) plus the set positions. Formatting writes the same with no bit set.
void DiskImage::RecountUsed() {
    const int limit = GetPositionLimit();
    int count = GetFirstDataCluster();
    for (int p = kBitmapFirstPosition; p < limit; ++p)
        if (BitAt(p))
            ++count;
    BitmapView().setU16le(kBitmapUsedClusters, static_cast<std::uint16_t>(count & 0xFFFF));
}
