#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "fs/DirEntry.h"
#include "fs/ResultCodes.h"
#include "host/DiskImageFiles.h"
#include "support/TestDisk.h"

using testdisk::BitUsed;
using testdisk::CountUsed;
using testdisk::EntryAt;
using testdisk::FlatDisk;
using testdisk::MakeEntry;
using testdisk::Pattern;
using testdisk::SectorBytes;
using testdisk::Snapshot;

namespace {

constexpr int kOk = 0;
constexpr int kNoFreeEntry = ToInt(ImportResult::NoFreeEntry);
constexpr int kCannotOpen = ToInt(ImportResult::CannotOpen);
constexpr int kMztTooShort = ToInt(ImportResult::MztTooShort);
constexpr int kNoSpace = ToInt(ImportResult::NoSpace);
constexpr int kNameTaken = ToInt(ImportResult::NameTaken);
constexpr int kTooLarge = ToInt(ImportResult::TooLarge);
constexpr int kFreeMode = ToInt(ImportResult::FreeMode);

constexpr std::uint8_t kObj = 0x01, kBtx = 0x02, kBsd = 0x03, kBrd = 0x04;

// Puts `data` as a plain file with an entry sized by its length, the way the add-file dialog
// prepares it.
int PutPlain(DiskImage& disk, const std::vector<unsigned char>& data, std::uint8_t mode,
             int storageMode, const std::string& name = "FILE", DirEntry* stored = nullptr) {
    DirEntry e = MakeEntry(
        {.mode = mode, .name = name, .size = static_cast<std::uint16_t>(data.size() & 0xFFFF)});
    const int rc =
        disk.ImportFromBuffer(data.data(), data.size(), e.Bytes().data(), 1, storageMode);
    if (stored)
        *stored = e;
    return rc;
}

std::vector<unsigned char> Mzt(std::uint8_t mode, std::uint16_t size,
                               const std::vector<unsigned char>& data) {
    return testdisk::MakeMzt({.mode = mode, .name = "M\r", .size = size, .data = data});
}

DiskImage& Fresh(DiskImage& disk, int type) {
    disk.Format(type);
    return disk;
}

// Marks every data cluster used except those listed.
void FillAllBut(FlatDisk& flat, const std::vector<int>& freeClusters, int limit) {
    for (int k = 0; k < limit - kBitmapFirstPosition; ++k)
        flat.SetUsed(k,
                     std::find(freeClusters.begin(), freeClusters.end(), k) == freeClusters.end());
}

} // namespace

// ---- Refusals: each leaves the image exactly as it was. ----

TEST(ImportRefusal, FullDirectoryIsReportedFirst) {
    FlatDisk flat(1);
    for (int i = 0; i < kDirEntries; ++i)
        flat.PutEntry(kRootDirSector, i,
                      MakeEntry({.mode = kObj, .name = "F" + std::to_string(i), .start = 48}));
    DiskImage disk;
    flat.LoadInto(disk);
    const auto before = Snapshot(disk);
    DirEntry e = MakeEntry({.mode = kObj, .name = "NEW"});
    EXPECT_EQ(ImportFile(disk, "/nonexistent/folder/file.bin", e.Bytes().data(), 1, 1),
              kNoFreeEntry);
    const unsigned char data[1] = {1};
    EXPECT_EQ(disk.ImportFromBuffer(data, 1, e.Bytes().data(), 1, 1), kNoFreeEntry);
    EXPECT_EQ(Snapshot(disk), before);
}

TEST(ImportRefusal, CurrentDirectoryOutsideTheImage) {
    DiskImage disk;
    disk.Format(1);
    const auto before = Snapshot(disk);
    const int outside[] = {1280, 1275, 100000};
    for (int dir : outside) {
        SCOPED_TRACE(dir);
        disk.SetCurrentDir(dir);
        DirEntry e = MakeEntry({.mode = kObj, .name = "NEW", .size = 1});
        const unsigned char data[1] = {1};
        EXPECT_EQ(disk.ImportFromBuffer(data, 1, e.Bytes().data(), 1, 1), kNoFreeEntry);
        EXPECT_EQ(Snapshot(disk), before);
    }
    DiskImage empty;
    DirEntry e = MakeEntry({.mode = kObj, .name = "NEW"});
    EXPECT_EQ(empty.ImportFromBuffer(nullptr, 0, e.Bytes().data(), 1, 1), kNoFreeEntry);
}

