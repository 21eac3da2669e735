#include "fs/DiskImage.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "fs/SjisText.h"
#include "image/Geometry.h"

namespace {

const LoadReport kNoReport{};

ByteView BitmapOf(ByteView image) {
    return image.slice(kBitmapOffset, kSectorBytes);
}

// The disk's bitmap header names a layout this program can work in, and the image holds it.
bool MzFileSystemIn(ByteView image) {
    const ByteView bitmap = BitmapOf(image);
    if (bitmap.size() != static_cast<std::size_t>(kSectorBytes))
        return false;
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
    return capacity <= static_cast<long long>(image.size());
}

} // namespace

const FlatImage* DiskImage::Selected() const {
    return m_disks.Has(m_selected) ? &m_disks.Disk(m_selected) : nullptr;
}

MutableByteView DiskImage::ImageView() {
    return m_disks.Has(m_selected) ? m_disks.Disk(m_selected).MutableBytes() : MutableByteView();
}

MutableByteView DiskImage::BitmapView() {
    return ImageView().slice(kBitmapOffset, kSectorBytes);
}

ByteView DiskImage::Bitmap() const {
    return Image().slice(kBitmapOffset, kSectorBytes);
}

void DiskImage::Format(int diskType) {
    m_disks.Format(diskType);
    m_selected = 0;
}

int DiskImage::Load(const unsigned char* source, std::size_t sourceBytes, int flat) {
    const LoadResult result = m_disks.Load(ByteView(source, sourceBytes), flat != 0);
    if (result == LoadResult::Ok)
        m_selected = 0;
    return ToInt(result);
}

int DiskImage::GetSavedSize(int flat) const {
    if (!HasImage())
        return 0;
    // Both fit an int: the set refuses files whose disks could save to more.
    if (flat)
        return static_cast<int>(Selected()->FlatSize());
    return static_cast<int>(m_disks.D88Size());
}

int DiskImage::Save(unsigned char* dest, int flat) const {
    if (!HasImage() || dest == nullptr)
        return 0;
    SaveTo(flat, [&dest](const unsigned char* data, std::size_t bytes) {
        std::memcpy(dest, data, bytes);
        dest += bytes;
        return true;
    });
    return 0;
}

bool DiskImage::SaveTo(int flat, const SaveSink& sink) const {
    if (!HasImage())
        return false;
    if (flat)
        return sink(Image().data(), Selected()->FlatSize());
    return m_disks.EncodeD88(sink);
}

int DiskImage::SelectDisk(int index) {
    if (!m_disks.Has(index))
        return ToInt(DiskSelectResult::NoSuchDisk);
    if (m_disks.Disk(index).IsDamaged())
        return ToInt(DiskSelectResult::Damaged);
    if (index != m_selected)
        m_nCurDirSector = kRootDirSector;
    m_selected = index;
    return ToInt(DiskSelectResult::Ok);
}

int DiskImage::AddDisk(int diskType) {
    return ToInt(m_disks.Add(diskType));
}

int DiskImage::RemoveDisk(int index) {
    const DiskRemoveResult result = m_disks.Remove(index);
    if (result == DiskRemoveResult::Ok) {
        m_selected = 0;
        m_nCurDirSector = kRootDirSector;
    }
    return ToInt(result);
}

DiskSummary DiskImage::GetDiskSummary(int index) const {
    const FlatImage& disk = m_disks.Disk(index);
    DiskSummary summary;
    summary.damaged = disk.IsDamaged();
    if (summary.damaged) {
        summary.damagedBytes = disk.D88Size();
        return summary;
    }
    summary.name = disk.Name();
    summary.mediaType = disk.MediaType();
    summary.writeProtected = disk.IsWriteProtected();
    summary.mzFileSystem = MzFileSystemIn(disk.Bytes());
    const ByteView bitmap = BitmapOf(disk.Bytes());
    const long long clusterBytes = (bitmap.u8(kBitmapClusterShift) + 1LL) * kSectorBytes;
    const long long total = bitmap.u16le(kBitmapTotalClusters);
    // As SpaceText: no disk is fuller than full.
    summary.usedBytes =
        clusterBytes * std::min<long long>(bitmap.u16le(kBitmapUsedClusters), total);
    summary.totalBytes = clusterBytes * total;
    return summary;
}

ChangeRefusal DiskImage::WhyNotChangeable() const {
    if (!IsMzFileSystem())
        return ChangeRefusal::NotMzFs;
    if (IsWriteProtected())
        return ChangeRefusal::WriteProtected;
    return ChangeRefusal::None;
}

std::string DiskImage::GetDiskName() const {
    return Selected() ? Selected()->Name() : std::string();
}

bool DiskImage::SetDiskName(std::string_view sjis) {
    return m_disks.Has(m_selected) &&
           m_disks.Disk(m_selected).SetName(CutSjis(sjis, FlatImage::kNameBytes));
}

bool DiskImage::IsWriteProtected() const {
    return Selected() && Selected()->IsWriteProtected();
}

void DiskImage::SetWriteProtected(bool on) {
    if (m_disks.Has(m_selected))
        m_disks.Disk(m_selected).SetWriteProtected(on);
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
    if (!Selected()) {
        std::memset(dest, 0, kSectorBytes);
        return;
    }
    Selected()->ReadSector(dest, sector);
}

void DiskImage::WriteSector(const unsigned char* src, int sector) {
    if (sector < 0)
        return;
    const MutableByteView dest =
        ImageView().slice(static_cast<std::size_t>(sector) * kSectorBytes, kSectorBytes);
    if (dest.size() == static_cast<std::size_t>(kSectorBytes))
        std::memcpy(dest.data(), src, kSectorBytes);
}

int DiskImage::GetUsedClusters() const {
    return HasImage() ? Bitmap().u16le(kBitmapUsedClusters) : 0;
}

int DiskImage::GetTotalClusters() const {
    return HasImage() ? Bitmap().u16le(kBitmapTotalClusters) : 0;
}

// (bitmap byte 255 + 1) x 256, read when asked: the same as derived at load, as nothing
// writes that byte but formatting.
int DiskImage::GetClusterBytes() const {
    return HasImage() ? GetSectorsPerCluster() * kSectorBytes : 0;
}

int DiskImage::GetTotalBytes() const {
    // A foreign bitmap may name more than 2 GiB; the figure only has to stay meaningful.
    const long long total = static_cast<long long>(Bitmap().u16le(kBitmapTotalClusters)) *
                            GetSectorsPerCluster() * kSectorBytes;
    return static_cast<int>(std::min<long long>(total, INT_MAX));
}

int DiskImage::GetFirstDataCluster() const {
    return Bitmap().u8(kBitmapFirstDataCluster);
}

int DiskImage::GetSectorsPerCluster() const {
    return Bitmap().u8(kBitmapClusterShift) + 1;
}

int DiskImage::GetPositionLimit() const {
    return std::min<int>(Bitmap().u16le(kBitmapTotalClusters), kBitmapPositionLimit);
}

bool DiskImage::IsMzFileSystem() const {
    return HasImage() && MzFileSystemIn(Image());
}

const LoadReport& DiskImage::GetLoadReport() const {
    return Selected() ? Selected()->Report() : kNoReport;
}
