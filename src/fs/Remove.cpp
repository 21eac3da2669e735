#include <vector>

#include "fs/ClusterOwnership.h"
#include "fs/ClusterRuns.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"

// Frees exactly the clusters of the entry's body by its layout. The run that startSector and
// size describe is right only for contiguous bodies: a BSD chain or a BRD index lies elsewhere,
// and clearing that run could free another file's clusters. A cluster some other body also
// holds (a damaged disk's cross-link, a sub-directory, the boot program) stays marked.
//
// Entry indices outside 0..63 have no entry to free and are answered like a free entry.
int DiskImage::RemoveFile(int entryIndex) {
    constexpr int kAlreadyFree = ToInt(RemoveResult::AlreadyFree);
    if (entryIndex < 0 || entryIndex >= kDirEntries || !HasImage() || m_nCurDirSector < 0)
        return kAlreadyFree;
    unsigned char entry[kDirEntryBytes];
    ReadDirEntry(entry, entryIndex);
    if (entry[0] == 0x00)
        return kAlreadyFree;
    if (!DirectoryWritable(*this, m_nCurDirSector))
        return ToInt(RemoveResult::ReadOnlyDirectory);

    const ClusterOwnership owners = BuildClusterOwnership(*this);
    std::vector<int> toFree;
    for (int k : BodyClusters(*this, entry)) {
        // Indices off the bitmap come from damaged entries; there is no position to clear.
        if (k < 0 || k >= owners.dataClusters)
            continue;
        if (!owners.HeldByOther(k, m_nCurDirSector, entryIndex))
            toFree.push_back(k);
    }
    // Neighbouring clusters are freed as one run.
    ForEachRun(toFree, [&](int first, int count) { MarkFree(first, count * GetClusterBytes()); });
    ImageView().setU8(EntryOffset(m_nCurDirSector, entryIndex), 0x00);
    RecountUsed();
    return ToInt(RemoveResult::Ok);
}