TEST(ImportRefusal, Codes) {
    struct Case {
        const char* name;
        std::vector<unsigned char> data;
        DirEntry entry;
        int plain;
        int storageMode;
        int want;
    };
    const std::vector<unsigned char> header128 = Mzt(kObj, 0, {});
    const Case cases[] = {
        {"MZT of 128 bytes", header128, MakeEntry({.mode = kObj, .name = "M"}), 0, 1, kMztTooShort},
        {"MZT of 5 bytes", Pattern(5), MakeEntry({.mode = kObj, .name = "M"}), 0, 3, kMztTooShort},
        {"MZT of 0 bytes", {}, MakeEntry({.mode = kObj, .name = "M"}), 0, 4, kMztTooShort},
        {"name equal to a live file", Pattern(10),
         MakeEntry({.mode = kObj, .name = "ABC", .size = 10}), 1, 1, kNameTaken},
        {"empty name", Pattern(10), MakeEntry({.mode = kObj, .name = "", .size = 10}), 1, 1,
         kNameTaken},
        {"mode byte 0x00", Pattern(10), MakeEntry({.mode = 0x00, .name = "NEW", .size = 10}), 1, 1,
         kFreeMode},
        {"mode byte 0x00 as BSD", Pattern(10), MakeEntry({.mode = 0x00, .name = "NEW", .size = 10}),
         1, 3, kFreeMode},
        {"plain OBJ over 65535", Pattern(65536), MakeEntry({.mode = kObj, .name = "BIG"}), 1, 1,
         kTooLarge},
        {"plain BTX over 65535", Pattern(70000),
         MakeEntry({.mode = kBtx, .name = "BIG", .size = 4464}), 1, 2, kTooLarge},
        {"plain BSD over 65535", Pattern(65536), MakeEntry({.mode = kBsd, .name = "BIG"}), 1, 3,
         kTooLarge},
        {"plain filtered BSD over 65535", std::vector<unsigned char>(65536, 'A'),
         MakeEntry({.mode = kBsd, .name = "BIG"}), 1, 5, kTooLarge},
        {"plain storage mode 9 over 65535", Pattern(65536),
         MakeEntry({.mode = kObj, .name = "BIG"}), 1, 9, kTooLarge},
        {"BRD over 524288", Pattern(524289), MakeEntry({.mode = kBrd, .name = "BIG", .size = 1}), 1,
         4, kTooLarge},
        {"MZT BRD over 524288", Mzt(kBrd, 0, Pattern(524289)),
         MakeEntry({.mode = kBrd, .name = "BIG"}), 0, 4, kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(0);
        flat.PutEntry(kRootDirSector, 1, MakeEntry({.mode = kObj, .name = "ABC", .start = 48}));
        DiskImage disk;
        flat.LoadInto(disk);
        const auto before = Snapshot(disk);
        DirEntry e = c.entry;
        const DirEntry given = e;
        EXPECT_EQ(disk.ImportFromBuffer(c.data.data(), c.data.size(), e.Bytes().data(), c.plain,
                                        c.storageMode),
                  c.want);
        EXPECT_EQ(Snapshot(disk), before);
        EXPECT_EQ(e, given); // the caller's entry is only updated on success
    }
}

TEST(ImportRefusal, FilteredBsdThatShrinksBelowTheLimitFits) {
    // 70000 bytes of CR LF pairs filter down to 35000 bytes.
    std::vector<unsigned char> text;
    for (int i = 0; i < 35000; ++i) {
        text.push_back(0x0D);
        text.push_back(0x0A);
    }
    DiskImage disk;
    Fresh(disk, 0);
    DirEntry stored;
    ASSERT_EQ(PutPlain(disk, text, kBsd, 5, "TEXT", &stored), kOk);
    EXPECT_EQ(stored.Size(), 35000);
}

TEST(ImportRefusal, HostFiles) {
    testutil::TempDir dir;
    const auto big = dir.path() / "big.bin";
    ASSERT_TRUE(testutil::WriteFileBytes(big, Pattern(524288 + 128 + 1)));
    const auto mzt = dir.path() / "limit.mzt";
    ASSERT_TRUE(testutil::WriteFileBytes(mzt, Mzt(kBrd, 0, Pattern(524288))));
    DiskImage disk;
    Fresh(disk, 0);
    const auto before = Snapshot(disk);
    struct Case {
        const char* name;
        std::string path;
        int plain;
        int want;
    };
    const Case cases[] = {
        {"missing file", (dir.path() / "missing.bin").string(), 1, kCannotOpen},
        {"a folder", dir.path().string(), 1, kCannotOpen},
        {"longer than the read limit", big.string(), 1, kTooLarge},
        {"longer than the read limit as MZT", big.string(), 0, kTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirEntry e = MakeEntry({.mode = kBrd, .name = "X"});
        EXPECT_EQ(ImportFile(disk, c.path.c_str(), e.Bytes().data(), c.plain, 4), c.want);
        EXPECT_EQ(Snapshot(disk), before);
    }
    DirEntry e = MakeEntry({.mode = kBrd, .name = "X"});
    EXPECT_EQ(ImportFile(disk, nullptr, e.Bytes().data(), 1, 4), kCannotOpen);
    // 128 header bytes and 524288 data bytes: exactly the largest BRD body.
    EXPECT_EQ(ImportFile(disk, mzt.string().c_str(), e.Bytes().data(), 0, 4), kOk);
    EXPECT_EQ(EntryAt(disk, 1).Size(), 128 * 128);
}

TEST(ImportName, WholeNameOfLiveEntriesOnly) {
    struct Case {
        const char* name;
        int want;
    };
    // ABC is live in entry 1; DEL was deleted from entry 2 (its name is still there).
    const Case cases[] = {
        {"ABC", kNameTaken}, {"AB", kOk},  {"A", kOk},  {"ABCD", kOk},
        {"ABD", kOk},        {"DEL", kOk}, {"DE", kOk}, {"", kNameTaken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        flat.PutEntry(kRootDirSector, 1, MakeEntry({.mode = kObj, .name = "ABC", .start = 48}));
        DirEntry deleted = MakeEntry({.mode = kObj, .name = "DEL", .start = 48});
        deleted.SetMode(0x00);
        flat.PutEntry(kRootDirSector, 2, deleted);
        DiskImage disk;
        flat.LoadInto(disk);
        const auto data = Pattern(10);
        EXPECT_EQ(PutPlain(disk, data, kObj, 1, c.name), c.want);
        if (c.want == kOk) {
            // The deleted entry is the first free one and is reused.
            EXPECT_EQ(EntryAt(disk, 2).NameText(), c.name);
            EXPECT_EQ(EntryAt(disk, 2).Mode(), kObj);
        }
    }
}

TEST(ImportName, ComparedUpToTheFirstCrOrNul) {
    FlatDisk flat(1);
    DirEntry live;
    live.SetMode(kObj);
    live.SetNameField({'A', 'B', 0x0D, 'X', 'Y'});
    flat.PutEntry(kRootDirSector, 1, live);
    DiskImage disk;
    flat.LoadInto(disk);
    DirEntry e;
    e.SetMode(kObj);
    e.SetNameField({'A', 'B', 0x00, 'Q'});
    const unsigned char data[1] = {7};
    EXPECT_EQ(disk.ImportFromBuffer(data, 1, e.Bytes().data(), 1, 1), kNameTaken);
}

// ---- Sequential layout (BSD). ----

TEST(ImportChain, Layouts) {
    struct Case {
        int diskType;
        std::size_t bytes;
        int sectors;
        int clusters;
    };
    const Case cases[] = {
        {1, 0, 0, 0},   {1, 253, 1, 1}, {1, 254, 1, 1}, {1, 255, 2, 2},
        {1, 508, 2, 2}, {0, 0, 0, 0},   {0, 253, 1, 1}, {0, 254, 1, 1},
        {0, 255, 2, 1}, {0, 508, 2, 1}, {0, 509, 3, 2}, {3, 255, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.diskType << ", " << c.bytes << " bytes");
        DiskImage disk;
        Fresh(disk, c.diskType);
        const int usedBefore = disk.GetUsedClusters();
        const auto data = Pattern(c.bytes);
        DirEntry stored;
        ASSERT_EQ(PutPlain(disk, data, kBsd, 3, "B", &stored), kOk);
        const DirEntry e = EntryAt(disk, 1);
        EXPECT_EQ(e, stored);
        EXPECT_EQ(e.Mode(), kBsd);
        EXPECT_EQ(e.Size(), c.bytes);
        EXPECT_EQ(e.StartSector(), 48); // the lowest free cluster, also for 0 bytes
        EXPECT_EQ(CountUsed(disk), c.clusters);
        for (int k = 0; k < c.clusters; ++k)
            EXPECT_TRUE(BitUsed(disk, k)) << k;
        EXPECT_FALSE(BitUsed(disk, c.clusters));
        if (c.bytes == 0) {
            // No MarkUsed: usedClusters keeps its value plus need(0) = 0, no sector written.
            EXPECT_EQ(disk.GetUsedClusters(), usedBefore);
            EXPECT_EQ(SectorBytes(disk, 48), std::vector<unsigned char>(256, 0xBF));
            continue;
        }
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + c.clusters);
        for (int s = 0; s < c.sectors; ++s) {
            SCOPED_TRACE(s);
            const auto sector = SectorBytes(disk, 48 + s);
            const std::size_t n = std::min<std::size_t>(254, c.bytes - 254 * s);
            EXPECT_TRUE(std::equal(sector.begin(), sector.begin() + n, data.begin() + 254 * s));
            // Zero-filled after the data; the last link 0, the others the next sector.
            EXPECT_TRUE(std::all_of(sector.begin() + n, sector.begin() + 254,
                                    [](unsigned char b) { return b == 0; }));
            const int link = sector[254] | (sector[255] << 8);
            EXPECT_EQ(link, s + 1 < c.sectors ? 48 + s + 1 : 0);
        }
        // A second cluster sector that holds no data is not touched.
        if (c.diskType == 0 && c.sectors % 2 == 1) {
            EXPECT_EQ(SectorBytes(disk, 48 + c.sectors), std::vector<unsigned char>(256, 0xBF));
        }
    }
}

TEST(ImportChain, LinkToSector320) {
    FlatDisk flat(1);
    // Clusters 0..270 used: the lowest free one is 271, sector 319, then sector 320.
    for (int k = 0; k < 271; ++k)
        flat.SetUsed(k);
    DiskImage disk;
    flat.LoadInto(disk);
    ASSERT_EQ(PutPlain(disk, Pattern(300), kBsd, 3), kOk);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 319);
    const auto first = SectorBytes(disk, 319);
    EXPECT_EQ(first[254], 0x40);
    EXPECT_EQ(first[255], 0x01);
}

TEST(ImportChain, TakesTheLowestFreeClusterEachTime) {
    FlatDisk flat(1);
    for (int k = 0; k < 20; ++k)
        flat.SetUsed(k, !(k == 3 || k == 10 || k == 12));
    DiskImage disk;
    flat.LoadInto(disk);
    const auto data = Pattern(600); // three sectors
    ASSERT_EQ(PutPlain(disk, data, kBsd, 3), kOk);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 51);
    EXPECT_EQ(SectorBytes(disk, 51)[254], 58);
    EXPECT_EQ(SectorBytes(disk, 58)[254], 60);
    EXPECT_EQ(SectorBytes(disk, 60)[254], 0);
    EXPECT_EQ(SectorBytes(disk, 60)[600 - 508], 0);
    EXPECT_EQ(SectorBytes(disk, 60)[600 - 509], data[599]);
    EXPECT_TRUE(BitUsed(disk, 3) && BitUsed(disk, 10) && BitUsed(disk, 12));
    EXPECT_FALSE(BitUsed(disk, 20));
    EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + 20);
}

