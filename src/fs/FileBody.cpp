#include "fs/FileBody.h"

#include <algorithm>

#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FileMode.h"
#include "image/Geometry.h"

namespace {

struct EntryFields {
    std::uint8_t mode;
    int size;
    int startSector;
};

EntryFields Fields(const unsigned char* entry) {
    const DirEntry e(entry);
    return {e.Mode(), e.Size(), e.StartSector()};
}

long long ImageSectors(const DiskImage& disk) {
    return static_cast<long long>(disk.GetImageSize() / kSectorBytes);
}

// Bytes from the start of `sector` to the image end (0 when the sector lies outside).
long long BytesFrom(const DiskImage& disk, long long sector) {
    const long long at = sector * kSectorBytes;
    const auto size = static_cast<long long>(disk.GetImageSize());
    return sector >= 0 && at < size ? size - at : 0;
}

void LeaveImage(FileBody& body, long long sector) {
    body.status = BodyStatus::LeftImage;
    body.outsideSector = sector;
}

void Add(FileBody& body, int sector, long long bytes) {
    body.pieces.push_back({sector, static_cast<int>(bytes)});
    body.bytes += static_cast<std::size_t>(bytes);
}

void WalkContiguous(const DiskImage& disk, const EntryFields& f, FileBody& body) {
    if (f.size == 0)
        return;
    const long long inside = std::min<long long>(f.size, BytesFrom(disk, f.startSector));
    if (inside > 0)
        Add(body, f.startSector, inside);
    if (inside < f.size)
        LeaveImage(body, std::max<long long>(f.startSector, ImageSectors(disk)));
}

void WalkChain(const DiskImage& disk, const EntryFields& f, FileBody& body) {
    long long remaining = f.size;
    if (remaining == 0)
        return;
    const ByteView image = disk.Image();
    // A chain cannot be longer than the sectors the size needs, so the walk ends anyway; the
    // visited set only stops a loop from repeating bytes.
    std::vector<bool> visited(static_cast<std::size_t>(ImageSectors(disk)), false);
    int s = f.startSector;
    for (;;) {
        if (s == 0) {
            body.status = BodyStatus::EndedEarly;
            return;
        }
        if (s >= ImageSectors(disk)) {
            LeaveImage(body, s);
            return;
        }
        if (visited[static_cast<std::size_t>(s)]) {
            body.status = BodyStatus::ChainLoop;
            return;
        }
        visited[static_cast<std::size_t>(s)] = true;
        if (remaining <= kChainDataBytes) {
            // The last sector's link is never read.
            Add(body, s, remaining);
            return;
        }
        Add(body, s, kChainDataBytes);
        remaining -= kChainDataBytes;
        s = image.u16le(static_cast<std::size_t>(s) * kSectorBytes + kChainLinkOffset);
    }
}

// Calls onBlock(firstSector) for each index entry the size needs, in order, up to 128; returns
// how the index walk ended. Blocks that start outside the image end the walk; *outside (when
// given) then receives the first sector the walk needed and did not find.
template <typename OnBlock>
BodyStatus WalkIndex(const DiskImage& disk, const EntryFields& f, OnBlock onBlock,
                     long long* outside = nullptr) {
    auto left = [&](long long sector) {
        if (outside)
            *outside = sector;
        return BodyStatus::LeftImage;
    };
    long long remaining = static_cast<long long>(f.size) * kRecordBytes;
    if (remaining == 0)
        return BodyStatus::Complete;
    if (f.startSector >= ImageSectors(disk))
        return left(f.startSector);
    const ByteView index =
        disk.Image().slice(static_cast<std::size_t>(f.startSector) * kSectorBytes, kSectorBytes);
    for (int slot = 0; slot < kIndexSlots; ++slot) {
        const int b = index.u16le(static_cast<std::size_t>(slot) * 2);
        if (b == 0)
            return BodyStatus::EndedEarly;
        if (b >= ImageSectors(disk))
            return left(b);
        const long long take = std::min<long long>(remaining, kBlockBytes);
        if (!onBlock(b, take))
            return left(ImageSectors(disk));
        remaining -= take;
        if (remaining == 0)
            return BodyStatus::Complete;
    }
    return BodyStatus::EndedEarly; // the index sector is full and the size asks for more
}

void WalkBlocks(const DiskImage& disk, const EntryFields& f, FileBody& body) {
    long long outside = -1;
    body.status = WalkIndex(
        disk, f,
        [&](int b, long long take) {
            const long long inside = std::min<long long>(take, BytesFrom(disk, b));
            Add(body, b, inside);
            return inside == take;
        },
        &outside);
    if (body.status == BodyStatus::LeftImage)
        body.outsideSector = outside;
}

class ClusterSet {
public:
    explicit ClusterSet(const DiskImage& disk)
        : m_spc(disk.GetSectorsPerCluster()), m_firstData(disk.GetFirstDataCluster()) {}
    void AddSector(long long sector) { m_k.push_back(static_cast<int>(ClusterOf(sector))); }
    void AddSectors(long long first, long long count) {
        if (count <= 0)
            return;
        for (long long k = ClusterOf(first); k <= ClusterOf(first + count - 1); ++k)
            m_k.push_back(static_cast<int>(k));
    }
    void AddRun(long long firstCluster, long long count) {
        for (long long i = 0; i < count; ++i)
            m_k.push_back(static_cast<int>(firstCluster + i));
    }
    long long ClusterOf(long long sector) const { return sector / m_spc - m_firstData; }
    int ClusterBytes() const { return m_spc * kSectorBytes; }
    std::vector<int> Take() {
        std::sort(m_k.begin(), m_k.end());
        m_k.erase(std::unique(m_k.begin(), m_k.end()), m_k.end());
        return std::move(m_k);
    }

private:
    int m_spc;
    int m_firstData;
    std::vector<int> m_k;
};

} // namespace

FileBody WalkFileBody(const DiskImage& disk, const unsigned char* entry) {
    FileBody body;
    const EntryFields f = Fields(entry);
    switch (FileMode::BodyLayoutOf(f.mode)) {
    case BodyLayout::SectorChain:
        WalkChain(disk, f, body);
        break;
    case BodyLayout::BlockIndex:
        WalkBlocks(disk, f, body);
        break;
    default:
        WalkContiguous(disk, f, body);
        break;
    }
    return body;
}

std::vector<int> BodyClusters(const DiskImage& disk, const unsigned char* entry) {
    const EntryFields f = Fields(entry);
    ClusterSet set(disk);
    switch (FileMode::BodyLayoutOf(f.mode)) {
    case BodyLayout::SectorChain:
        for (const BodyPiece& piece : WalkFileBody(disk, entry).pieces)
            set.AddSector(piece.sector);
        break;
    case BodyLayout::BlockIndex:
        // The index cluster is allocated even for a file of 0 bytes.
        set.AddSector(f.startSector);
        WalkIndex(disk, f, [&](int b, long long) {
            set.AddSectors(b, std::min<long long>(kBlockSectors, ImageSectors(disk) - b));
            return true;
        });
        break;
    default: {
        const long long n = (f.size + set.ClusterBytes() - 1) / set.ClusterBytes();
        set.AddRun(set.ClusterOf(f.startSector), n);
        break;
    }
    }
    return set.Take();
}
