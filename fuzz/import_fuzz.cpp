// Imports host data into disks of every kind, from formatted ones to arbitrary bytes, then
// exports every entry, checking that failures change nothing and successes read back.
//
// Input:
//   [0] image kind: 0 formatted, 1 raw flat bytes, 2 raw D88 bytes, 3 formatted and patched
//   [1] disk type for kinds 0 and 3
//   [2..3] length n of the image part (little-endian), then n bytes:
//          kinds 1 and 2: the bytes to load; kind 3: patches (offset u24, length u8, bytes)
//   then up to 8 operations:
//     [0] flags: bit 0 plain, bit 1 set the current directory instead, bit 2 repeat the
//         data 16 times (for large files)
//     set directory: [1..2] sector
//     import: [1] storage mode (signed), [2..33] the entry, [34..35] data length, data bytes
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fs/DiskImage.h"
#include "fs/FileBody.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"

#include "FuzzDisk.h"

namespace {

using fuzzdisk::Check;
using fuzzdisk::Input;
using fuzzdisk::MakeDisk;
using fuzzdisk::Snapshot;

int CountSetPositions(const DiskImage& disk) {
    const ByteView bitmap = disk.Image().slice(kBitmapOffset, kSectorBytes);
    int n = 0;
    for (int p = kBitmapFirstPosition; p < disk.GetPositionLimit(); ++p)
        n += (bitmap.u8(static_cast<std::size_t>(p) / 8) >> (p % 8)) & 1;
    return n;
}

std::vector<bool> Positions(const ByteView& image, int limit) {
    std::vector<bool> bits;
    const ByteView bitmap = image.slice(kBitmapOffset, kSectorBytes);
    for (int p = kBitmapFirstPosition; p < limit; ++p)
        bits.push_back((bitmap.u8(static_cast<std::size_t>(p) / 8) >> (p % 8)) & 1);
    return bits;
}

void ExportAll(const DiskImage& disk) {
    std::vector<unsigned char> bin, mzt;
    for (int i = 0; i < kDirEntries; ++i) {
        Check(disk.ExportToBuffer(i, 1, bin) == 0);
        Check(disk.ExportToBuffer(i, 0, mzt) == 0);
        // At most a whole index of blocks, or a 16-bit size.
        Check(bin.size() <= 524288);
        Check(mzt.size() == bin.size() + MztHeader::kBytes);
        Check(std::equal(bin.begin(), bin.end(), mzt.begin() + MztHeader::kBytes));
    }
    Check(disk.ExportToBuffer(-1, 0, bin) == 1 && bin.empty());
    Check(disk.ExportToBuffer(kDirEntries, 1, bin) == 1 && bin.empty());
}

// After a successful import into the root of a sound file system the new entry reads back
// what was stored.
void CheckStored(const DiskImage& disk, const unsigned char* entry, const unsigned char* data,
                 std::size_t dataBytes, int plain, int storageMode) {
    if (disk.GetCurrentDir() != kRootDirSector)
        return;
    if (storageMode < 1 || storageMode > 4)
        return; // mode 5 filters; others copy nothing
    // The layout follows the storage mode, the export the mode byte: only where they agree
    // does the body read back.
    const std::uint8_t mode = entry[0];
    const bool agree = storageMode == 3   ? mode == 0x03
                       : storageMode == 4 ? mode == 0x04
                                          : mode != 0x03 && mode != 0x04;
    if (!agree)
        return;
    const unsigned char* body = plain ? data : data + MztHeader::kBytes;
    const std::size_t length = plain ? dataBytes : dataBytes - MztHeader::kBytes;
    int index = -1;
    unsigned char stored[kDirEntryBytes];
    for (int i = 0; i < kDirEntries && index < 0; ++i) {
        disk.ReadDirEntry(stored, i);
        if (std::memcmp(stored, entry, kDirEntryBytes) == 0)
            index = i;
    }
    Check(index >= 0);
    const FileBody walk = WalkFileBody(disk, stored);
    Check(walk.status == BodyStatus::Complete);
    std::vector<unsigned char> bin;
    Check(disk.ExportToBuffer(index, 1, bin) == 0);
    const std::size_t size = stored[20] | (stored[21] << 8);
    const std::size_t want = storageMode == 4 ? length : size;
    Check(bin.size() >= want && std::equal(body, body + want, bin.begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    DiskImage disk;
    MakeDisk(disk, in);
    for (int op = 0; op < 8 && !in.Empty(); ++op) {
        const std::uint8_t flags = in.U8();
        if (flags & 2) {
            disk.SetCurrentDir(in.U16());
            continue;
        }
        const int plain = flags & 1;
        const int storageMode = static_cast<std::int8_t>(in.U8());
        std::vector<unsigned char> entry = in.Bytes(kDirEntryBytes);
        entry.resize(kDirEntryBytes, 0);
        std::vector<unsigned char> host = in.Bytes(in.U16());
        if (flags & 4) {
            const std::size_t n = host.size();
            for (int r = 1; r < 16; ++r)
                host.insert(host.end(), host.begin(), host.begin() + static_cast<long>(n));
        }

        const std::vector<unsigned char> before = Snapshot(disk);
        const int limit = disk.GetPositionLimit();
        // Judged before the import: on a foreign bitmap whose data clusters cover the bitmap
        // sector (firstDataCluster 1, say) the body's own bytes may leave something that looks
        // like a sound bitmap, with a count that has nothing to do with its bits. A directory
        // over the bitmap sector rewrites the bits itself.
        const int dir = disk.GetCurrentDir();
        const bool sound =
            disk.IsMzFileSystem() && (dir > kBitmapSector || dir + kDirSectors <= kBitmapSector);
        const std::vector<unsigned char> given = entry;
        const int rc =
            disk.ImportFromBuffer(host.data(), host.size(), entry.data(), plain, storageMode);
        Check(rc >= 0 && rc <= ToInt(ImportResult::ReadOnlyDirectory));
        if (rc != 0) {
            Check(Snapshot(disk) == before);
            Check(entry == given);
        } else {
            Check(entry[0] != 0x00);
            // The recount (the reserved area and the set positions) replaces usedClusters
            // unless nothing was marked (a BSD body of 0 bytes), where the added need(L) stays.
            if (!sound)
                continue;
            if (Positions(disk.Image(), limit) !=
                Positions(ByteView(before.data(), before.size()), limit))
                Check(disk.GetUsedClusters() ==
                      disk.GetFirstDataCluster() + CountSetPositions(disk));
            CheckStored(disk, entry.data(), host.data(), host.size(), plain, storageMode);
        }
    }
    ExportAll(disk);
    return 0;
}