TEST(ImportChain, MztIsNotFilteredAndSizeComesFromTheHeader) {
    const std::vector<unsigned char> text = {'A', 0x0D, 0x0A, 'B'};
    DiskImage disk;
    Fresh(disk, 1);
    DirEntry e = MakeEntry({.mode = kBsd, .name = "T", .size = 4});
    const auto file = Mzt(0x05, 4, text);
    ASSERT_EQ(disk.ImportFromBuffer(file.data(), file.size(), e.Bytes().data(), 0, 5), kOk);
    EXPECT_EQ(EntryAt(disk, 1).Size(), 4);
    const auto sector = SectorBytes(disk, 48, 4);
    EXPECT_EQ(sector, text);
}

TEST(ImportChain, UsedClustersKeepsNeedOfLWhenNothingIsMarked) {
    // An MZT BSD file whose header says 0 bytes but which carries 300: no cluster is marked,
    // and usedClusters keeps the added need(300) = 2.
    DiskImage disk;
    Fresh(disk, 1);
    DirEntry e = MakeEntry({.mode = kBsd, .name = "Z"});
    const auto file = Mzt(kBsd, 0, Pattern(300));
    ASSERT_EQ(disk.ImportFromBuffer(file.data(), file.size(), e.Bytes().data(), 0, 3), kOk);
    EXPECT_EQ(disk.GetUsedClusters(), 48 + 2);
    EXPECT_EQ(CountUsed(disk), 0);
}

