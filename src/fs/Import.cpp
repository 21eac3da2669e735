#include <algorithm>
#include <climits>
#include <cstring>

#include "fs/ClusterRuns.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/FileMode.h"
#include "fs/FsLimits.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "fs/SjisText.h"
#include "image/Geometry.h"

namespace {

enum class Layout { Sequential, Indexed, Contiguous };

Layout LayoutOf(int storageMode) {
    switch (static_cast<StorageMode>(storageMode)) {
    case StorageMode::Bsd:
    case StorageMode::BsdCrlf:
        return Layout::Sequential;
    case StorageMode::Brd:
        return Layout::Indexed;
    default:
        return Layout::Contiguous;
    }
}

// Only OBJ and BTX copy their data into the run; any other value outside 1..5 allocates and
// records the run without filling it.
bool CopiesIntoRun(int storageMode) {
    return storageMode == ToInt(StorageMode::Obj) || storageMode == ToInt(StorageMode::Btx);
}

// CR LF becomes CR and a lone LF is dropped; an LF right after a Shift-JIS lead byte is the
// trail byte of a double-byte character and stays.
std::vector<unsigned char> FilterLineEnds(ByteView in) {
    std::vector<unsigned char> out;
    out.reserve(in.size());
    unsigned char previous = 0xFF;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = in.u8(i);
        if (c != 0x0A || IsSjisLeadByte(previous))
            out.push_back(c);
        previous = c;
    }
    return out;
}

// A copy of the bitmap's free positions on which a layout's allocations are tried out before
// the image is touched. Its searches are those of the bitmap: lowest free cluster first, and
// the first run of free clusters that is long enough.
class FreeMap {
public:
    explicit FreeMap(const DiskImage& disk) {
        const ByteView bitmap = disk.Image().slice(kBitmapOffset, kSectorBytes);
        for (int p = kBitmapFirstPosition; p < disk.GetPositionLimit(); ++p)
            m_used.push_back(BitmapBit(bitmap, p));
    }
    int FreeCount() const { return static_cast<int>(std::count(m_used.begin(), m_used.end(), 0)); }
    // The lowest `count` free clusters, ascending; fewer when there are not that many.
    std::vector<int> LowestFree(long long count) const {
        std::vector<int> found;
        for (std::size_t k = 0; k < m_used.size() && static_cast<long long>(found.size()) < count;
             ++k)
            if (!m_used[k])
                found.push_back(static_cast<int>(k));
        return found;
    }
    int FindRun(long long need) const {
        long long length = 0;
        for (std::size_t k = 0; k < m_used.size(); ++k) {
            length = m_used[k] ? 0 : length + 1;
            if (!m_used[k] && length >= need)
                return static_cast<int>(k + 1 - static_cast<std::size_t>(length));
        }
        return -1;
    }
    void Take(int k, long long count) {
        for (long long i = 0; i < count; ++i)
            m_used[static_cast<std::size_t>(k + i)] = true;
    }

private:
    std::vector<bool> m_used; // index k = position 48 + k
};

// Where cluster k lies and whether it can hold data: wholly inside the image and with sector
// numbers that fit the 16-bit fields of entries, links and index slots. On a disk whose bitmap
// matches the image every position qualifies; a foreign bitmap may name clusters beyond it.
class ClusterGeometry {
public:
    explicit ClusterGeometry(const DiskImage& disk)
        : m_spc(disk.GetSectorsPerCluster()), m_firstData(disk.GetFirstDataCluster()),
          m_imageSectors(static_cast<long long>(disk.GetImageSize() / kSectorBytes)) {}
    long long FirstSector(long long k) const { return (k + m_firstData) * m_spc; }
    int SectorsPerCluster() const { return m_spc; }
    bool Writable(long long k, long long count = 1) const {
        if (k < 0)
            return false;
        const long long end = FirstSector(k + std::max<long long>(count, 1));
        return end <= m_imageSectors && end - 1 <= 0xFFFF;
    }

private:
    int m_spc;
    int m_firstData;
    long long m_imageSectors;
};

// What the three layouts share once the entry and the data have passed their checks.
struct Placement {
    DiskImage& disk;
    MutableByteView image;
    MutableByteView bitmap;
    MutableByteView dirSlot;
    unsigned char* callerEntry;
    DirEntry stored;
    ByteView source; // the L data bytes
    std::size_t S;
    ClusterGeometry geometry;

