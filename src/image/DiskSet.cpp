#include "image/DiskSet.h"

#include <climits>
#include <new>

namespace {

// The disks are counted in an int and the saved file's size is answered in one: each disk
// saves at most the largest disk or its own bytes.
constexpr std::size_t kMaxFileBytes =
    INT_MAX - static_cast<std::size_t>(DiskSet::kMaxDisks) * FlatImage::kMaxD88DiskBytes;

} // namespace

LoadResult DiskSet::Load(ByteView file, bool flat) {
    if (file.size() > kMaxFileBytes)
        return LoadResult::NotAContainer;
    try {
        std::vector<FlatImage> disks(1);
        if (flat) {
            if (disks[0].DecodeFlat(file) != LoadResult::Ok)
                return LoadResult::NotAContainer;
            m_disks = std::move(disks);
            return LoadResult::Ok;
        }
        std::size_t at = FlatImage::D88DiskBytes(file);
        if (disks[0].DecodeD88(file.slice(0, at)) != LoadResult::Ok)
            return LoadResult::NotAContainer;
        while (at < file.size()) {
            const ByteView rest = file.slice(at, file.size() - at);
            std::size_t bytes = FlatImage::D88DiskBytes(rest);
            // The last place takes whatever is left, as one disk or as damaged bytes.
            if (disks.size() + 1 == kMaxDisks)
                bytes = rest.size();
            FlatImage disk;
            if (disk.DecodeD88(rest.slice(0, bytes)) != LoadResult::Ok ||
                (bytes == rest.size() && FlatImage::D88DiskBytes(rest) != bytes))
                disk = FlatImage::Damaged(rest.slice(0, bytes));
            disks.push_back(std::move(disk));
            at += bytes;
        }
        m_disks = std::move(disks);
        return LoadResult::Ok;
    } catch (const std::bad_alloc&) {
        return LoadResult::NotAContainer;
    }
}

bool DiskSet::Format(int diskType) {
    m_disks.clear();
    FlatImage disk;
    if (!disk.Format(diskType))
        return false;
    m_disks.push_back(std::move(disk));
    return true;
}

std::size_t DiskSet::D88Size() const {
    std::size_t bytes = 0;
    for (const FlatImage& disk : m_disks)
        bytes += disk.D88Size();
    return bytes;
}

bool DiskSet::EncodeD88(const FlatImage::Sink& sink) const {
    if (m_disks.empty())
        return false;
    for (const FlatImage& disk : m_disks)
        if (!disk.EncodeD88(sink))
            return false;
    return true;
}

DiskAddResult DiskSet::Add(int diskType) {
    if (diskType < 0 || diskType >= FlatImage::kDiskTypeCount)
        return DiskAddResult::BadType;
    if (Count() >= kMaxDisks)
        return DiskAddResult::TooMany;
    try {
        FlatImage disk;
        if (!disk.Format(diskType))
            return DiskAddResult::NoMemory;
        m_disks.push_back(std::move(disk));
        return DiskAddResult::Ok;
    } catch (const std::bad_alloc&) {
        return DiskAddResult::NoMemory;
    }
}

DiskRemoveResult DiskSet::Remove(int index) {
    if (!Has(index))
        return DiskRemoveResult::NoSuchDisk;
    if (Count() == 1)
        return DiskRemoveResult::LastDisk;
    if (Disk(index).IsWriteProtected())
        return DiskRemoveResult::WriteProtected;
    // A file whose first disk does not decode would not open again.
    if (index == 0 && Disk(1).IsDamaged())
        return DiskRemoveResult::FirstUnreadable;
    m_disks.erase(m_disks.begin() + index);
    return DiskRemoveResult::Ok;
}