// ---- Line-end filter (storage mode 5). ----

TEST(ImportFilter, Cases) {
    struct Case {
        const char* name;
        std::vector<unsigned char> in;
        std::vector<unsigned char> out;
    };
    const Case cases[] = {
        {"CR LF becomes CR", {0x41, 0x0D, 0x0A, 0x42}, {0x41, 0x0D, 0x42}},
        {"leading LF dropped", {0x0A, 0x41}, {0x41}},
        {"CR LF LF becomes CR", {0x0D, 0x0A, 0x0A}, {0x0D}},
        {"LF after a lead byte kept", {0x82, 0x0A}, {0x82, 0x0A}},
        {"LF after a lead byte E0 kept", {0xE0, 0x0A, 0x0A}, {0xE0, 0x0A}},
        {"LF after a non-lead byte A0 dropped", {0xA0, 0x0A}, {0xA0}},
        {"lone CR untouched", {0x0D, 0x0D}, {0x0D, 0x0D}},
        {"previous byte counts even when dropped", {0x0A, 0x0A, 0x41}, {0x41}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        Fresh(disk, 1);
        DirEntry stored;
        ASSERT_EQ(PutPlain(disk, c.in, kBsd, 5, "T", &stored), kOk);
        const DirEntry e = EntryAt(disk, 1);
        EXPECT_EQ(e.Mode(), kBsd);
        EXPECT_EQ(e.Size(), c.out.size());
        EXPECT_EQ(SectorBytes(disk, 48, c.out.size()), c.out);
        EXPECT_EQ(SectorBytes(disk, 48)[c.out.size()], 0);
    }
}

TEST(ImportFilter, OnlyLineFeedsGiveAnEmptyChain) {
    DiskImage disk;
    Fresh(disk, 1);
    const int usedBefore = disk.GetUsedClusters();
    ASSERT_EQ(PutPlain(disk, {0x0A, 0x0A, 0x0A}, kBsd, 5), kOk);
    EXPECT_EQ(EntryAt(disk, 1).Size(), 0);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 48);
    EXPECT_EQ(CountUsed(disk), 0);
    EXPECT_EQ(disk.GetUsedClusters(), usedBefore);
    EXPECT_EQ(SectorBytes(disk, 48), std::vector<unsigned char>(256, 0xBF));
}

