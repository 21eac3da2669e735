#include "fs/ClusterOwnership.h"

#include <algorithm>
#include <string>

#include "fs/DirEntry.h"
#include "fs/DirTree.h"
#include "fs/FileMode.h"
#include "fs/IplHeader.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"

namespace {

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

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

ClusterOwner SubDirectoryOwner(const DiskImage& disk, int dirSector, int index,
                               const DirEntry& entry) {
    ClusterOwner owner;
    owner.kind = OwnerKind::SubDirectory;
    owner.dirSector = dirSector;
    owner.entryIndex = index;
    if (!DirectoryInImage(disk, entry.StartSector()))
        owner.status = BodyStatus::LeftImage;
    owner.clusters = ClustersOfSectors(disk, entry.StartSector(), kDirSectors);
    return owner;
}

ClusterOwner FileOwner(const DiskImage& disk, int dirSector, int index, const DirEntry& entry) {
    ClusterOwner owner;
    owner.kind = OwnerKind::File;
    owner.dirSector = dirSector;
    owner.entryIndex = index;
    owner.status = WalkFileBody(disk, entry.Bytes().data()).status;
    owner.clusters = BodyClusters(disk, entry.Bytes().data());
    return owner;
}

bool BootOwner(const DiskImage& disk, ClusterOwner& owner) {
    const IplHeader ipl = IplHeader::FromImage(disk.Image());
    if (!ipl.HasSignature())
        return false;
    owner.kind = OwnerKind::BootProgram;
    const long long first = ipl.StartSector();
    const long long bytes = ipl.ProgramBytes();
    if (!disk.Image().contains(static_cast<std::size_t>(first) * kSectorBytes,
                               static_cast<std::size_t>(bytes)))
        owner.status = BodyStatus::LeftImage;
    for (int k : ClustersOfSectors(disk, first, (bytes + kSectorBytes - 1) / kSectorBytes))
        if (k >= 0)
            owner.clusters.push_back(k);
    return true;
}

} // namespace

bool ModeHoldsSpace(unsigned char mode) {
    return mode != 0x00 && !(mode >= 0x80 && mode <= 0x82);
}

bool ClusterOwnership::HeldByOther(int k, int dirSector, int entryIndex) const {
    if (k < 0 || k >= static_cast<int>(ownersOf.size()))
        return false;
    for (int o : ownersOf[static_cast<std::size_t>(k)]) {
        const ClusterOwner& owner = owners[static_cast<std::size_t>(o)];
        if (owner.dirSector != dirSector || owner.entryIndex != entryIndex)
            return true;
    }
    return false;
}

ClusterOwnership BuildClusterOwnership(const DiskImage& disk) {
    ClusterOwnership map;
    map.dataClusters = std::max(0, disk.GetPositionLimit() - kBitmapFirstPosition);
    map.ownersOf.resize(static_cast<std::size_t>(map.dataClusters));
    if (!disk.HasImage())
        return map;

    // A directory reached twice (two entries naming it, or a cycle) is read once: its entries
    // are the same entries.
    for (const DirTreeNode& node : WalkDirTree(disk, &map.treeStoppedAtLimit))
        if (std::find(map.directories.begin(), map.directories.end(), node.dirSector) ==
            map.directories.end())
            map.directories.push_back(node.dirSector);

    for (int dirSector : map.directories) {
        if (!DirectoryInImage(disk, dirSector))
            continue;
        const auto entries = ReadDirectory(disk, dirSector);
        for (int i = 0; i < kDirEntries; ++i) {
            const DirEntry& entry = entries[static_cast<std::size_t>(i)];
            if (!ModeHoldsSpace(entry.Mode()))
                continue;
            if (FileMode::BodyLayoutOf(entry.Mode()) == BodyLayout::SubDirectory) {
                if (!IsDotName(entry.NameText()))
                    map.owners.push_back(SubDirectoryOwner(disk, dirSector, i, entry));
                continue;
            }
            map.owners.push_back(FileOwner(disk, dirSector, i, entry));
        }
    }
    ClusterOwner boot;
    if (BootOwner(disk, boot))
        map.owners.push_back(std::move(boot));

    for (std::size_t o = 0; o < map.owners.size(); ++o)
        for (int k : map.owners[o].clusters)
            if (k >= 0 && k < map.dataClusters)
                map.ownersOf[static_cast<std::size_t>(k)].push_back(static_cast<int>(o));
    return map;
}