    std::size_t L() const { return source.size(); }
    int ClusterBytes() const { return disk.GetClusterBytes(); }
    MutableByteView Sectors(long long first, std::size_t bytes) const {
        return image.slice(static_cast<std::size_t>(first) * kSectorBytes, bytes);
    }
    // Writes the entry into the free slot and, before the first MarkUsed whose recount then
    // replaces it, adds need(L) to usedClusters. The caller's entry gets what was stored.
    void StoreEntry() {
        dirSlot.write(0, stored.Bytes().data(), kDirEntryBytes);
        const long long used = bitmap.u16le(kBitmapUsedClusters) + ClustersFor(L(), ClusterBytes());
        bitmap.setU16le(kBitmapUsedClusters, static_cast<std::uint16_t>(used & 0xFFFF));
        std::memcpy(callerEntry, stored.Bytes().data(), kDirEntryBytes);
    }
};

// BSD: 254 data bytes a sector, every sector chained to the next, also inside one cluster,
// clusters taken one at a time, lowest free first.
int PlaceSequential(Placement& p) {
    const int spc = p.geometry.SectorsPerCluster();
    const long long sectors = (static_cast<long long>(p.S) + kChainDataBytes - 1) / kChainDataBytes;
    // A body of 0 bytes still takes the lowest free cluster's sector as its start.
    const long long clusters = std::max<long long>(1, (sectors + spc - 1) / spc);
    const std::vector<int> chain = FreeMap(p.disk).LowestFree(clusters);
    if (p.disk.GetFreeBytes() < static_cast<long long>(p.L()) ||
        static_cast<long long>(chain.size()) < clusters || !p.geometry.Writable(chain.back()))
        return ToInt(ImportResult::NoSpace);

    p.stored.SetStartSector(static_cast<std::uint16_t>(p.geometry.FirstSector(chain.front())));
    p.StoreEntry();
    // The lowest free cluster taken one at a time is the next of `chain` each time. Runs of
    // neighbours are marked at once: the bits and the recount end as if marked one by one.
    if (sectors > 0)
        ForEachRun(chain,
                   [&](int first, int count) { p.disk.MarkUsed(first, count * p.ClusterBytes()); });
    std::size_t remaining = p.S;
    std::size_t from = 0;
    long long previous = -1;
    for (std::size_t c = 0; c < chain.size() && remaining > 0; ++c) {
        for (int s = 0; s < spc && remaining > 0; ++s) {
            const long long sector = p.geometry.FirstSector(chain[c]) + s;
            MutableByteView view = p.Sectors(sector, kSectorBytes);
            view.fill(0, kSectorBytes, 0x00);
            const std::size_t n = std::min<std::size_t>(remaining, kChainDataBytes);
            view.write(0, p.source.data() + from, n);
            if (previous >= 0)
                p.Sectors(previous, kSectorBytes)
                    .setU16le(kChainLinkOffset, static_cast<std::uint16_t>(sector));
            remaining -= n;
            from += kChainDataBytes;
            previous = sector;
        }
    }
    return ToInt(ImportResult::Ok);
}

// BRD: a zeroed index cluster, then 4096-byte blocks listed in its first sector. All L bytes
// are stored and the size field counts 32-byte records of whole blocks.
int PlaceIndexed(Placement& p) {
    const int cb = p.ClusterBytes();
    const long long blocks = (static_cast<long long>(p.L()) + kBlockBytes - 1) / kBlockBytes;
    const long long runClusters = ClustersFor(kBlockBytes, cb);
    const long long blocksPerRun = cb <= kBlockBytes ? 1 : cb / kBlockBytes;
    // The index cluster and every block run are tried on a copy of the bitmap first.
    FreeMap map(p.disk);
    bool fits = p.disk.GetFreeBytes() >= static_cast<long long>(p.L());
    const int indexK = map.FindRun(ClustersFor(kSectorBytes, cb));
    fits = fits && indexK >= 0 && p.geometry.Writable(indexK);
    if (fits)
        map.Take(indexK, 1);
    for (long long placed = 0; fits && placed < blocks; placed += blocksPerRun) {
        const int b = map.FindRun(runClusters);
        fits = b >= 0 && p.geometry.Writable(b, runClusters);
        if (fits)
            map.Take(b, runClusters);
    }
    if (!fits)
        return ToInt(ImportResult::NoSpace);

    p.stored.SetSize(static_cast<std::uint16_t>(blocks * (kBlockBytes / kRecordBytes)));
    const int k = p.disk.FindFreeRun(kSectorBytes);
    const long long indexSector = p.geometry.FirstSector(k);
    p.stored.SetStartSector(static_cast<std::uint16_t>(indexSector));
    p.StoreEntry();
    p.disk.MarkUsed(k, kSectorBytes);
    p.Sectors(indexSector, static_cast<std::size_t>(cb)).fill(0, static_cast<std::size_t>(cb), 0);
    MutableByteView index = p.Sectors(indexSector, kSectorBytes);

    std::size_t remaining = p.L();
    std::size_t from = 0;
    int slot = 0;
    while (remaining > 0) {
        const int b = p.disk.FindFreeRun(kBlockBytes);
        if (b < 0)
            break; // cannot happen after the trial above; never write unmarked clusters
        p.disk.MarkUsed(b, cb <= kBlockBytes ? kBlockBytes : kSectorBytes);
        for (long long j = 0; j < blocksPerRun && remaining > 0; ++j) {
            const long long first = p.geometry.FirstSector(b) + j * kBlockSectors;
            MutableByteView block = p.Sectors(first, kBlockBytes);
            block.fill(0, kBlockBytes, 0x00);
            const std::size_t n = std::min<std::size_t>(remaining, kBlockBytes);
            block.write(0, p.source.data() + from, n);
            index.setU16le(static_cast<std::size_t>(slot) * 2, static_cast<std::uint16_t>(first));
            ++slot;
            remaining -= n;
            from += kBlockBytes;
        }
    }
    return ToInt(ImportResult::Ok);
}