// ---- Indexed layout (BRD). ----

TEST(ImportIndex, Layouts) {
    struct Case {
        int diskType;
        std::size_t bytes;
        std::uint16_t size;
        int blocks;
    };
    const Case cases[] = {
        {1, 0, 0, 0},      {1, 1, 128, 1},    {1, 4095, 128, 1}, {1, 4096, 128, 1},
        {1, 4097, 256, 2}, {0, 4095, 128, 1}, {0, 4097, 256, 2}, {0, 70000, 18 * 128, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.diskType << ", " << c.bytes << " bytes");
        DiskImage disk;
        Fresh(disk, c.diskType);
        const auto data = Pattern(c.bytes);
        DirEntry stored;
        ASSERT_EQ(PutPlain(disk, data, kBrd, 4, "R", &stored), kOk);
        const DirEntry e = EntryAt(disk, 1);
        EXPECT_EQ(e, stored);
        EXPECT_EQ(e.Size(), c.size);
        EXPECT_EQ(e.StartSector(), 48);
        const int spc = disk.GetSectorsPerCluster();
        // The whole index cluster is zero apart from the slots.
        const auto index = SectorBytes(disk, 48, static_cast<std::size_t>(spc) * 256);
        for (int slot = 0; slot < c.blocks; ++slot) {
            SCOPED_TRACE(slot);
            const int first = index[2 * slot] | (index[2 * slot + 1] << 8);
            // Index cluster first, then one 16-sector block after another.
            EXPECT_EQ(first, 48 + spc + 16 * slot);
            const auto block = SectorBytes(disk, first, 4096);
            const std::size_t n = std::min<std::size_t>(4096, c.bytes - 4096 * slot);
            EXPECT_TRUE(std::equal(block.begin(), block.begin() + n, data.begin() + 4096 * slot));
            EXPECT_TRUE(std::all_of(block.begin() + n, block.end(),
                                    [](unsigned char b) { return b == 0; }));
        }
        EXPECT_TRUE(std::all_of(index.begin() + 2 * c.blocks, index.end(),
                                [](unsigned char b) { return b == 0; }));
        const int clusters = 1 + c.blocks * 16 / spc;
        EXPECT_EQ(CountUsed(disk), clusters);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + clusters);
        EXPECT_FALSE(BitUsed(disk, clusters));
    }
}

