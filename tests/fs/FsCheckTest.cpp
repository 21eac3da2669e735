#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "fs/BootHeaderBuilder.h"
#include "fs/ClusterOwnership.h"
#include "fs/DiskImage.h"
#include "fs/FsCheck.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::MakeEntry;
using testdisk::PutEntry;
using testdisk::PutFile;

namespace {

constexpr int kRoot = kRootDirSector;

// The codes of the findings, "severity code" each, in order.
std::vector<std::string> Codes(const FsCheckReport& report) {
    std::vector<std::string> codes;
    for (const FsFinding& f : report.findings)
        codes.push_back(std::string(SeverityName(f.severity)) + " " + f.code);
    return codes;
}

const FsFinding* Find(const FsCheckReport& report, const std::string& code) {
    for (const FsFinding& f : report.findings)
        if (f.code == code)
            return &f;
    return nullptr;
}

using Codes_t = std::vector<std::string>;

} // namespace

TEST(FsCheck, FreshDisksOfEveryTypeAreClean) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        const FsCheckReport report = CheckFileSystem(disk);
        EXPECT_TRUE(report.mzFileSystem);
        EXPECT_TRUE(report.findings.empty()) << report.Summary();
        EXPECT_EQ(report.usedClusters, disk.GetFirstDataCluster()); // formatted value accepted
        EXPECT_EQ(report.setPositions, 0);
        EXPECT_EQ(report.directories, 1);
        EXPECT_EQ(report.dataClusters, disk.GetPositionLimit() - 48);
    }
}

TEST(FsCheck, FilesOfEveryLayoutAreClean) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        for (int mode = 1; mode <= 5; ++mode)
            ASSERT_EQ(
                PutFile(disk, "F" + std::to_string(mode), testdisk::Pattern(5000, mode), mode), 0);
        const FsCheckReport report = CheckFileSystem(disk);
        EXPECT_TRUE(report.findings.empty()) << report.Summary();
        EXPECT_EQ(report.bodies, 5);
        EXPECT_EQ(report.heldClusters, report.setPositions);
        EXPECT_EQ(report.usedClusters, disk.GetFirstDataCluster() + report.setPositions);
    }
}

TEST(FsCheck, RealBootDisksHaveNoErrors) {
    DARVEX_REQUIRE_TESTDATA();
    for (const char* name : {"ipls/ipls-2d.d88", "ipls/ipls-2dd.d88"}) {
        SCOPED_TRACE(name);
        const auto file = testutil::ReadFileBytes(testutil::TestDataPath(name));
        ASSERT_FALSE(file.empty());
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        const FsCheckReport report = CheckFileSystem(disk);
        EXPECT_TRUE(report.mzFileSystem);
        EXPECT_EQ(report.Errors(), 0) << report.Summary();
        EXPECT_EQ(report.bodies, 1); // the boot program, all in the reserved area
        EXPECT_EQ(report.heldClusters, 0);
    }
}

TEST(FsCheck, ForeignDiskIsNotAnMzFileSystem) {
    DARVEX_REQUIRE_TESTDATA();
    const auto file = testutil::ReadFileBytes(testutil::TestDataPath("x1/x1-hubasic-2d.d88"));
    ASSERT_FALSE(file.empty());
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    const FsCheckReport report = CheckFileSystem(disk);
    EXPECT_FALSE(report.mzFileSystem);
    EXPECT_EQ(Codes(report), Codes_t{"error not-mz-fs"});
    // The map that deletion uses must cope with it all the same.
    const ClusterOwnership map = BuildClusterOwnership(disk);
    EXPECT_GE(map.directories.size(), 1u);
}

TEST(FsCheck, NoImage) {
    DiskImage disk;
    EXPECT_EQ(Codes(CheckFileSystem(disk)), Codes_t{"error no-image"});
}

