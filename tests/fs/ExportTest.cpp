#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "fs/AddFileEntry.h"
#include "fs/DirEntry.h"
#include "fs/Export.h"
#include "fs/MztHeader.h"
#include "fs/ResultCodes.h"
#include "host/DiskImageFiles.h"
#include "support/ScopedFaults.h"
#include "support/TestDisk.h"

using testdisk::EntryAt;
using testdisk::FlatDisk;
using testdisk::MakeEntry;
using testdisk::Pattern;
using testdisk::SectorBytes;
using testdisk::Snapshot;

namespace {

constexpr int kMzt = 0;
constexpr int kBin = 1;
constexpr int kCannotWrite = ToInt(ExportResult::CannotWrite);

std::vector<unsigned char> Export(const DiskImage& disk, int index, int format) {
    std::vector<unsigned char> out = {0xAA}; // must be replaced, not appended to
    EXPECT_EQ(disk.ExportToBuffer(index, format, out), 0);
    return out;
}

std::vector<unsigned char> Concat(std::vector<unsigned char> a,
                                  const std::vector<unsigned char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<unsigned char> HeaderOf(const DiskImage& disk, int index) {
    const auto e = EntryAt(disk, index);
    const MztHeader header = MztHeader::FromDirEntry(e.Bytes().data());
    const auto& h = header.Bytes();
    return {h.begin(), h.end()};
}

} // namespace

// ---- Bodies by layout, with a body walk that stays inside the image. ----

TEST(ExportBody, Cases) {
    constexpr int kLast = 1279; // last sector of a type 1 disk
    struct Case {
        const char* name;
        DirEntry entry;
        std::vector<std::pair<int, std::uint16_t>> links; // BSD links, or BRD slots at sector 48
        std::vector<std::pair<int, int>> expect;          // (sector, bytes) pieces of the output
    };
    const Case cases[] = {
        {"OBJ of 0 bytes", MakeEntry({.mode = 0x01, .name = "Z", .start = 48}), {}, {}},
        {"OBJ of 1000 bytes",
         MakeEntry({.mode = 0x01, .name = "O", .size = 1000, .start = 60}),
         {},
         {{60, 1000}}},
        {"unknown mode 0x06 is contiguous",
         MakeEntry({.mode = 0x06, .name = "U", .size = 300, .start = 60}),
         {},
         {{60, 300}}},
        {"OBJ cut at the image end",
         MakeEntry({.mode = 0x01,
                    .name = "C",
                    .size = 1000,
                    .start = static_cast<std::uint16_t>(kLast - 1)}),
         {},
         {{kLast - 1, 512}}},
        {"OBJ starting outside the image",
         MakeEntry({.mode = 0x01,
                    .name = "X",
                    .size = 1000,
                    .start = static_cast<std::uint16_t>(kLast + 1)}),
         {},
         {}},
        {"BSD of 254 bytes never reads the link",
         MakeEntry({.mode = 0x03, .name = "B", .size = 254, .start = 48}),
         {{48, 0xFFFF}},
         {{48, 254}}},
        {"BSD of 255 bytes",
         MakeEntry({.mode = 0x03, .name = "B", .size = 255, .start = 48}),
         {{48, 70}},
         {{48, 254}, {70, 1}}},
        {"BSD link 40h 01h",
         MakeEntry({.mode = 0x03, .name = "B", .size = 300, .start = 48}),
         {{48, 320}},
         {{48, 254}, {320, 46}}},
        {"BSD chain ends early",
         MakeEntry({.mode = 0x03, .name = "B", .size = 1000, .start = 48}),
         {{48, 49}, {49, 0}},
         {{48, 254}, {49, 254}}},
        {"BSD start sector 0", MakeEntry({.mode = 0x03, .name = "B", .size = 100}), {}, {}},
        {"BSD link outside the image",
         MakeEntry({.mode = 0x03, .name = "B", .size = 1000, .start = 48}),
         {{48, 0xF000}},
         {{48, 254}}},
        {"BSD start outside the image",
         MakeEntry({.mode = 0x03, .name = "B", .size = 10, .start = 0xFFFF}),
         {},
         {}},
        {"BSD loop stops where it closes",
         MakeEntry({.mode = 0x03, .name = "B", .size = 60000, .start = 48}),
         {{48, 49}, {49, 48}},
         {{48, 254}, {49, 254}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        for (int s = 48; s < 400; ++s)
            std::copy_n(Pattern(256, static_cast<unsigned>(s)).begin(), 256, flat.Sector(s));
        for (int s = kLast - 4; s <= kLast; ++s)
            std::copy_n(Pattern(256, static_cast<unsigned>(s)).begin(), 256, flat.Sector(s));
        for (const auto& [sector, link] : c.links)
            flat.PutLink(sector, link);
        flat.PutEntry(kRootDirSector, 1, c.entry);
        DiskImage disk;
        flat.LoadInto(disk);
        const auto before = Snapshot(disk);
        std::vector<unsigned char> want;
        for (const auto& [sector, bytes] : c.expect)
            want = Concat(want, SectorBytes(disk, sector, static_cast<std::size_t>(bytes)));
        EXPECT_EQ(Export(disk, 1, kBin), want);
        EXPECT_EQ(Export(disk, 1, kMzt), Concat(HeaderOf(disk, 1), want));
        EXPECT_EQ(Snapshot(disk), before);
    }
}

TEST(ExportBody, BlockIndex) {
    struct Case {
        const char* name;
        std::uint16_t size;
        std::vector<std::uint16_t> slots;
        std::vector<std::pair<int, int>> expect;
    };
    const Case cases[] = {
        {"size 128: one whole block", 128, {100, 200}, {{100, 4096}}},
        {"size 129: 4096 + 32 bytes from two blocks", 129, {100, 200}, {{100, 4096}, {200, 32}}},
        {"first slot 0", 128, {}, {}},
        {"index ends early", 384, {100, 200}, {{100, 4096}, {200, 4096}}},
        {"slot outside the image", 256, {100, 1280}, {{100, 4096}}},
        {"block cut at the image end", 128, {1278}, {{1278, 512}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        for (int s = 49; s < 1280; ++s)
            std::copy_n(Pattern(256, static_cast<unsigned>(s)).begin(), 256, flat.Sector(s));
        flat.FillSector(48, 0);
        for (std::size_t i = 0; i < c.slots.size(); ++i)
            flat.PutWord(48u * 256 + 2 * i, c.slots[i]);
        flat.PutEntry(kRootDirSector, 1,
                      MakeEntry({.mode = 0x04,
                                 .name = "R",
                                 .size = static_cast<std::uint16_t>(c.size),
                                 .start = 48}));
        DiskImage disk;
        flat.LoadInto(disk);
        std::vector<unsigned char> want;
        for (const auto& [sector, bytes] : c.expect)
            want = Concat(want, SectorBytes(disk, sector, static_cast<std::size_t>(bytes)));
        EXPECT_EQ(Export(disk, 1, kBin), want);
        // The header keeps the entry's size field: records, not bytes.
        const auto mzt = Export(disk, 1, kMzt);
        ASSERT_GE(mzt.size(), 128u);
        EXPECT_EQ(mzt[18] | (mzt[19] << 8), c.size);
        EXPECT_EQ(mzt, Concat(HeaderOf(disk, 1), want));
    }
}

TEST(ExportBody, IndexOutsideTheImage) {
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x04, .name = "R", .size = 128, .start = 5000}));
    DiskImage disk;
    flat.LoadInto(disk);
    EXPECT_TRUE(Export(disk, 1, kBin).empty());
    EXPECT_EQ(Export(disk, 1, kMzt).size(), 128u);
}

// ---- The MZT header and the format argument. ----

TEST(ExportHeader, CarriesTheEntryFieldsOnly) {
    FlatDisk flat(1);
    DirEntry e = MakeEntry(
        {.mode = 0x02, .name = "", .size = 3, .start = 48, .load = 0x1200, .exec = 0x1234});
    e.SetNameField({'A', 'B', 0x0D, 'C', 0xFF, 0x0D, 0x00, 0x41});
    e.SetAttribute(0x80);
    e.SetReserved(0x11);
    e.SetDate(0x12345678);
    flat.PutEntry(kRootDirSector, 5, e);
    std::copy_n("xyz", 3, flat.Sector(48));
    DiskImage disk;
    flat.LoadInto(disk);
    const auto mzt = Export(disk, 5, kMzt);
    ASSERT_EQ(mzt.size(), 131u);
    EXPECT_EQ(mzt[0], 0x02);
    const auto name = e.NameField();
    EXPECT_TRUE(std::equal(name.begin(), name.end(), mzt.begin() + 1));
    const std::vector<unsigned char> fields(mzt.begin() + 18, mzt.begin() + 24);
    EXPECT_EQ(fields, (std::vector<unsigned char>{0x03, 0x00, 0x00, 0x12, 0x34, 0x12}));
    EXPECT_TRUE(std::all_of(mzt.begin() + 24, mzt.begin() + 128, [](auto b) { return b == 0; }));
    EXPECT_EQ(std::string(mzt.begin() + 128, mzt.end()), "xyz");
}

TEST(ExportHeader, OnlyTheLowFourBitsChooseTheFormat) {
    struct Case {
        int format;
        bool mzt;
    };
    const Case cases[] = {{0, true},  {0x10, true},  {0xF0, true},  {-16, true},
                          {1, false}, {0x21, false}, {0x0F, false}, {-1, false}};
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x01, .name = "A", .size = 10, .start = 48}));
    DiskImage disk;
    flat.LoadInto(disk);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(Export(disk, 1, c.format).size(), c.mzt ? 138u : 10u);
    }
}

