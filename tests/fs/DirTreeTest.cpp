#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "fs/DirTree.h"
#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::FlatDisk;
using testdisk::MakeEntry;

namespace {

constexpr std::uint8_t kDir = 0x0F;

struct NodeShape {
    std::string name;
    int sector;
    int parent;
    int depth;
};

void ExpectTree(const std::vector<DirTreeNode>& nodes, const std::vector<NodeShape>& shape) {
    ASSERT_EQ(nodes.size(), shape.size());
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(nodes[n].name, shape[n].name);
        EXPECT_EQ(nodes[n].dirSector, shape[n].sector);
        EXPECT_EQ(nodes[n].parent, shape[n].parent);
        EXPECT_EQ(nodes[n].depth, shape[n].depth);
    }
}

DiskImage& Load(DiskImage& disk, const FlatDisk& builder) {
    EXPECT_TRUE(builder.LoadInto(disk));
    return disk;
}

TEST(DirTreeWalk, NewDiskIsOnlyTheRoot) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        bool stopped = true;
        ExpectTree(WalkDirTree(disk, &stopped), {{"root", 16, -1, 0}});
        EXPECT_FALSE(stopped);
    }
}

TEST(DirTreeWalk, DotEntriesAreSkipped) {
    FlatDisk builder = FlatDisk(1);
    builder.PutEntry(kRootDirSector, 1, MakeEntry({.mode = kDir, .name = "SUB", .start = 48}));
    builder.ClearDirectory(48);
    builder.PutEntry(48, 0, MakeEntry({.mode = kDir, .name = ".", .start = 48}));
    builder.PutEntry(48, 1, MakeEntry({.mode = kDir, .name = "..", .start = 16}));
    builder.PutEntry(48, 2, MakeEntry({.mode = 0x01, .name = "INNER", .size = 5, .start = 60}));
    DiskImage disk;
    bool stopped = true;
    const auto nodes = WalkDirTree(Load(disk, builder), &stopped);
    ExpectTree(nodes, {{"root", 16, -1, 0}, {"SUB", 48, 0, 1}});
    EXPECT_FALSE(stopped);
    // The node's sector is what the list shows for it.
    const auto rows = ListDirectory(disk, nodes[1].dirSector);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].columns[0], "INNER");
    EXPECT_EQ(rows[0].entryIndex, 2);
}

TEST(DirTreeWalk, NamesThatOnlyStartWithADotAreKept) {
    FlatDisk builder = FlatDisk::Blank(128);
    builder.PutEntry(kRootDirSector, 0, MakeEntry({.mode = kDir, .name = "...", .start = 40}));
    builder.PutEntry(kRootDirSector, 1, MakeEntry({.mode = kDir, .name = ".A", .start = 48}));
    DiskImage disk;
    ExpectTree(WalkDirTree(Load(disk, builder)),
               {{"root", 16, -1, 0}, {"...", 40, 0, 1}, {".A", 48, 0, 1}});
}

TEST(DirTreeWalk, DepthFirstInDirectoryOrder) {
    FlatDisk builder = FlatDisk::Blank(128);
    builder.PutEntry(kRootDirSector, 3, MakeEntry({.mode = kDir, .name = "A", .start = 40}));
    builder.PutEntry(kRootDirSector, 4,
                     MakeEntry({.mode = 0x01, .name = "FILE", .start = 40})); // not a directory
    builder.PutEntry(kRootDirSector, 9, MakeEntry({.mode = kDir, .name = "B", .start = 48}));
    builder.PutEntry(40, 0, MakeEntry({.mode = kDir, .name = "A1", .start = 56}));
    builder.PutEntry(40, 63, MakeEntry({.mode = kDir, .name = "A2", .start = 64}));
    builder.PutEntry(56, 10, MakeEntry({.mode = kDir, .name = "A1X", .start = 72}));
    builder.PutEntry(48, 5, MakeEntry({.mode = 0x80, .name = "NOTDIR", .start = 72}));
    DiskImage disk;
    ExpectTree(WalkDirTree(Load(disk, builder)), {{"root", 16, -1, 0},
                                                  {"A", 40, 0, 1},
                                                  {"A1", 56, 1, 2},
                                                  {"A1X", 72, 2, 3},
                                                  {"A2", 64, 1, 2},
                                                  {"B", 48, 0, 1}});
}

TEST(DirTreeWalk, SelfLoopStopsAtExactlyTheLimit) {
    FlatDisk builder = FlatDisk(1);
    builder.PutEntry(
        kRootDirSector, 1,
        MakeEntry(
            {.mode = kDir, .name = "LOOP", .start = static_cast<std::uint16_t>(kRootDirSector)}));
    DiskImage disk;
    bool stopped = false;
    const auto nodes = WalkDirTree(Load(disk, builder), &stopped);
    EXPECT_TRUE(stopped);
    ASSERT_EQ(nodes.size(), static_cast<std::size_t>(kMaxTreeNodes));
    for (int n = 1; n < kMaxTreeNodes; ++n) {
        ASSERT_EQ(nodes[n].parent, n - 1);
        ASSERT_EQ(nodes[n].depth, n);
        ASSERT_EQ(nodes[n].dirSector, kRootDirSector);
        ASSERT_EQ(nodes[n].name, "LOOP");
    }
}