TEST(ImportIndex, BlocksSkipRunsThatAreTooShort) {
    FlatDisk flat(1);
    // Free: cluster 0 (the index), 1..10 (too short for a block), 20..35 (a block).
    for (int k = 0; k < 1232; ++k)
        flat.SetUsed(k, !(k <= 10 || (k >= 20 && k < 36)));
    DiskImage disk;
    flat.LoadInto(disk);
    ASSERT_EQ(PutPlain(disk, Pattern(100), kBrd, 4), kOk);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 48);
    const auto index = SectorBytes(disk, 48);
    EXPECT_EQ(index[0] | (index[1] << 8), 68);
    EXPECT_FALSE(BitUsed(disk, 1));
}

// ---- Contiguous layout (OBJ, BTX, other storage modes). ----

TEST(ImportContiguous, Layouts) {
    struct Case {
        const char* name;
        int diskType;
        std::size_t bytes;
        int storageMode;
        int clusters;
        bool copied;
    };
    const Case cases[] = {
        {"OBJ 1 byte", 1, 1, 1, 1, true},
        {"OBJ 256 bytes", 1, 256, 1, 1, true},
        {"OBJ 257 bytes", 1, 257, 1, 2, true},
        {"BTX 1000 bytes", 0, 1000, 2, 2, true},
        {"OBJ 65535 bytes", 0, 65535, 1, 128, true},
        {"storage mode 7: not copied", 1, 600, 7, 3, false},
        {"storage mode 0: not copied", 1, 600, 0, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        Fresh(disk, c.diskType);
        const auto data = Pattern(c.bytes);
        ASSERT_EQ(PutPlain(disk, data, kObj, c.storageMode), kOk);
        const DirEntry e = EntryAt(disk, 1);
        EXPECT_EQ(e.StartSector(), 48);
        EXPECT_EQ(e.Size(), c.bytes);
        EXPECT_EQ(CountUsed(disk), c.clusters);
        EXPECT_EQ(disk.GetUsedClusters(), disk.GetFirstDataCluster() + c.clusters);
        const auto run = SectorBytes(disk, 48, c.bytes + 1);
        if (c.copied) {
            EXPECT_TRUE(std::equal(data.begin(), data.end(), run.begin()));
        } else {
            EXPECT_TRUE(std::all_of(run.begin(), run.begin() + static_cast<long>(c.bytes),
                                    [](unsigned char b) { return b == 0xBF; }));
        }
        // The rest of the run keeps its former contents.
        EXPECT_EQ(run[c.bytes], 0xBF);
    }
}

TEST(ImportContiguous, EmptyObjMarksNothing) {
    FlatDisk flat(1);
    flat.SetUsed(0);
    flat.SetUsed(1);
    DiskImage disk;
    flat.LoadInto(disk);
    ASSERT_EQ(PutPlain(disk, {}, kObj, 1), kOk);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 50);
    EXPECT_EQ(EntryAt(disk, 1).Size(), 0);
    EXPECT_EQ(CountUsed(disk), 2);
    EXPECT_FALSE(BitUsed(disk, 2));
    EXPECT_EQ(disk.GetUsedClusters(),
              disk.GetFirstDataCluster() + 2); // the recount of MarkUsed(k, 0)
}

