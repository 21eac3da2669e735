// Feeds arbitrary bytes to both load forms and then exercises the read-only operations and
// the save/reload round trip on whatever image results.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "image/Geometry.h"

namespace {

void Exercise(DiskImage& disk) {
    volatile int sink = 0;
    sink = sink + disk.GetFreeBytes() + disk.FindFirstFreeCluster() + disk.GetUsedClusters() +
           disk.GetTotalClusters() + disk.GetClusterBytes() + disk.GetPositionLimit();
    for (int bytes : {-1, 0, 1, 255, 256, 257, 512, 4096, 65535, 0x7FFFFFFF})
        sink = sink + disk.FindFreeRun(bytes);
    sink = sink + (disk.IsMzFileSystem() ? 1 : 0);

    unsigned char entry[kDirEntryBytes];
    disk.SetCurrentDir(-1);
    for (int i = 0; i < kDirEntries; ++i) {
        disk.ReadDirEntry(entry, i);
        sink = sink + entry[0];
    }

    unsigned char sector[kSectorBytes];
    const int sectors = disk.GetCylinders() * kSectorsPerCylinder;
    for (int s :
         {0, kBitmapSector, kRootDirSector, sectors - 1, sectors, sectors + 1, -1, 0x7FFFFFFF}) {
        disk.ReadSector(sector, s);
        sink = sink + sector[0];
    }

    bool stopped = false;
    const std::vector<DirTreeNode> tree = WalkDirTree(disk, &stopped);
    if (tree.empty() || tree.size() > static_cast<std::size_t>(kMaxTreeNodes))
        std::abort();
    for (const DirTreeNode& node : tree) {
        for (const ListRow& row : ListDirectory(disk, node.dirSector))
            sink = sink + static_cast<int>(row.columns[3].size()) + row.entryIndex;
    }

    for (int flat : {1, 0}) {
        const int size = disk.GetSavedSize(flat);
        if (size < 0)
            std::abort();
        std::vector<unsigned char> saved(static_cast<std::size_t>(size));
        disk.Save(saved.data(), flat);
        if (flat)
            continue;
        // A saved D88 form decodes to the same flat image (up to the 82 cylinders it holds).
        DiskImage again;
        if (again.Load(saved.data(), saved.size(), 0) != 0)
            std::abort();
        // A flat image may end inside its last cylinder; the save pads it with 0x00.
        const std::size_t kept = static_cast<std::size_t>(disk.GetCylinders()) * kCylinderBytes;
        const ByteView a = disk.Image().slice(0, kept);
        const ByteView b = again.Image();
        if (b.size() != kept || (!a.empty() && std::memcmp(a.data(), b.data(), a.size()) != 0))
            std::abort();
        const std::vector<unsigned char> zeros(kept - a.size(), 0);
        if (!zeros.empty() && std::memcmp(b.data() + a.size(), zeros.data(), zeros.size()) != 0)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (int flat : {0, 1}) {
        DiskImage disk;
        disk.Load(data, size, flat);
        if (disk.HasImage())
            Exercise(disk);
    }
    return 0;
}