TEST(ExportHeader, EntryOfTheCurrentDirectory) {
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 3,
                  MakeEntry({.mode = 0x01, .name = "ROOT", .size = 1, .start = 48}));
    flat.PutEntry(100, 3, MakeEntry({.mode = 0x01, .name = "SUB", .size = 1, .start = 49}));
    *flat.Sector(48) = 'r';
    *flat.Sector(49) = 's';
    DiskImage disk;
    flat.LoadInto(disk);
    EXPECT_EQ(Export(disk, 3, kBin), std::vector<unsigned char>{'r'});
    disk.SetCurrentDir(100);
    EXPECT_EQ(Export(disk, 3, kBin), std::vector<unsigned char>{'s'});
    EXPECT_EQ(MztHeader::Parse(Export(disk, 3, kMzt).data(), 129)->NameText(), "SUB");
}

TEST(ExportBody, CheckRefusesTheReservedAreaAndSectorsPastTheDisk) {
    const auto ok = ExportResult::Ok, reserved = ExportResult::ReservedArea,
               past = ExportResult::PastDiskEnd;
    const struct {
        const char* name;
        DirEntry entry;
        std::uint16_t word; // at byte 254 (BSD link) or 0 (BRD slot) of sector 48
        ExportResult result;
        long long sector;
    } kCases[] = {
        {"OBJ at the first data sector", MakeEntry({.size = 300, .start = 48}), 0, ok, -1},
        {"OBJ at sector 0", MakeEntry({.size = 5000}), 0, reserved, 0},
        {"empty OBJ at sector 0 reads nothing", MakeEntry({}), 0, ok, -1},
        {"BSD starting at 0", MakeEntry({.mode = 0x03, .size = 10}), 0, reserved, 0},
        {"BSD linked into the bitmap", MakeEntry({.mode = 0x03, .size = 300, .start = 48}), 15,
         reserved, 15},
        {"BRD block in the reserved area", MakeEntry({.mode = 0x04, .size = 1, .start = 48}), 16,
         reserved, 16},
        {"OBJ cut at the image end", MakeEntry({.size = 600, .start = 1278}), 0, past, 1280},
        {"BSD linked past the image", MakeEntry({.mode = 0x03, .size = 300, .start = 48}), 0x9000,
         past, 0x9000},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FlatDisk flat(1);
        flat.PutWord(48 * kSectorBytes + (c.entry.Mode() == 0x03 ? 254 : 0), c.word);
        flat.PutEntry(kRootDirSector, 1, c.entry);
        DiskImage disk;
        flat.LoadInto(disk);
        const ExportCheck check = CheckExportBody(disk, 1);
        EXPECT_EQ(check.result, c.result);
        EXPECT_EQ(check.sector, c.sector);
    }
}

