#include <gtest/gtest.h>

#include <vector>

#include "fs/BootHeaderBuilder.h"
#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"
#include "fs/IplHeader.h"
#include "fs/ResultCodes.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::MakeEntry;
using testdisk::PositionSet;
using testdisk::PutEntry;
using testdisk::PutFile;
using testdisk::Snapshot;

namespace {

constexpr int kRoot = kRootDirSector;

DirEntry RootEntry(const DiskImage& disk, int index) {
    unsigned char raw[kDirEntryBytes];
    disk.Image().copyTo(raw, kRoot * kSectorBytes + static_cast<std::size_t>(index) * 32, 32);
    return DirEntry(raw);
}

// Positions 48 + k for the given k are set, and the neighbours named in `clear` are not.
void ExpectSet(const DiskImage& disk, std::initializer_list<int> ks, bool set) {
    for (int k : ks)
        EXPECT_EQ(PositionSet(disk, kBitmapFirstPosition + k), set) << "cluster " << k;
}

void ExpectNoErrors(const DiskImage& disk) {
    const FsCheckReport report = CheckFileSystem(disk);
    EXPECT_EQ(report.Errors(), 0) << report.Summary();
}

} // namespace

TEST(RemoveFile, FreeEntryIsRefusedUnchanged) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300), 1), 0);
    const auto before = Snapshot(disk);
    EXPECT_EQ(disk.RemoveFile(5), 1);
    EXPECT_EQ(Snapshot(disk), before);
}

TEST(RemoveFile, IndicesOutsideTheDirectoryAreRefusedUnchanged) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300), 1), 0);
    const auto before = Snapshot(disk);
    for (int index : {-1, 64, 1000, -100000})
        EXPECT_EQ(disk.RemoveFile(index), 1) << index;
    EXPECT_EQ(Snapshot(disk), before);
}

TEST(RemoveFile, ObjOf300BytesFreesTwoClusters) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "FIRST", testdisk::Pattern(300, 1), 1), 0);  // clusters 0, 1
    ASSERT_EQ(PutFile(disk, "SECOND", testdisk::Pattern(300, 2), 1), 0); // clusters 2, 3
    const int index = testdisk::FindEntry(disk, "FIRST");
    ASSERT_GE(index, 0);
    const DirEntry before = RootEntry(disk, index);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 4);

    ASSERT_EQ(disk.RemoveFile(index), 0);
    ExpectSet(disk, {0, 1}, false);
    ExpectSet(disk, {2, 3}, true);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 2);
    // Only the mode byte changes.
    DirEntry after = RootEntry(disk, index);
    EXPECT_EQ(after.Mode(), 0x00);
    after.SetMode(before.Mode());
    EXPECT_EQ(after, before);
    EXPECT_EQ(disk.RemoveFile(index), 1); // now already free
    ExpectNoErrors(disk);
}

TEST(RemoveFile, LargeClustersFreeTheRunFromTheStartSector) {
    DiskImage disk;
    disk.Format(0);             // 512-byte clusters, first data cluster 24
    disk.MarkUsed(25, 4 * 512); // clusters 25 .. 28
    PutEntry(disk, kRoot, 3, MakeEntry({.mode = 0x01, .name = "RUN", .size = 1024, .start = 100}));
    ASSERT_EQ(disk.RemoveFile(3), 0);
    // Sector 100 is cluster 50 = index 26; 1024 bytes are two clusters.
    ExpectSet(disk, {26, 27}, false);
    ExpectSet(disk, {25, 28}, true);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 2);
}

TEST(RemoveFile, SizeZeroFreesNoClusterButTheEntry) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "EMPTY", {}, 1), 0);
    ASSERT_EQ(PutFile(disk, "NEXT", testdisk::Pattern(10), 1), 0); // takes cluster 0
    const int index = testdisk::FindEntry(disk, "EMPTY");
    ASSERT_GE(index, 0);
    ASSERT_EQ(RootEntry(disk, index).StartSector(), 48); // points at NEXT's cluster
    ASSERT_EQ(disk.RemoveFile(index), 0);
    EXPECT_EQ(RootEntry(disk, index).Mode(), 0x00);
    ExpectSet(disk, {0}, true);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 1);
}