TEST(FsCheck, ReplacedBootProgramLeavesLeakedClusters) {
    DiskImage disk;
    disk.Format(1);
    const IplHeader header = BootHeaderBuilder::Build(1, "B", 0);
    const auto first = testdisk::Pattern(700, 1);  // clusters 0..2
    const auto second = testdisk::Pattern(100, 2); // cluster 3
    ASSERT_EQ(disk.RegisterBootFromBuffer(first.data(), first.size(), header.Bytes().data(), 1), 0);
    EXPECT_TRUE(CheckFileSystem(disk).findings.empty());
    ASSERT_EQ(disk.RegisterBootFromBuffer(second.data(), second.size(), header.Bytes().data(), 1),
              0);
    const FsCheckReport report = CheckFileSystem(disk);
    EXPECT_EQ(Codes(report), Codes_t{"warning leaked"});
    EXPECT_EQ(report.findings[0].cluster, 0);
    EXPECT_EQ(report.findings[0].count, 3);
    EXPECT_TRUE(report.Ok());
}

TEST(FsCheck, UnmarkedClustersOfABody) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(1024), 1), 0); // clusters 0..3
    disk.MarkFree(1, 512);                                        // clusters 1, 2
    const FsCheckReport report = CheckFileSystem(disk);
    ASSERT_EQ(Codes(report), Codes_t{"error not-marked"}) << report.Summary();
    EXPECT_EQ(report.findings[0].cluster, 1);
    EXPECT_EQ(report.findings[0].count, 2);
    EXPECT_EQ(report.findings[0].dirSector, kRoot);
    EXPECT_EQ(report.findings[0].entryIndex, 1);
}

TEST(FsCheck, ClusterHeldTwice) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(1024), 1), 0); // clusters 0..3
    PutEntry(disk, kRoot, 7,
             MakeEntry({.mode = 0x02,
                        .name = "B",
                        .size = 600,
                        .start = static_cast<std::uint16_t>(48 + 2)})); // clusters 2..4
    disk.MarkUsed(4, 256);
    const FsCheckReport report = CheckFileSystem(disk);
    ASSERT_EQ(Codes(report), Codes_t{"error shared-cluster"}) << report.Summary();
    EXPECT_EQ(report.findings[0].cluster, 2);
    EXPECT_EQ(report.findings[0].count, 2);
}

TEST(FsCheck, BodiesOutsideTheDataClusters) {
    struct Case {
        const char* name;
        int diskType;
        DirEntry entry;
        Codes_t expected;
    };
    // Type 0: 1280 positions but 1280 - 48 data clusters from cluster 24, so its last 24
    // clusters (sectors 2512 .. 2559) are in the image but beyond the bitmap.
    const Case cases[] = {
        {"run in the reserved area",
         1,
         MakeEntry({.mode = 0x01, .name = "LOW", .size = 256, .start = 20}),
         {"error outside-data"}},
        {"run beyond the bitmap",
         0,
         MakeEntry({.mode = 0x01, .name = "HIGH", .size = 512, .start = 2520}),
         {"error outside-data"}},
        {"run past the image end",
         1,
         MakeEntry({.mode = 0x01,
                    .name = "FAR",
                    .size = 512,
                    .start = 1279}), // its first cluster is the last data cluster
         {"error outside-image", "error outside-data", "error not-marked"}},
        {"chain sector in the reserved area",
         1,
         MakeEntry({.mode = 0x03, .name = "CH", .size = 100, .start = 5}),
         {"error outside-data"}},
        {"empty file anywhere", 1, MakeEntry({.mode = 0x01, .name = "NONE", .start = 3}), {}},
        {"swap entry holds nothing",
         1,
         MakeEntry({.mode = 0x81, .name = "SWAP", .size = 9000, .start = 3}),
         {}},
        {"hidden 0x82 entry holds nothing",
         1,
         MakeEntry({.mode = 0x82, .name = "HIDE", .size = 9000, .start = 3}),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(c.diskType);
        PutEntry(disk, kRoot, 3, c.entry);
        EXPECT_EQ(Codes(CheckFileSystem(disk)), c.expected) << CheckFileSystem(disk).Summary();
    }
}

TEST(FsCheck, BrokenChainsAndIndices) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "CHAIN", testdisk::Pattern(1000), 3), 0);  // sectors 48..51
    ASSERT_EQ(PutFile(disk, "BLOCKS", testdisk::Pattern(5000), 4), 0); // index at 52
    ASSERT_TRUE(CheckFileSystem(disk).findings.empty());
    struct Case {
        const char* name;
        std::size_t at;
        std::uint16_t value;
        const char* code;
    };
    const Case cases[] = {
        {"link 0 before the size", 49 * 256 + 254, 0, "body-short"},
        {"link back to the start", 50 * 256 + 254, 48, "chain-loop"},
        {"link outside the image", 48 * 256 + 254, 4000, "outside-image"},
        {"index entry outside the image", 52 * 256 + 2, 60000, "outside-image"},
        {"index ends early", 52 * 256 + 2, 0, "body-short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage copy;
        const auto flat = testdisk::FlatBytes(disk);
        ASSERT_EQ(copy.Load(flat.data(), flat.size(), 1), 0);
        testdisk::PokeU16(copy, c.at, c.value);
        const FsCheckReport report = CheckFileSystem(copy);
        EXPECT_GE(report.Errors(), 1) << report.Summary();
        EXPECT_NE(Find(report, c.code), nullptr) << report.Summary();
    }
}