// ---- Host files. ----

TEST(ExportFile, WritesTheBufferBytes) {
    testutil::TempDir dir;
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x01, .name = "A", .size = 700, .start = 48}));
    DiskImage disk;
    flat.LoadInto(disk);
    const auto path = dir.path() / "a.mzt";
    ASSERT_TRUE(testutil::WriteFileBytes(path, Pattern(5000))); // an existing file is replaced
    for (int format : {kMzt, kBin}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(ExportFile(disk, 1, path.string().c_str(), format), 0);
        EXPECT_EQ(testutil::ReadFileBytes(path), Export(disk, 1, format));
    }
    // An empty body gives an empty BIN file, which still exists.
    flat.PutEntry(kRootDirSector, 2, MakeEntry({.mode = 0x01, .name = "E", .start = 48}));
    flat.LoadInto(disk);
    const auto empty = dir.path() / "e.bin";
    EXPECT_EQ(ExportFile(disk, 2, empty.string().c_str(), kBin), 0);
    EXPECT_TRUE(std::filesystem::exists(empty));
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST(ExportFile, Failures) {
    testutil::TempDir dir;
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x01, .name = "A", .size = 700, .start = 48}));
    DiskImage disk;
    flat.LoadInto(disk);
    const auto missingFolder = dir.path() / "no" / "such" / "a.bin";
    EXPECT_EQ(ExportFile(disk, 1, missingFolder.string().c_str(), kBin), kCannotWrite);
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
    EXPECT_EQ(ExportFile(disk, 1, dir.path().string().c_str(), kBin), kCannotWrite);

    // Entry numbers outside the directory: nothing is created.
    const auto path = dir.path() / "x.bin";
    for (int index : {-1, 64, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ExportFile(disk, index, path.string().c_str(), kMzt), kCannotWrite);
        EXPECT_FALSE(std::filesystem::exists(path));
        std::vector<unsigned char> out = {1, 2};
        EXPECT_EQ(disk.ExportToBuffer(index, kMzt, out), kCannotWrite);
        EXPECT_TRUE(out.empty());
    }
}