TEST(RemoveFile, FormattedEntryZeroRecountsTheUsedClusters) {
    DiskImage disk;
    disk.Format(1);
    testdisk::PokeU16(disk, kBitmapOffset + kBitmapUsedClusters, 7); // a count out of step
    ASSERT_EQ(RootEntry(disk, 0).Mode(), 0x80);
    ASSERT_EQ(disk.RemoveFile(0), 0);
    EXPECT_EQ(RootEntry(disk, 0).Mode(), 0x00);
    EXPECT_EQ(disk.GetUsedClusters(), 48); // the recount, as after any MarkFree
    EXPECT_EQ(testdisk::CountUsed(disk), 0);
}

TEST(RemoveFile, BsdChainIsFreedExactly) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300, 1), 3), 0); // 2 sectors: clusters 0, 1
    ASSERT_EQ(PutFile(disk, "B", testdisk::Pattern(300, 2), 1), 0); // clusters 2, 3
    ASSERT_EQ(disk.RemoveFile(testdisk::FindEntry(disk, "A")), 0);
    // C's chain of 4 sectors takes the lowest free clusters: 0, 1, then 4, 5.
    ASSERT_EQ(PutFile(disk, "C", testdisk::Pattern(1000, 3), 3), 0);
    ExpectSet(disk, {0, 1, 2, 3, 4, 5}, true);
    const auto c = testdisk::FindEntry(disk, "C");
    ASSERT_GE(c, 0);
    ASSERT_EQ(disk.RemoveFile(c), 0);
    ExpectSet(disk, {0, 1, 4, 5}, false);
    // The run 0..3 that startSector and size would describe holds B's clusters.
    ExpectSet(disk, {2, 3}, true);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 2);
    ExpectNoErrors(disk);
}

TEST(RemoveFile, BsdChainOnLargeClusters) {
    DiskImage disk;
    disk.Format(0);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(600, 1), 3), 0); // 3 sectors: clusters 0, 1
    ASSERT_EQ(PutFile(disk, "B", testdisk::Pattern(100, 2), 1), 0); // cluster 2
    ASSERT_EQ(disk.RemoveFile(testdisk::FindEntry(disk, "A")), 0);
    ExpectSet(disk, {0, 1}, false);
    ExpectSet(disk, {2}, true);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 1);
}

TEST(RemoveFile, BrdIndexAndBlocksAreFreedExactly) {
    struct Case {
        int diskType;
        int indexClusters;
        int blockClusters; // per 4096-byte block
    };
    for (const Case c : {Case{1, 1, 16}, Case{0, 1, 8}}) {
        SCOPED_TRACE(c.diskType);
        DiskImage disk;
        disk.Format(c.diskType);
        ASSERT_EQ(PutFile(disk, "KEEP", testdisk::Pattern(100, 1), 1), 0);  // cluster 0
        ASSERT_EQ(PutFile(disk, "DATA", testdisk::Pattern(5000, 2), 4), 0); // index + 2 blocks
        ASSERT_EQ(PutFile(disk, "TAIL", testdisk::Pattern(100, 3), 1), 0);
        const int used = disk.GetUsedClusters();
        ASSERT_EQ(used, disk.GetFirstDataCluster() + 1 + c.indexClusters + 2 * c.blockClusters + 1);
        ASSERT_EQ(disk.RemoveFile(testdisk::FindEntry(disk, "DATA")), 0);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 2);
        ExpectSet(disk, {0}, true);
        for (int k = 1; k < 1 + c.indexClusters + 2 * c.blockClusters; ++k)
            EXPECT_FALSE(PositionSet(disk, kBitmapFirstPosition + k)) << k;
        ExpectSet(disk, {1 + c.indexClusters + 2 * c.blockClusters}, true);
        ExpectNoErrors(disk);
    }
}

