// Loads arbitrary bytes as a disk (or formats one and patches it), then runs the deletion, boot
// and checker operations on it: every entry of every directory exported, the boot program
// extracted, the checker run, entries removed, programs registered. Nothing may crash, and an
// operation that fails must leave the image exactly as it was.
//
// Input:
//   [0] image kind: bit 0..1: 0 formatted, 1 raw flat bytes, 2 raw D88 bytes, 3 formatted and
//       patched
//   [1] disk type for kinds 0 and 3
//   [2..3] length n of the image part (little-endian), then n bytes:
//          kinds 1 and 2: the bytes to load; kind 3: patches (offset u24, length u8, bytes)
//   then operations until the input ends (at most 32):
//     [0] op % 5: 0 set the current directory ([1..2] sector), 1 remove ([1] index, signed),
//         2 register a boot program ([1] plain, [2] machine, [3] text length, text,
//         [..] u16 length, data), 3 import a plain file ([1] storage mode, [2..3] length,
//         data), 4 check and export everything
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fs/AddFileEntry.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"
#include "fs/IplHeader.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"

#include "FuzzDisk.h"

namespace {

using fuzzdisk::Check;
using fuzzdisk::Input;
using fuzzdisk::MakeDisk;
using fuzzdisk::Same;
using fuzzdisk::Snapshot;

// Reads everything the operations can read: every entry of the first directories of the walk,
// both formats, the boot program and the checker. None of it may change the image.
void ReadEverything(DiskImage& disk) {
    const std::vector<unsigned char> before = Snapshot(disk);
    const int current = disk.GetCurrentDir();
    std::vector<unsigned char> out;
    const auto tree = WalkDirTree(disk);
    for (std::size_t n = 0; n < tree.size() && n < 8; ++n) {
        disk.SetCurrentDir(tree[n].dirSector);
        for (int i = 0; i < kDirEntries; ++i) {
            unsigned char entry[kDirEntryBytes];
            disk.ReadDirEntry(entry, i);
            // Both formats walk the same body; alternating them keeps each run short.
            if (entry[0] != 0x00)
                disk.ExportToBuffer(i, i & 1, out);
        }
    }
    disk.SetCurrentDir(current);
    for (int format : {0, 1}) {
        if (disk.ExtractBootToBuffer(format, out) != 0)
            Check(out.empty());
    }
    const FsCheckReport report = CheckFileSystem(disk);
    Check(report.mzFileSystem || !report.findings.empty());
    // The check builds the ownership map only on MZ file systems; deletion builds it on any.
    if (!report.mzFileSystem) {
        const ClusterOwnership map = BuildClusterOwnership(disk);
        Check(map.holders.size() == static_cast<std::size_t>(map.dataClusters));
    }
    Check(Same(disk, before));
}

void Remove(DiskImage& disk, Input& in) {
    const int index = static_cast<std::int8_t>(in.U8());
    unsigned char entry[kDirEntryBytes];
    disk.ReadDirEntry(entry, index);
    const std::vector<unsigned char> before = Snapshot(disk);
    const int result = disk.RemoveFile(index);
    if (result != 0) {
        Check((result == ToInt(RemoveResult::AlreadyFree) ||
               result == ToInt(RemoveResult::ReadOnlyDirectory)) &&
              Same(disk, before));
        return;
    }
    Check(entry[0] != 0x00);
    disk.ReadDirEntry(entry, index);
    Check(entry[0] == 0x00);
    // The recount: the reserved area and at most every scanned position.
    Check(disk.GetUsedClusters() <=
          disk.GetFirstDataCluster() + std::max(0, disk.GetPositionLimit() - kBitmapFirstPosition));
}

void RegisterBoot(DiskImage& disk, Input& in) {
    const int plain = in.U8() & 1;
    const int machine = in.U8();
    const std::vector<unsigned char> text = in.Bytes(in.U8() % 16);
    const std::vector<unsigned char> data = in.Bytes(in.U16());
    const IplHeader header = BootHeaderBuilder::Build(
        machine, std::string(text.begin(), text.end()), static_cast<std::uint16_t>(data.size()));
    const std::vector<unsigned char> before = Snapshot(disk);
    const int result =
        disk.RegisterBootFromBuffer(data.data(), data.size(), header.Bytes().data(), plain);
    if (result != 0) {
        Check(result >= 1 && result <= 4 && Same(disk, before));
        return;
    }
    const IplHeader stored = IplHeader::FromImage(disk.Image());
    Check(stored.HasSignature());
    // Unless a foreign bitmap put the program over sector 0 itself, it reads back as given.
    if (stored.StartSector() > 0) {
        std::vector<unsigned char> out;
        Check(disk.ExtractBootToBuffer(1, out) == 0);
        const std::size_t skip = plain ? 0 : 128;
        Check(out.size() == data.size() - skip &&
              std::equal(out.begin(), out.end(), data.begin() + static_cast<long>(skip)));
    }
}

void Import(DiskImage& disk, Input& in, int op) {
    const int mode = in.U8() % 6;
    const std::vector<unsigned char> data = in.Bytes(in.U16());
    auto entry = AddFileEntry::Build("Z" + std::to_string(op),
                                     static_cast<std::uint8_t>(mode == 0 ? 1 : mode), false, 0,
                                     static_cast<std::int64_t>(data.size()), 0, 0);
    const std::vector<unsigned char> before = Snapshot(disk);
    if (disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, mode) != 0)
        Check(Same(disk, before));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    DiskImage disk;
    MakeDisk(disk, in);
    ReadEverything(disk);
    for (int op = 0; op < 32 && !in.Empty(); ++op) {
        switch (in.U8() % 5) {
        case 0:
            disk.SetCurrentDir(static_cast<std::int16_t>(in.U16()));
            break;
        case 1:
            Remove(disk, in);
            break;
        case 2:
            RegisterBoot(disk, in);
            break;
        case 3:
            Import(disk, in, op);
            break;
        default:
            ReadEverything(disk);
            break;
        }
    }
    ReadEverything(disk);
    return 0;
}