TEST(ExportFile, AFullDiskIsAWriteErrorAndKeepsTheOldFile) {
    FlatDisk flat(1);
    flat.PutEntry(kRootDirSector, 1,
                  MakeEntry({.mode = 0x01, .name = "A", .size = 700, .start = 48}));
    DiskImage disk;
    flat.LoadInto(disk);
    testutil::TempDir dir;
    const auto path = dir.path() / "a.bin";
    ASSERT_TRUE(testutil::WriteFileBytes(path, {1, 2, 3}));
    {
        ScopedFaults full({.fileLimit = 512});
        EXPECT_EQ(ExportFile(disk, 1, path.c_str(), kBin), kCannotWrite);
    }
    EXPECT_EQ(testutil::ReadFileBytes(path), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// ---- Round trips: import, then export in both forms. ----

namespace {

struct RoundTrip {
    int storageMode;
    std::size_t bytes;
};

// What a BIN export of an imported plain file gives back: the data, and for BRD the zero fill
// up to the whole block its size field counts.
std::vector<unsigned char> ExpectedBin(const std::vector<unsigned char>& data, int storageMode) {
    std::vector<unsigned char> want = data;
    if (storageMode == 4)
        want.resize((data.size() + 4095) / 4096 * 4096, 0);
    return want;
}

} // namespace

TEST(ExportRoundTrip, EveryLayoutOnEveryDiskType) {
    const std::size_t lengths[] = {0, 1, 253, 254, 255, 508, 4095, 4096, 4097, 6000, 60000};
    for (int type = 0; type < 4; ++type) {
        for (int mode = 1; mode <= 5; ++mode) {
            for (std::size_t n : lengths) {
                SCOPED_TRACE(testing::Message()
                             << "type " << type << ", mode " << mode << ", " << n << " bytes");
                auto data = Pattern(n, static_cast<unsigned>(n + mode));
                if (mode == 5) // the filter would drop line feeds
                    std::replace(data.begin(), data.end(), 0x0A, 0x0B);
                DiskImage disk;
                disk.Format(type);
                auto entry = AddFileEntry::Build("F", static_cast<std::uint8_t>(mode), false, 0,
                                                 static_cast<std::int64_t>(n), 0x1200, 0x1300);
                ASSERT_EQ(disk.ImportFromBuffer(data.data(), n, entry.data(), 1, mode), 0);
                const auto bin = Export(disk, 1, kBin);
                EXPECT_EQ(bin, ExpectedBin(data, mode));
                const auto mzt = Export(disk, 1, kMzt);
                EXPECT_EQ(mzt, Concat(HeaderOf(disk, 1), bin));

                // The MZT file goes into a fresh disk and comes out byte for byte.
                const auto header = MztHeader::Parse(mzt.data(), mzt.size());
                if (!header) {
                    EXPECT_EQ(n, 0u); // an empty file gives a header alone
                    continue;
                }
                DiskImage again;
                again.Format(type);
                auto back = header->ToDirEntry();
                const int storage = header->Mode() == 0x04 ? 4 : header->Mode() == 0x03 ? 3 : 1;
                ASSERT_EQ(again.ImportFromBuffer(mzt.data(), mzt.size(), back.data(), 0, storage),
                          0);
                EXPECT_EQ(Export(again, 1, kMzt), mzt);
            }
        }
    }
}

TEST(ExportRoundTrip, ManyFilesOnOneDisk) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        std::vector<std::vector<unsigned char>> files;
        const RoundTrip puts[] = {{1, 300},  {3, 1000}, {4, 5000}, {2, 6000}, {3, 255},
                                  {4, 4096}, {1, 0},    {3, 0},    {4, 0},    {1, 60000}};
        int index = 1;
        for (const RoundTrip& p : puts) {
            auto data = Pattern(p.bytes, static_cast<unsigned>(index));
            auto entry = AddFileEntry::Build("F" + std::to_string(index),
                                             static_cast<std::uint8_t>(p.storageMode), false, 0,
                                             static_cast<std::int64_t>(p.bytes), 0, 0);
            ASSERT_EQ(disk.ImportFromBuffer(data.data(), p.bytes, entry.data(), 1, p.storageMode),
                      0);
            files.push_back(ExpectedBin(data, p.storageMode));
            ++index;
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(Export(disk, static_cast<int>(i) + 1, kBin), files[i]);
        }
    }
}