TEST(ImportContiguous, FirstRunLongEnough) {
    FlatDisk flat(1);
    flat.SetUsed(1);
    DiskImage disk;
    flat.LoadInto(disk);
    ASSERT_EQ(PutPlain(disk, Pattern(257), kObj, 1), kOk);
    EXPECT_EQ(EntryAt(disk, 1).StartSector(), 50);
    EXPECT_FALSE(BitUsed(disk, 0));
}

TEST(ImportContiguous, SizeFieldAndDataLengthDisagree) {
    struct Case {
        const char* name;
        std::uint16_t headerSize;
        std::size_t dataBytes;
        int storageMode;
        std::uint16_t storedSize;
        int clusters;
    };
    const Case cases[] = {
        // The entry never claims bytes that were not written.
        {"OBJ: size over the data", 1000, 10, 1, 10, 1},
        {"BSD: size over the data", 1000, 10, 3, 10, 1},
        // The run holds the S bytes copied; the data past them takes no cluster.
        {"OBJ: data over the size", 10, 600, 1, 10, 1},
        {"OBJ: data over the size, two clusters", 300, 3000, 1, 300, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        Fresh(disk, 1);
        const auto data = Pattern(c.dataBytes);
        const auto file = Mzt(kObj, c.headerSize, data);
        DirEntry e = MakeEntry(
            {.mode = kObj, .name = "M", .size = static_cast<std::uint16_t>(c.headerSize)});
        ASSERT_EQ(
            disk.ImportFromBuffer(file.data(), file.size(), e.Bytes().data(), 0, c.storageMode),
            kOk);
        EXPECT_EQ(EntryAt(disk, 1).Size(), c.storedSize);
        EXPECT_EQ(e.Size(), c.storedSize);
        EXPECT_EQ(CountUsed(disk), c.clusters);
        const auto stored = SectorBytes(disk, 48, c.storedSize + 1u);
        EXPECT_TRUE(std::equal(data.begin(), data.begin() + c.storedSize, stored.begin()));
        if (c.storageMode == 1) {
            EXPECT_EQ(stored[c.storedSize], 0xBF);
        }
    }
}

// ---- All or nothing on nearly full disks. ----

TEST(ImportNoSpace, NearlyFullDisks) {
    struct Case {
        const char* name;
        int diskType;
        std::vector<int> freeClusters;
        std::size_t bytes;
        int storageMode;
        int want;
        int leftFree = 0; // clusters still free after a success
    };
    const Case cases[] = {
        // 2 free clusters hold 512 bytes, yet 510 data bytes need 3 chain sectors.
        {"BSD short of a sector", 1, {5, 9}, 510, 3, kNoSpace},
        {"BSD just fits", 1, {5, 9, 100}, 510, 3, kOk},
        {"BSD of 0 bytes on a full disk", 1, {}, 0, 3, kNoSpace},
        {"filtered BSD of 0 bytes on a full disk", 1, {}, 0, 5, kNoSpace},
        {"BSD on 512-byte clusters short", 0, {7}, 509, 3, kNoSpace},
        {"BSD on 512-byte clusters fits", 0, {7, 300}, 509, 3, kOk},
        {"BRD of 0 bytes on a full disk", 1, {}, 0, 4, kNoSpace},
        {"BRD of 0 bytes, one free cluster", 1, {40}, 0, 4, kOk},
        {"BRD without a whole block run",
         1,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20},
         100,
         4,
         kNoSpace},
        {"BRD index and one block for two",
         1,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 30},
         4097,
         4,
         kNoSpace},
        {"BRD without room for the index",
         1,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         100,
         4,
         kNoSpace},
        {"BRD index and a block",
         1,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         100,
         4,
         kOk},
        {"OBJ of 0 bytes on a full disk", 1, {}, 0, 1, kNoSpace},
        {"OBJ without a long enough run", 1, {3, 5}, 300, 1, kNoSpace},
        {"OBJ in the only long enough run", 1, {3, 5, 6}, 300, 1, kOk, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(c.diskType);
        DiskImage probe;
        flat.LoadInto(probe);
        FillAllBut(flat, c.freeClusters, probe.GetPositionLimit());
        DiskImage disk;
        flat.LoadInto(disk);
        const auto before = Snapshot(disk);
        DirEntry e =
            MakeEntry({.mode = kObj, .name = "N", .size = static_cast<std::uint16_t>(c.bytes)});
        const DirEntry given = e;
        const auto data = Pattern(c.bytes);
        EXPECT_EQ(
            disk.ImportFromBuffer(data.data(), data.size(), e.Bytes().data(), 1, c.storageMode),
            c.want);
        if (c.want != kOk) {
            EXPECT_EQ(Snapshot(disk), before);
            EXPECT_EQ(e, given);
        } else {
            EXPECT_EQ(CountUsed(disk),
                      probe.GetPositionLimit() - kBitmapFirstPosition - c.leftFree);
        }
    }
}

TEST(ImportNoSpace, ClustersBeyondTheImageAreNeverTaken) {
    // A bitmap that claims 2040 clusters on a disk of 40 cylinders (1280 sectors), all of whose
    // own clusters are used: the free positions lie past the image end and cannot hold data.
    FlatDisk flat(1);
    for (int k = 0; k < 1280 - 48; ++k)
        flat.SetUsed(k);
    flat.PutWord(kBitmapOffset + kBitmapTotalClusters, 2040);
    const auto d88 = testutil::StandardD88(flat.Bytes(), 40, 0x00);
    DiskImage disk;
    ASSERT_EQ(disk.Load(d88.data(), d88.size(), 0), 0);
    ASSERT_EQ(disk.GetImageSize(), 1280u * 256);
    ASSERT_GT(disk.GetFreeBytes(), 0);
    const auto before = Snapshot(disk);
    const int modes[] = {1, 3, 4, 5, 7};
    for (int mode : modes) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(PutPlain(disk, Pattern(600), kObj, mode), kNoSpace);
        EXPECT_EQ(PutPlain(disk, {}, kObj, mode), kNoSpace);
        EXPECT_EQ(Snapshot(disk), before);
    }
}