// OBJ, BTX and every other storage mode: one run; the run search is the only free-space test.
//
// The run holds the S bytes the entry records, the only bytes written: a tape's bytes past its
// header's size would otherwise take clusters that no body holds once the file is deleted.
int PlaceContiguous(Placement& p, bool copyData) {
    const int k = p.disk.FindFreeRun(static_cast<int>(p.S));
    if (k < 0 || !p.geometry.Writable(k, ClustersFor(p.S, p.ClusterBytes())))
        return ToInt(ImportResult::NoSpace);
    const long long startSector = p.geometry.FirstSector(k);
    p.stored.SetStartSector(static_cast<std::uint16_t>(startSector));
    p.StoreEntry();
    p.disk.MarkUsed(k, static_cast<int>(p.S));
    // The rest of the run keeps its former contents.
    if (copyData)
        p.Sectors(startSector, p.S).write(0, p.source.data(), p.S);
    return ToInt(ImportResult::Ok);
}

} // namespace

int DiskImage::ImportFromBuffer(const unsigned char* data, std::size_t dataBytes,
                                unsigned char* entry, int plain, int storageMode) {
    if (data == nullptr)
        dataBytes = 0;

    // 1. Free entry.
    const int freeIndex = FreeEntryIndex(*this);
    if (freeIndex < 0)
        return ToInt(ImportResult::NoFreeEntry);
    if (!DirectoryWritable(*this, m_nCurDirSector))
        return ToInt(ImportResult::ReadOnlyDirectory);

    // 3. MZT file: the header's fields are already in the caller's entry; only its length
    // counts here.
    ByteView source(data, dataBytes);
    if (plain == 0) {
        if (dataBytes <= MztHeader::kBytes)
            return ToInt(ImportResult::MztTooShort);
        source = source.slice(MztHeader::kBytes, dataBytes - MztHeader::kBytes);
    }

    // 4. Name test.
    if (entry == nullptr)
        return ToInt(ImportResult::FreeMode);
    // A deleted file's name must not block re-adding it.
    if (NameTaken(*this, m_nCurDirSector, NameFieldText(entry + DirEntry::kNameOffset)))
        return ToInt(ImportResult::NameTaken);
    // An entry stored with mode 0x00 would read as free and its clusters would be lost.
    DirEntry stored(entry);
    if (stored.IsFree())
        return ToInt(ImportResult::FreeMode);

    // 6. Line-end filter, for plain files only; storage mode 5 then goes on as BSD.
    std::vector<unsigned char> filtered;
    if (storageMode == ToInt(StorageMode::BsdCrlf) && plain != 0) {
        filtered = FilterLineEnds(source);
        source = ByteView(filtered.data(), filtered.size());
        stored.SetSize(static_cast<std::uint16_t>(source.size() & 0xFFFF));
    }
    const std::size_t L = source.size();
    const Layout layout = LayoutOf(storageMode);

    // The entry never claims bytes that were not written.
    std::size_t S = stored.Size();
    if (S > L) {
        S = L;
        stored.SetSize(static_cast<std::uint16_t>(S));
    }
    // A 16-bit size field cannot record a longer plain file, and one index sector lists at most
    // 128 blocks.
    if (layout == Layout::Indexed ? L > kMaxIndexedBytes : plain != 0 && L > kMaxSizeField)
        return ToInt(ImportResult::TooLarge);

    // 8. Allocate and write. Each layout makes sure first that the whole body fits, so that a
    // failure leaves the image as it was.
    const MutableByteView dirSlot =
        ImageView().slice(EntryOffset(m_nCurDirSector, freeIndex), kDirEntryBytes);
    Placement placement{*this,  ImageView(), BitmapView(),          dirSlot, entry, stored,
                        source, S,           ClusterGeometry(*this)};
    switch (layout) {
    case Layout::Sequential:
        return PlaceSequential(placement);
    case Layout::Indexed:
        return PlaceIndexed(placement);
    case Layout::Contiguous:
        break;
    }
    return PlaceContiguous(placement, CopiesIntoRun(storageMode));
}
