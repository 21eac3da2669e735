#pragma once

#include <string>
#include <vector>

#include "fs/FileBody.h"

class DiskImage;

// Which body holds each data cluster: the files of every directory reachable from the root,
// the sub-directories' 8 sectors and the boot program. The file-system check compares it with
// the bitmap; deletion uses it so that freeing one file never clears a cluster that another
// body also holds.
//
// Entries of modes 0x80, 0x81 and 0x82 hold nothing: formatting writes a 0x80 entry whose start
// sector 0 lies in the reserved area, and nothing of this program allocates space for them.
// "." and ".." entries hold nothing either: they name directories held by other entries.
//
// Only counts and the first two holders of each cluster are kept, so that an image full of
// entries claiming everything still costs memory in proportion to its clusters.
enum class OwnerKind { File, SubDirectory, BootProgram };

struct ClusterOwner {
    OwnerKind kind = OwnerKind::File;
    int dirSector = -1;  // the directory holding the entry; -1 for the boot program
    int entryIndex = -1; // 0..63; -1 for the boot program
    BodyStatus status = BodyStatus::Complete;
};

struct ClusterHolders {
    int count = 0;  // distinct owners holding the cluster
    int first = -1; // indices into ClusterOwnership::owners, in walk order
    int second = -1;
};

struct ClusterOwnership {
    int dataClusters = 0;                // bitmap positions 48 .. 48 + dataClusters - 1
    std::vector<int> directories;        // sectors of the directories walked, root first, unique
    bool treeStoppedAtLimit = false;     // the directory walk met its node limit
    std::vector<ClusterOwner> owners;    // in walk order, the boot program last
    std::vector<ClusterHolders> holders; // one per cluster index 0 .. dataClusters - 1

    // Whether cluster k is held by an owner other than entry (dirSector, entryIndex).
    bool HeldByOther(int k, int dirSector, int entryIndex) const;
};

ClusterOwnership BuildClusterOwnership(const DiskImage& disk);

// The cluster indices k an owner's body occupies, ascending and without repeats. For files and
// sub-directories they may lie below 0 (reserved area) or beyond the bitmap; the boot
// program's sectors in the reserved area are left out, as loading it from there is normal.
std::vector<int> OwnerClusters(const DiskImage& disk, const ClusterOwner& owner);

// Whether a mode byte stands for an entry whose space the ownership counts. Free entries and
// the modes 0x80 .. 0x82 do not.
bool ModeHoldsSpace(unsigned char mode);

// The data clusters of an owner's body (cluster indices 0 .. dataClusters - 1, ascending) whose
// bitmap positions are clear: what `check` reports as not marked, and what an allocation could
// hand out and overwrite. Clusters in the reserved area or past the bitmap are not among them.
std::vector<int> UnmarkedClusters(const DiskImage& disk, const ClusterOwnership& map,
                                  const ClusterOwner& owner);

// Why allocating on a disk could overwrite a body: the first one, in walk order, whose data
// clusters the bitmap does not all mark. A bitmap written under another reading of its
// positions (a real MZ-2000 system disk has one) leaves a whole file looking free.
struct AllocationHazard {
    OwnerKind kind = OwnerKind::File;
    std::string name{}; // the entry's name, Shift-JIS; empty for the boot program
    int clusters = 0;   // its data clusters the bitmap leaves clear; 0 when there is no hazard
    int moreBodies = 0; // further bodies with clusters left clear (`check` names them all)

    bool Present() const { return clusters > 0; }
};

// Nothing on a disk that is not an MZ file system (nothing is allocated there).
AllocationHazard FindAllocationHazard(const DiskImage& disk);