TEST(DirTreeWalk, TwoDirectoryCycleStopsAtTheLimit) {
    FlatDisk builder = FlatDisk::Blank(128);
    builder.PutEntry(kRootDirSector, 0, MakeEntry({.mode = kDir, .name = "A", .start = 40}));
    builder.PutEntry(
        40, 0,
        MakeEntry(
            {.mode = kDir, .name = "BACK", .start = static_cast<std::uint16_t>(kRootDirSector)}));
    DiskImage disk;
    bool stopped = false;
    const auto nodes = WalkDirTree(Load(disk, builder), &stopped);
    EXPECT_TRUE(stopped);
    ASSERT_EQ(nodes.size(), static_cast<std::size_t>(kMaxTreeNodes));
    EXPECT_EQ(nodes[998].name, "BACK");
    EXPECT_EQ(nodes[999].name, "A");
    EXPECT_EQ(nodes[999].dirSector, 40);
}

// The root holds `viaShared` DIR entries to a directory of 63 DIR entries to an empty
// directory, then `direct` DIR entries straight to the empty one: 1 + 64 * viaShared + direct
// nodes in all, when under the limit.
FlatDisk WideTree(int viaShared, int direct) {
    FlatDisk builder = FlatDisk::Blank(128);
    constexpr int kShared = 40, kEmpty = 48;
    for (int i = 0; i < viaShared; ++i)
        builder.PutEntry(kRootDirSector, i,
                         MakeEntry({.mode = kDir,
                                    .name = "S" + std::to_string(i),
                                    .start = static_cast<std::uint16_t>(kShared)}));
    for (int i = 0; i < direct; ++i)
        builder.PutEntry(kRootDirSector, viaShared + i,
                         MakeEntry({.mode = kDir,
                                    .name = "E" + std::to_string(i),
                                    .start = static_cast<std::uint16_t>(kEmpty)}));
    for (int i = 0; i < 63; ++i)
        builder.PutEntry(kShared, i,
                         MakeEntry({.mode = kDir,
                                    .name = "L" + std::to_string(i),
                                    .start = static_cast<std::uint16_t>(kEmpty)}));
    return builder;
}

TEST(DirTreeWalk, LimitCountsTheRoot) {
    struct Case {
        int viaShared, direct;
        std::size_t nodes;
        bool stopped;
    };
    const Case cases[] = {
        {15, 38, 999, false}, // one short of the limit: complete
        {15, 39, 1000, true}, // the 1000th node ends the walk even with nothing after it
        {15, 40, 1000, true},
        {63, 0, 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.viaShared << "+" << c.direct);
        DiskImage disk;
        bool stopped = !c.stopped;
        const auto nodes = WalkDirTree(Load(disk, WideTree(c.viaShared, c.direct)), &stopped);
        EXPECT_EQ(nodes.size(), c.nodes);
        EXPECT_EQ(stopped, c.stopped);
    }
    DiskImage disk;
    const auto nodes = WalkDirTree(Load(disk, WideTree(15, 38)));
    EXPECT_EQ(nodes[1].name, "S0");
    EXPECT_EQ(nodes[2].name, "L0");
    EXPECT_EQ(nodes[2].depth, 2);
    EXPECT_EQ(nodes[65].name, "S1");
    EXPECT_EQ(nodes[998].name, "E37");
    EXPECT_EQ(nodes[998].parent, 0);
}

TEST(DirTreeWalk, DirectoriesOffTheImageAreListedButNotRead) {
    FlatDisk builder = FlatDisk::Blank(64);
    builder.PutEntry(
        kRootDirSector, 0,
        MakeEntry({.mode = kDir, .name = "EDGE", .start = 56})); // sectors 56..63: inside
    builder.PutEntry(
        kRootDirSector, 1,
        MakeEntry({.mode = kDir, .name = "OVER", .start = 57})); // 57..64: one sector out
    builder.PutEntry(kRootDirSector, 2, MakeEntry({.mode = kDir, .name = "FAR", .start = 0xFFFF}));
    builder.PutEntry(56, 0, MakeEntry({.mode = kDir, .name = "INEDGE", .start = 24}));
    // Sectors 57..63 would be OVER's first entries were it read.
    builder.PutEntry(57, 0, MakeEntry({.mode = kDir, .name = "HIDDEN", .start = 24}));
    DiskImage disk;
    bool stopped = true;
    ExpectTree(WalkDirTree(Load(disk, builder), &stopped),
               {{"root", 16, -1, 0},
                {"EDGE", 56, 0, 1},
                {"INEDGE", 24, 1, 2},
                {"HIDDEN", 24, 1, 2}, // EDGE's entry 8, not OVER's 0
                {"OVER", 57, 0, 1},
                {"FAR", 0xFFFF, 0, 1}});
    EXPECT_FALSE(stopped);
}