TEST(RemoveFile, ClusterHeldByAnotherEntryStaysMarked) {
    struct Case {
        const char* name;
        std::uint8_t mode; // of the entry claiming the cluster too
        bool holds;
    };
    const Case cases[] = {
        {"a file", 0x01, true},
        {"a 0x80 entry holds nothing", 0x80, false},
        {"a 0x81 entry holds nothing", 0x81, false},
        {"a 0x82 entry holds nothing", 0x82, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(512, 1), 1), 0); // clusters 0, 1
        // B claims cluster 1 (sector 49) as well: a cross-link on a damaged disk.
        PutEntry(disk, kRoot, 10,
                 MakeEntry({.mode = c.mode, .name = "B", .size = 256, .start = 49}));
        ASSERT_EQ(disk.RemoveFile(testdisk::FindEntry(disk, "A")), 0);
        ExpectSet(disk, {0}, false);
        ExpectSet(disk, {1}, c.holds);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + (c.holds ? 1 : 0));
        ExpectNoErrors(disk);
        ASSERT_EQ(disk.RemoveFile(10), 0);
        ExpectSet(disk, {1}, false);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 0);
    }
}

TEST(RemoveFile, ClusterHeldByAnEntryOfAnotherDirectoryStaysMarked) {
    DiskImage disk;
    disk.Format(1);
    // A sub-directory at sectors 100..107 (clusters 52..59) with one file claiming cluster 5.
    testdisk::MakeSubDir(disk, kRoot, 1, "SUB", 100);
    PutEntry(disk, 100, 2,
             MakeEntry({.mode = 0x01,
                        .name = "INSUB",
                        .size = 256,
                        .start = static_cast<std::uint16_t>(48 + 5)}));
    disk.MarkUsed(4, 2 * 256);
    PutEntry(disk, kRoot, 2,
             MakeEntry({.mode = 0x01,
                        .name = "TOP",
                        .size = 512,
                        .start = static_cast<std::uint16_t>(48 + 4)})); // clusters 4, 5
    const FsCheckReport report = CheckFileSystem(disk);
    ASSERT_EQ(report.Errors(), 1) << report.Summary();
    EXPECT_EQ(report.findings[0].code, "shared-cluster");
    ASSERT_EQ(disk.RemoveFile(2), 0);
    ExpectNoErrors(disk);
    ExpectSet(disk, {4}, false);
    ExpectSet(disk, {5}, true);

    // Deleting inside the sub-directory works on its entries.
    disk.SetCurrentDir(100);
    ASSERT_EQ(disk.RemoveFile(2), 0);
    ExpectSet(disk, {5}, false);
    ExpectSet(disk, {52, 53, 54, 55, 56, 57, 58, 59}, true);
    ExpectNoErrors(disk);
}

TEST(RemoveFile, SubDirectoryAndBootProgramClustersStayMarked) {
    DiskImage disk;
    disk.Format(1);
    const auto program = testdisk::Pattern(512, 4);
    const IplHeader header = BootHeaderBuilder::Build(1, "BOOT", 0);
    ASSERT_EQ(disk.RegisterBootFromBuffer(program.data(), program.size(), header.Bytes().data(), 1),
              0);                                        // clusters 0, 1
    testdisk::MakeSubDir(disk, kRoot, 1, "SUB", 48 + 2); // sectors 50 .. 57: clusters 2 .. 9
    // A damaged entry whose run covers the boot program, the directory and one cluster more.
    disk.MarkUsed(10, 256);
    PutEntry(disk, kRoot, 2,
             MakeEntry({.mode = 0x01,
                        .name = "WIDE",
                        .size = static_cast<std::uint16_t>(11 * 256),
                        .start = 48}));
    ASSERT_EQ(disk.RemoveFile(2), 0);
    ExpectSet(disk, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, true);
    ExpectSet(disk, {10}, false);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 10);
    ExpectNoErrors(disk);
}

TEST(RemoveFile, DamagedBodiesStayInsideTheBitmap) {
    struct Case {
        const char* name;
        DirEntry entry;
    };
    const Case cases[] = {
        {"run past the image",
         MakeEntry({.mode = 0x01, .name = "FAR", .size = 60000, .start = 1279})},
        {"run in the reserved area", MakeEntry({.mode = 0x01, .name = "LOW", .size = 60000})},
        {"chain outside the image",
         MakeEntry({.mode = 0x03, .name = "CHAIN", .size = 1000, .start = 5000})},
        {"BRD index outside the image",
         MakeEntry({.mode = 0x04, .name = "IDX", .size = 128, .start = 65535})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        ASSERT_EQ(PutFile(disk, "OK", testdisk::Pattern(100), 1), 0);
        PutEntry(disk, kRoot, 20, c.entry);
        ASSERT_EQ(disk.RemoveFile(20), 0);
        EXPECT_EQ(RootEntry(disk, 20).Mode(), 0x00);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + testdisk::CountUsed(disk));
    }
}