TEST(FsCheck, UsedClusterCount) {
    struct Case {
        const char* name;
        int files;          // 300-byte OBJ files, two clusters each
        std::uint16_t used; // value put into the count field
        Codes_t expected;
    };
    // The rule: firstDataCluster (48) and the set positions, as the machine keeps the count.
    const Case cases[] = {
        {"formatted value, nothing set", 0, 48, {}},
        {"zero, nothing set", 0, 0, {"warning used-count-short"}},
        {"one short, nothing set", 0, 47, {"warning used-count-short"}},
        {"the rule", 2, 52, {}},
        {"the set positions alone", 2, 4, {"warning used-count-short"}},
        {"formatted value with positions set", 2, 48, {"warning used-count-short"}},
        {"one above the rule", 2, 53, {"warning used-count-high"}},
        {"below the set positions", 2, 3, {"error used-count-low"}},
        {"all clusters, nothing set", 0, 1280, {"warning used-count-high"}},
        {"more than the disk has", 0, 1281, {"error used-count-impossible"}},
        {"65535 with positions set", 2, 65535, {"error used-count-impossible"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        for (int i = 0; i < c.files; ++i)
            ASSERT_EQ(PutFile(disk, "F" + std::to_string(i), testdisk::Pattern(300), 1), 0);
        testdisk::PokeU16(disk, kBitmapOffset + kBitmapUsedClusters, c.used);
        EXPECT_EQ(Codes(CheckFileSystem(disk)), c.expected);
    }
}

TEST(FsCheck, SubDirectories) {
    DiskImage disk;
    disk.Format(1);
    testdisk::MakeSubDir(disk, kRoot, 1, "SUB", 100);
    disk.SetCurrentDir(100);
    ASSERT_EQ(PutFile(disk, "INNER", testdisk::Pattern(600), 1), 0);
    FsCheckReport report = CheckFileSystem(disk);
    EXPECT_TRUE(report.findings.empty()) << report.Summary();
    EXPECT_EQ(report.directories, 2);
    EXPECT_EQ(report.bodies, 2); // SUB's sectors and INNER; "." and ".." hold nothing

    // The directory's clusters count like a file's.
    disk.MarkFree(100 - 48, 256);
    report = CheckFileSystem(disk);
    EXPECT_EQ(Codes(report), Codes_t{"error not-marked"});
    disk.MarkUsed(100 - 48, 256);

    // A second name for the same directory holds its sectors twice.
    PutEntry(disk, kRoot, 2, MakeEntry({.mode = 0x0F, .name = "ALIAS", .start = 100}));
    report = CheckFileSystem(disk);
    EXPECT_EQ(Codes(report), Codes_t{"error shared-cluster"});
    EXPECT_EQ(report.directories, 2); // read once

    PutEntry(disk, kRoot, 2, MakeEntry({.mode = 0x0F, .name = "GONE", .start = 1279}));
    EXPECT_EQ(Codes(CheckFileSystem(disk)),
              (Codes_t{"error outside-image", "error outside-data", "error not-marked"}));
}

TEST(FsCheck, DirectoryCycleEnds) {
    DiskImage disk;
    disk.Format(1);
    testdisk::MakeSubDir(disk, kRoot, 1, "SUB", 100);
    PutEntry(disk, 100, 2,
             MakeEntry({.mode = 0x0F,
                        .name = "UP",
                        .start = static_cast<std::uint16_t>(kRoot)})); // names the root again
    const FsCheckReport report = CheckFileSystem(disk);
    EXPECT_NE(Find(report, "tree-limit"), nullptr);
    EXPECT_NE(Find(report, "outside-data"), nullptr); // UP's sectors are the root's
    EXPECT_EQ(report.directories, 2);
}

// A system disk's BASIC is the boot program and a file at once. Only exactly the same sectors
// make that an information; any other overlap is a shared cluster.
TEST(FsCheck, BootProgramThatIsAlsoAFile) {
    struct Case {
        const char* name;
        std::uint16_t bootStart, bootSize;
        std::uint8_t mode;
        Codes_t expected;
    };
    const Case kCases[] = {
        {"the same sectors", 48, 1000, 0x01, {"info boot-is-file"}},
        {"the same sectors, the file's last one partly used", 48, 800, 0x01, {"info boot-is-file"}},
        {"one sector fewer", 48, 700, 0x01, {"error shared-cluster"}},
        {"one sector later", 49, 700, 0x01, {"error shared-cluster"}},
        {"a BSD chain over the same clusters", 48, 1000, 0x03, {"error shared-cluster"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        ASSERT_EQ(PutFile(disk, "BASIC", testdisk::Pattern(1000, 3), c.mode == 0x01 ? 1 : 3), 0);
        // The boot header is put over the file's sectors by hand, as another tool registers it.
        testdisk::Poke(disk, 1, {'I', 'P', 'L', 'P', 'R', 'O'});
        testdisk::PokeU16(disk, 20, c.bootSize);
        testdisk::PokeU16(disk, 30, c.bootStart);
        const FsCheckReport report = CheckFileSystem(disk);
        EXPECT_EQ(Codes(report), c.expected) << report.Summary();
        EXPECT_EQ(report.Errors(), c.expected[0].starts_with("error") ? 1 : 0);
        EXPECT_EQ(report.Warnings(), 0);
    }
}

TEST(FsCheck, BootProgramPlacement) {
    struct Case {
        const char* name;
        std::uint16_t startSector;
        std::uint16_t size;
        bool markUsed;
        Codes_t expected;
    };
    const Case cases[] = {
        {"in the reserved area", 1, 0x1F00, false, {}},
        {"in data clusters, marked", 48, 512, true, {}},
        {"in data clusters, not marked", 48, 512, false, {"error not-marked"}},
        {"past the image end",
         1279,
         512,
         false,
         {"error outside-image", "error outside-data", "error not-marked"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        std::vector<unsigned char> flat = testdisk::FlatBytes(disk);
        const IplHeader h = BootHeaderBuilder::Build(1, "T", 0);
        std::copy(h.Bytes().begin(), h.Bytes().end(), flat.begin());
        std::copy_n("IPLPRO", 6, flat.begin() + 1);
        flat[20] = static_cast<unsigned char>(c.size & 0xFF);
        flat[21] = static_cast<unsigned char>(c.size >> 8);
        flat[30] = static_cast<unsigned char>(c.startSector & 0xFF);
        flat[31] = static_cast<unsigned char>(c.startSector >> 8);
        testdisk::Reload(disk, flat);
        if (c.markUsed)
            disk.MarkUsed(c.startSector - 48, c.size);
        EXPECT_EQ(Codes(CheckFileSystem(disk)), c.expected) << CheckFileSystem(disk).Summary();
    }
}

TEST(FsCheck, OwnershipMapNamesTheHolders) {
    DiskImage disk;
    disk.Format(1);
    ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300), 1), 0); // entry 1: clusters 0, 1
    PutEntry(disk, kRoot, 5,
             MakeEntry({.mode = 0x01, .name = "B", .size = 10, .start = 49})); // cluster 1 too
    // Entries of the modes that hold nothing are no owners, whatever their run says.
    for (int i : {0x80, 0x81, 0x82})
        PutEntry(
            disk, kRoot, i - 0x80 + 6,
            MakeEntry(
                {.mode = static_cast<std::uint8_t>(i), .name = "N", .size = 600, .start = 48}));
    const ClusterOwnership map = BuildClusterOwnership(disk);
    ASSERT_EQ(map.owners.size(), 2u);
    EXPECT_EQ(map.holders[0].count, 1);
    EXPECT_EQ(map.holders[0].first, 0);
    EXPECT_EQ(map.holders[1].count, 2);
    EXPECT_EQ(map.holders[1].first, 0);
    EXPECT_EQ(map.holders[1].second, 1);
    EXPECT_EQ(map.holders[2].count, 0);
    EXPECT_EQ(OwnerClusters(disk, map.owners[0]), (std::vector<int>{0, 1}));
    EXPECT_EQ(OwnerClusters(disk, map.owners[1]), (std::vector<int>{1}));
    EXPECT_FALSE(map.HeldByOther(0, kRoot, 1));
    EXPECT_TRUE(map.HeldByOther(1, kRoot, 1));
    EXPECT_TRUE(map.HeldByOther(0, kRoot, 5));
    EXPECT_FALSE(map.HeldByOther(-1, kRoot, 5));
    EXPECT_FALSE(map.HeldByOther(100000, kRoot, 5));
}

TEST(FsCheck, ManyHoldersOfOneCluster) {
    DiskImage disk;
    disk.Format(1);
    disk.MarkUsed(0, 256);
    for (int i = 1; i <= 5; ++i)
        PutEntry(
            disk, kRoot, i,
            MakeEntry({.mode = 0x01, .name = "H" + std::to_string(i), .size = 100, .start = 48}));
    const ClusterOwnership map = BuildClusterOwnership(disk);
    EXPECT_EQ(map.holders[0].count, 5);
    const FsCheckReport report = CheckFileSystem(disk);
    ASSERT_EQ(Codes(report), Codes_t{"error shared-cluster"}) << report.Summary();
    EXPECT_NE(report.findings[0].message.find("up to 3 further holders"), std::string::npos);
    // Removing one of them leaves the cluster to the others, until the last one goes.
    for (int i = 1; i <= 4; ++i) {
        ASSERT_EQ(disk.RemoveFile(i), 0);
        EXPECT_TRUE(testdisk::PositionSet(disk, 48)) << i;
    }
    ASSERT_EQ(disk.RemoveFile(5), 0);
    EXPECT_FALSE(testdisk::PositionSet(disk, 48));
}

TEST(FsCheck, SummaryLines) {
    DiskImage disk;
    disk.Format(1);
    PutEntry(disk, kRoot, 3, MakeEntry({.mode = 0x01, .name = "LOW", .size = 256, .start = 20}));
    const std::string summary = CheckFileSystem(disk).Summary();
    EXPECT_EQ(summary.rfind("error outside-data: file \"LOW\" (entry 3 of the directory at "
                            "sector 16) lies outside the data clusters",
                            0),
              0u)
        << summary;
}

TEST(FsCheck, AllocationHazards) {
    struct Case {
        const char* name;
        void (*make)(DiskImage&); // on a type 1 disk holding A (clusters 0, 1) and B (2, 3)
        OwnerKind kind;
        const char* file;
        int clusters; // 0: no hazard
        int more;
    };
    const Case cases[] = {
        {"both clear, the first named", [](DiskImage& d) { d.MarkFree(0, 1024); }, OwnerKind::File,
         "A", 2, 1},
        {"the reserved area is never marked",
         [](DiskImage& d) { PutEntry(d, kRoot, 3, MakeEntry({.name = "LOW", .size = 9})); },
         OwnerKind::File, "", 0, 0},
        {"boot program in clear data clusters",
         [](DiskImage& d) {
             testdisk::Poke(d, 0, {1, 'I', 'P', 'L', 'P', 'R', 'O'});
             testdisk::Poke(d, 20, {0, 2});  // 512 bytes
             testdisk::Poke(d, 30, {60, 0}); // from sector 60
         },
         OwnerKind::BootProgram, "", 2, 0},
        {"bitmap read as sectors (MZ-2000 system disk)",
         [](DiskImage& d) { testdisk::ShiftedBitmapDisk().LoadInto(d); }, OwnerKind::File, "BASIC",
         16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(1);
        ASSERT_EQ(PutFile(disk, "A", testdisk::Pattern(300), 3), 0);
        ASSERT_EQ(PutFile(disk, "B", testdisk::Pattern(300), 1), 0);
        c.make(disk);
        const AllocationHazard hazard = FindAllocationHazard(disk);
        EXPECT_EQ(hazard.clusters, c.clusters);
        EXPECT_EQ(hazard.moreBodies, c.more);
        EXPECT_EQ(hazard.kind, c.kind);
        EXPECT_EQ(hazard.name, c.file);
    }
}
