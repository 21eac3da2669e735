#include "fs/ClusterOwnership.h"

#include <algorithm>
#include <string>

#include "fs/DirEntry.h"
#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "image/Geometry.h"

namespace {

// The cluster indices of sectors first .. first + count - 1.
std::vector<int> ClustersOfSectors(const DiskImage& disk, long long first, long long count) {
    std::vector<int> clusters;
    if (count <= 0)
        return clusters;
    const long long spc = disk.GetSectorsPerCluster();
    const long long firstData = disk.GetFirstDataCluster();
    for (long long c = first / spc; c <= (first + count - 1) / spc; ++c)
        clusters.push_back(static_cast<int>(c - firstData));
    return clusters;
}

DirEntry EntryAt(const DiskImage& disk, int dirSector, int index) {
    unsigned char raw[kDirEntryBytes];
    disk.Image().copyTo(raw, EntryOffset(dirSector, index), kDirEntryBytes);
    return DirEntry(raw);
}

long long BootSectors(const IplHeader& ipl) {
    return (static_cast<long long>(ipl.ProgramBytes()) + kSectorBytes - 1) / kSectorBytes;
}

// Entries are told apart by where they lie, not by (directory, index): directories that
// overlap on a damaged disk name one entry twice.
long long EntryAddress(int dirSector, int entryIndex) {
    return static_cast<long long>(dirSector) * (kSectorBytes / kDirEntryBytes) + entryIndex;
}

} // namespace

bool ModeHoldsSpace(unsigned char mode) {
    return mode != 0x00 && !(mode >= 0x80 && mode <= 0x82);
}

bool ClusterOwnership::HeldByOther(int k, int dirSector, int entryIndex) const {
    if (k < 0 || k >= static_cast<int>(holders.size()))
        return false;
    const ClusterHolders& h = holders[static_cast<std::size_t>(k)];
    if (h.count == 0)
        return false;
    // Every entry is one owner at most, so a second holder is always someone else.
    if (h.count >= 2)
        return true;
    const ClusterOwner& owner = owners[static_cast<std::size_t>(h.first)];
    return owner.kind == OwnerKind::BootProgram ||
           EntryAddress(owner.dirSector, owner.entryIndex) != EntryAddress(dirSector, entryIndex);
}

std::vector<int> OwnerClusters(const DiskImage& disk, const ClusterOwner& owner) {
    switch (owner.kind) {
    case OwnerKind::BootProgram: {
        const IplHeader ipl = IplHeader::FromImage(disk.Image());
        std::vector<int> clusters = ClustersOfSectors(disk, ipl.StartSector(), BootSectors(ipl));
        clusters.erase(clusters.begin(), std::find_if(clusters.begin(), clusters.end(),
                                                      [](int k) { return k >= 0; }));
        return clusters;
    }
    case OwnerKind::SubDirectory:
        return ClustersOfSectors(
            disk, EntryAt(disk, owner.dirSector, owner.entryIndex).StartSector(), kDirSectors);
    case OwnerKind::File:
        break;
    }
    return BodyClusters(disk, EntryAt(disk, owner.dirSector, owner.entryIndex).Bytes().data());
}

std::vector<int> UnmarkedClusters(const DiskImage& disk, const ClusterOwnership& map,
                                  const ClusterOwner& owner) {
    const ByteView bitmap = disk.Image().slice(kBitmapOffset, kSectorBytes);
    std::vector<int> unmarked;
    for (int k : OwnerClusters(disk, owner))
        if (k >= 0 && k < map.dataClusters && !BitmapBit(bitmap, kBitmapFirstPosition + k))
            unmarked.push_back(k);
    return unmarked;
}

AllocationHazard FindAllocationHazard(const DiskImage& disk) {
    AllocationHazard hazard;
    if (!disk.IsMzFileSystem())
        return hazard;
    const ClusterOwnership map = BuildClusterOwnership(disk);
    for (const ClusterOwner& owner : map.owners) {
        const auto clusters = static_cast<int>(UnmarkedClusters(disk, map, owner).size());
        if (clusters == 0)
            continue;
        if (hazard.Present()) {
            ++hazard.moreBodies;
            continue;
        }
        hazard.kind = owner.kind;
        hazard.clusters = clusters;
        if (owner.kind != OwnerKind::BootProgram)
            hazard.name = EntryAt(disk, owner.dirSector, owner.entryIndex).NameText();
    }
    return hazard;
}

ClusterOwnership BuildClusterOwnership(const DiskImage& disk) {
    ClusterOwnership map;
    map.dataClusters = std::max(0, disk.GetPositionLimit() - kBitmapFirstPosition);
    map.holders.resize(static_cast<std::size_t>(map.dataClusters));
    if (!disk.HasImage())
        return map;

    // A directory reached twice (two entries naming it, or a cycle) is read once: its entries
    // are the same entries.
    for (const DirTreeNode& node : WalkDirTree(disk, &map.treeStoppedAtLimit))
        if (std::find(map.directories.begin(), map.directories.end(), node.dirSector) ==
            map.directories.end())
            map.directories.push_back(node.dirSector);

    std::vector<bool> seen(disk.GetImageSize() / kDirEntryBytes, false);
    for (int dirSector : map.directories) {
        if (!DirectoryInImage(disk, dirSector))
            continue;
        const auto entries = ReadDirectory(disk, dirSector);
        for (int i = 0; i < kDirEntries; ++i) {
            const DirEntry& entry = entries[static_cast<std::size_t>(i)];
            if (!ModeHoldsSpace(entry.Mode()))
                continue;
            const auto address = static_cast<std::size_t>(EntryAddress(dirSector, i));
            if (seen[address])
                continue;
            seen[address] = true;
            ClusterOwner owner;
            owner.dirSector = dirSector;
            owner.entryIndex = i;
            if (FileMode::BodyLayoutOf(entry.Mode()) == BodyLayout::SubDirectory) {
                if (IsDotName(entry.NameText()))
                    continue;
                owner.kind = OwnerKind::SubDirectory;
                if (!DirectoryInImage(disk, entry.StartSector()))
                    owner.status = BodyStatus::LeftImage;
            } else {
                owner.status = WalkFileBody(disk, entry.Bytes().data()).status;
            }
            map.owners.push_back(owner);
        }
    }
    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    if (ipl.HasSignature()) {
        ClusterOwner boot;
        boot.kind = OwnerKind::BootProgram;
        if (!disk.Image().contains(static_cast<std::size_t>(ipl.StartSector()) * kSectorBytes,
                                   ipl.ProgramBytes()))
            boot.status = BodyStatus::LeftImage;
        map.owners.push_back(boot);
    }

    for (std::size_t o = 0; o < map.owners.size(); ++o) {
        for (int k : OwnerClusters(disk, map.owners[o])) {
            if (k < 0 || k >= map.dataClusters)
                continue;
            ClusterHolders& h = map.holders[static_cast<std::size_t>(k)];
            if (h.count == 0)
                h.first = static_cast<int>(o);
            else if (h.count == 1)
                h.second = static_cast<int>(o);
            ++h.count;
        }
    }
    return map;
}