// ---- Real tapes. ----

TEST(ExportRealTapes, ImportAsTheHeaderSaysAndExportBack) {
    DARVEX_REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        const char* name;
    };
    const Case cases[] = {
        {"tapes/EMMANIME.mzt", nullptr},
        {"tapes/EMMLOAD.mzt", "EMMLOAD.MZT"},
        {"tapes/EMMMENU.mzt", nullptr},
        {"tapes/EMMSAVE.mzt", nullptr},
        {"ipls/IPL-SEL-MAKER.mzt", "IPLSELECTERMAKER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto path = testutil::TestDataPath(c.file);
        const auto bytes = testutil::ReadFileBytes(path);
        ASSERT_GT(bytes.size(), 128u);
        const auto header = MztHeader::Parse(bytes.data(), bytes.size());
        ASSERT_TRUE(header);
        EXPECT_EQ(header->Mode(), 0x01);
        EXPECT_EQ(header->Size(), bytes.size() - 128);
        EXPECT_EQ(header->LoadAddress(), 0x12A0);
        EXPECT_EQ(header->ExecAddress(), 0x12A0);
        if (c.name) {
            EXPECT_EQ(header->NameText(), c.name);
        }

        for (int type = 0; type < 4; ++type) {
            SCOPED_TRACE(type);
            // As the add-file dialog stores it: the name up to its 0x0D, then zeros.
            const auto proposal = AddFileEntry::Propose(path.filename().string(), bytes.size(),
                                                        bytes.data(), bytes.size(), true);
            auto entry =
                AddFileEntry::Build(proposal.name, proposal.mode, false, proposal.attribute,
                                    proposal.size, proposal.loadAddress, proposal.execAddress);
            DiskImage disk;
            disk.Format(type);
            ASSERT_EQ(ImportFile(disk, path.string().c_str(), entry.data(), 0, proposal.mode), 0);
            const DirEntry stored = EntryAt(disk, 1);
            EXPECT_EQ(stored.Mode(), 0x01);
            EXPECT_EQ(stored.NameText(), header->NameText());
            EXPECT_EQ(stored.Size(), header->Size());
            EXPECT_EQ(stored.LoadAddress(), 0x12A0);
            EXPECT_EQ(stored.ExecAddress(), 0x12A0);
            const auto mzt = Export(disk, 1, kMzt);
            ASSERT_EQ(mzt.size(), bytes.size());
            EXPECT_TRUE(std::equal(mzt.begin() + 128, mzt.end(), bytes.begin() + 128));

            // With the header's 17 name bytes kept as they are, the file comes back unchanged.
            auto verbatim = header->ToDirEntry();
            DiskImage exact;
            exact.Format(type);
            ASSERT_EQ(ImportFile(exact, path.string().c_str(), verbatim.data(), 0, 1), 0);
            EXPECT_EQ(Export(exact, 1, kMzt), bytes);
        }
    }
}