TEST(RemoveFile, LoopingChainEnds) {
    DiskImage disk;
    disk.Format(1);
    disk.MarkUsed(0, 2 * 256);
    PutEntry(disk, kRoot, 1, MakeEntry({.mode = 0x03, .name = "LOOP", .size = 60000, .start = 48}));
    testdisk::PokeU16(disk, 48 * 256 + 254, 49);
    testdisk::PokeU16(disk, 49 * 256 + 254, 48); // back to the first sector
    ASSERT_EQ(disk.RemoveFile(1), 0);
    ExpectSet(disk, {0, 1}, false);
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 0);
}

TEST(RemoveFile, CurrentDirectoryOutsideTheImage) {
    DiskImage disk;
    disk.Format(1);
    disk.SetCurrentDir(60000);
    const auto before = Snapshot(disk);
    EXPECT_EQ(disk.RemoveFile(0), 1);
    EXPECT_EQ(Snapshot(disk), before);
    DiskImage none;
    EXPECT_EQ(none.RemoveFile(0), 1);
}

TEST(RemoveFile, EntryReachedThroughAnOverlappingDirectory) {
    DiskImage disk;
    disk.Format(1);
    // Root entry 9 is entry 1 of a "directory" starting one sector later, at 17.
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300), 1), 0);
    PutEntry(disk, kRoot, 9,
             MakeEntry({.mode = 0x01,
                        .name = "NINE",
                        .size = 512,
                        .start = static_cast<std::uint16_t>(48 + 2)})); // clusters 2, 3
    disk.MarkUsed(2, 512);
    testdisk::MakeSubDir(disk, kRoot, 2, "SUB", 100);
    PutEntry(
        disk, 100, 5,
        MakeEntry({.mode = 0x0F, .name = "ODD", .start = 17})); // a directory overlapping the root
    ASSERT_GE(CheckFileSystem(disk).Errors(), 1);               // ODD lies in the reserved area
    // Through the overlapping directory nothing is deleted: it is read-only.
    const auto before = Snapshot(disk);
    disk.SetCurrentDir(17);
    EXPECT_EQ(disk.RemoveFile(1), ToInt(RemoveResult::ReadOnlyDirectory));
    EXPECT_EQ(Snapshot(disk), before);
    // From the root: the entry ODD also shows is the same one, not another holder of its
    // clusters.
    disk.SetCurrentDir(kRoot);
    ASSERT_EQ(disk.RemoveFile(9), 0);
    ExpectSet(disk, {2, 3}, false);
    EXPECT_EQ(RootEntry(disk, 9).Mode(), 0x00);
}

TEST(RemoveReadOnly, ADirectoryOverTheReservedAreaKeepsItsEntries) {
    DiskImage disk;
    disk.Format(1);
    // A sub-directory whose sectors start at 8: boot area, bitmap and root.
    testdisk::PutEntry(disk, kRootDirSector, 1,
                       testdisk::MakeEntry({.mode = 0x0F, .name = "LOW", .start = 8}));
    testdisk::PutEntry(disk, 8, 0, testdisk::MakeEntry({.mode = 0x01, .name = "F", .size = 1}));
    const auto before = testdisk::Snapshot(disk);
    disk.SetCurrentDir(8);
    EXPECT_EQ(disk.RemoveFile(0), ToInt(RemoveResult::ReadOnlyDirectory));
    const std::vector<unsigned char> data(10, 1);
    unsigned char entry[32] = {0x01, 'N', 0x0D};
    EXPECT_EQ(disk.ImportFromBuffer(data.data(), data.size(), entry, 1, 1),
              ToInt(ImportResult::ReadOnlyDirectory));
    EXPECT_EQ(testdisk::Snapshot(disk), before);
    EXPECT_FALSE(DirectoryWritable(disk, 8));
    EXPECT_TRUE(DirectoryWritable(disk, kRootDirSector));
    EXPECT_TRUE(DirectoryWritable(disk, 48)); // type 1: data from sector 48 on
    EXPECT_FALSE(DirectoryWritable(disk, 47));
}