TEST(DirTreeWalk, NoImageIsOnlyTheRoot) {
    DiskImage disk;
    ExpectTree(WalkDirTree(disk), {{"root", 16, -1, 0}});
}

TEST(DirTreeWalk, LeavesTheCurrentDirectoryAlone) {
    FlatDisk builder = FlatDisk::Blank(128);
    builder.PutEntry(kRootDirSector, 0, MakeEntry({.mode = kDir, .name = "A", .start = 40}));
    DiskImage disk;
    Load(disk, builder).SetCurrentDir(40);
    EXPECT_EQ(WalkDirTree(disk).size(), 2u);
    EXPECT_EQ(disk.GetCurrentDir(), 40);
}

TEST(DirTreeWalk, ArbitraryBytesStayWellFormed) {
    std::mt19937 rng(20240601);
    for (int round = 0; round < 200; ++round) {
        FlatDisk builder = FlatDisk::Blank(96);
        auto& bytes = builder.Bytes();
        for (std::size_t i = 0x1000; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(rng());
        // Make many entries directories pointing at nearby sectors, or anywhere.
        for (std::size_t at = 0x1000; at + 32 <= bytes.size(); at += 32) {
            if (rng() % 3 == 0) {
                bytes[at] = kDir;
                const unsigned sector = rng() % 4 ? rng() % 100 : rng();
                bytes[at + 30] = static_cast<unsigned char>(sector);
                bytes[at + 31] = static_cast<unsigned char>(sector >> 8);
            }
        }
        DiskImage disk;
        ASSERT_TRUE(builder.LoadInto(disk));
        bool stopped = false;
        const auto nodes = WalkDirTree(disk, &stopped);
        ASSERT_LE(nodes.size(), static_cast<std::size_t>(kMaxTreeNodes));
        EXPECT_EQ(stopped, nodes.size() == static_cast<std::size_t>(kMaxTreeNodes));
        // The list of every directory the walk found, once per sector.
        std::set<int> sectors;
        for (const DirTreeNode& node : nodes)
            sectors.insert(node.dirSector);
        for (int sector : sectors)
            ASSERT_LE(ListDirectory(disk, sector).size(), 64u);
        for (std::size_t n = 1; n < nodes.size(); ++n) {
            ASSERT_GE(nodes[n].parent, 0);
            ASSERT_LT(nodes[n].parent, static_cast<int>(n));
            ASSERT_EQ(nodes[n].depth, nodes[nodes[n].parent].depth + 1);
            ASSERT_LE(nodes[n].name.size(), 17u);
            ASSERT_NE(nodes[n].name, ".");
            ASSERT_NE(nodes[n].name, "..");
        }
    }
}

TEST(DirPath, ResolvesNamesLevelByLevel) {
    FlatDisk builder = FlatDisk::Blank(128);
    builder.PutEntry(kRootDirSector, 0, MakeEntry({.mode = kDir, .name = "A", .start = 40}));
    builder.PutEntry(kRootDirSector, 1, MakeEntry({.mode = kDir, .name = "DUP", .start = 48}));
    builder.PutEntry(kRootDirSector, 2, MakeEntry({.mode = kDir, .name = "DUP", .start = 56}));
    builder.PutEntry(kRootDirSector, 3,
                     MakeEntry({.mode = kDir, .name = "\x95\x5C", .start = 64})); // 表
    builder.PutEntry(kRootDirSector, 4, MakeEntry({.mode = 0x01, .name = "FILE", .start = 72}));
    builder.PutEntry(40, 0, MakeEntry({.mode = kDir, .name = ".", .start = 40}));
    builder.PutEntry(40, 1, MakeEntry({.mode = kDir, .name = "..", .start = 16}));
    builder.PutEntry(40, 2, MakeEntry({.mode = kDir, .name = "B", .start = 72}));
    builder.PutEntry(56, 0, MakeEntry({.mode = kDir, .name = "ONLY2", .start = 80}));
    DiskImage disk;
    Load(disk, builder);
    struct Case {
        const char* path;
        int sector;
    };
    const Case cases[] = {
        {"", 16},    {"/", 16},    {"A", 40},    {"/A/", 40},       {"A/B", 72},      {"A//B/", 72},
        {"B", -1},   {"A/C", -1},  {"DUP", 48},  {"DUP/ONLY2", -1}, {"\x95\x5C", 64}, {"FILE", -1},
        {"A/.", -1}, {"A/..", -1}, {"root", -1}, {"a", -1},
    };
    const auto tree = WalkDirTree(disk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ResolveDirPath(disk, c.path), c.sector);
        EXPECT_EQ(ResolveDirPath(tree, c.path), c.sector);
    }
    EXPECT_EQ(ResolveDirPath(std::vector<DirTreeNode>{}, ""), -1);
}

} // namespace
