#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

#include "fs/DiskImage.h"
#include "fs/ListRow.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::FlatDisk;
using testdisk::MakeEntry;

namespace {

using Columns = std::array<std::string, kListColumns>;

DirEntry Full(std::uint8_t mode, const std::string& name, std::uint8_t attribute,
              std::uint16_t size, std::uint16_t load, std::uint16_t exec, std::uint32_t date,
              std::uint16_t start) {
    DirEntry entry = MakeEntry({.mode = mode,
                                .name = name,
                                .size = static_cast<std::uint16_t>(size),
                                .start = static_cast<std::uint16_t>(start)});
    entry.SetAttribute(attribute);
    entry.SetLoadAddress(load);
    entry.SetExecAddress(exec);
    entry.SetDate(date);
    return entry;
}

TEST(ListColumns, EntryTexts) {
    struct Case {
        const char* name;
        DirEntry entry;
        Columns columns;
    };
    const Case cases[] = {
        {"OBJ",
         Full(0x01, "GAME", 0x00, 0x1234, 0x1200, 0x1203, 0, 0x0030),
         {"GAME", "OBJ  ", "00", "   4660", "1200", "1203", "00000000", "0030"}},
        {"SWAP listed",
         Full(0x81, "SW", 0x01, 1, 0, 0, 0, 0x0100),
         {"SW", "SWAP ", "01", "      1", "0000", "0000", "00000000", "0100"}},
        {"mode 0x06 has no mode text",
         Full(0x06, "SIX", 0x80, 256, 0xABCD, 0xEF01, 0x0A0B0C0D, 0x04D2),
         {"SIX", "", "80", "    256", "ABCD", "EF01", "0A0B0C0D", "04D2"}},
        {"BRD 0x0080 records",
         Full(0x04, "R", 0, 0x0080, 0, 0, 0, 0x40),
         {"R", "BRD  ", "00", "   4096", "0000", "0000", "00000000", "0040"}},
        {"BRD 0x0010 records",
         Full(0x04, "R", 0, 0x0010, 0, 0, 0, 0x40),
         {"R", "BRD  ", "00", "    512", "0000", "0000", "00000000", "0040"}},
        {"BRD largest",
         Full(0x04, "R", 0, 0xFFFF, 0, 0, 0, 0),
         {"R", "BRD  ", "00", "2097120", "0000", "0000", "00000000", "0000"}},
        {"BSD size not scaled",
         Full(0x03, "TXT", 0xFF, 0x0010, 0, 0, 0, 0xFFFF),
         {"TXT", "BSD  ", "FF", "     16", "0000", "0000", "00000000", "FFFF"}},
        {"largest contiguous",
         Full(0x02, "B", 0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFF),
         {"B", "BTX  ", "00", "  65535", "FFFF", "FFFF", "FFFFFFFF", "FFFF"}},
        {"upper-case hex",
         Full(0x05, "H", 0xab, 0, 0xbeef, 0xcafe, 0xdeadbeef, 0xface),
         {"H", "RB   ", "AB", "      0", "BEEF", "CAFE", "DEADBEEF", "FACE"}},
        {"Shift-JIS name bytes kept raw",
         Full(0x01, "\x95\x5C\xB1", 0, 0, 0, 0, 0, 0),
         {"\x95\x5C\xB1", "OBJ  ", "00", "      0", "0000", "0000", "00000000", "0000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ListColumns(c.entry), c.columns);
    }
}

TEST(ListColumns, NameColumnFollowsTheNameRule) {
    DirEntry entry = Full(0x01, "", 0, 0, 0, 0, 0, 0);
    DirEntry::NameBytes field;
    field.fill(0x0D);
    entry.SetNameField(field);
    EXPECT_EQ(ListColumns(entry)[0], "");
    const std::string seventeen = "ABCDEFGHIJKLMNOPQ";
    std::copy(seventeen.begin(), seventeen.end(), field.begin());
    entry.SetNameField(field);
    EXPECT_EQ(ListColumns(entry)[0], seventeen);
}

TEST(ListDirectory, RowsSkipHiddenEntriesAndKeepIndices) {
    FlatDisk builder = FlatDisk(1);
    builder.PutEntry(kRootDirSector, 2,
                     MakeEntry({.mode = 0x01, .name = "PROG", .size = 100, .start = 0x30}));
    builder.PutEntry(kRootDirSector, 5,
                     MakeEntry({.mode = 0x02, .name = "TEXT", .size = 200, .start = 0x31}));
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));
    const auto rows = ListDirectory(disk, kRootDirSector);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].entryIndex, 2);
    EXPECT_EQ(rows[1].entryIndex, 5);
    EXPECT_EQ(rows[0].entry, MakeEntry({.mode = 0x01, .name = "PROG", .size = 100, .start = 0x30}));
    EXPECT_EQ(rows[0].columns, ListColumns(rows[0].entry));
    EXPECT_EQ(rows[1].columns[0], "TEXT");
    EXPECT_EQ(rows[1].columns[1], "BTX  ");
}

TEST(ListDirectory, HiddenModesNeverListed) {
    FlatDisk builder = FlatDisk::Blank(64);
    const std::uint8_t modes[] = {0x80, 0x0F, 0x82, 0x81, 0x06, 0x00, 0x01, 0xFF};
    for (int i = 0; i < 8; ++i)
        builder.PutEntry(kRootDirSector, i * 8,
                         MakeEntry({.mode = modes[i], .name = "M" + std::to_string(i)}));
    builder.PutEntry(kRootDirSector, 63, MakeEntry({.mode = 0x04, .name = "END"}));
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));
    const auto rows = ListDirectory(disk, kRootDirSector);
    struct Expected {
        int index;
        const char* name;
        const char* mode;
    };
    const Expected expected[] = {
        {24, "M3", "SWAP "}, {32, "M4", ""},       {48, "M6", "OBJ  "},
        {56, "M7", ""},      {63, "END", "BRD  "},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(rows[r].entryIndex, expected[r].index);
        EXPECT_EQ(rows[r].columns[0], expected[r].name);
        EXPECT_EQ(rows[r].columns[1], expected[r].mode);
    }
}

TEST(ListDirectory, NewDisksListNothing) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        EXPECT_TRUE(ListDirectory(disk, kRootDirSector).empty());
    }
}

TEST(ListDirectory, DirectoriesOffTheImageListNothing) {
    FlatDisk builder = FlatDisk::Blank(64);
    for (int i = 0; i < kDirEntries; ++i)
        builder.PutEntry(56, i, MakeEntry({.mode = 0x01, .name = "F"}));
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));
    EXPECT_EQ(ListDirectory(disk, 56).size(), 64u);
    // Half of it inside: the entries there are listed as the disk holds them.
    EXPECT_EQ(ListDirectory(disk, 60).size(), 32u);
    for (int sector : {64, 0xFFFF, -1, INT_MAX, INT_MIN})
        EXPECT_TRUE(ListDirectory(disk, sector).empty()) << sector;
    DiskImage empty;
    EXPECT_TRUE(ListDirectory(empty, kRootDirSector).empty());
}

} // namespace

TEST(SpaceText, UsedNeverExceedsTheTotal) {
    const std::pair<std::uint16_t, const char*> kCases[] = {
        {48, "24576/655360"}, {1280, "655360/655360"}, {65535, "655360/655360"}};
    for (const auto& [used, text] : kCases) {
        DiskImage disk;
        disk.Format(0);
        testdisk::PokeU16(disk, kBitmapOffset + kBitmapUsedClusters, used);
        EXPECT_EQ(SpaceText(disk), text) << used; // not 33553920/655360
    }
    // A foreign bitmap: 65,535 clusters of 256 sectors each, more bytes than an int holds.
    DiskImage formatted;
    formatted.Format(0);
    const unsigned char header[] = {0xFF, 0xFF, 0xFF, 0xFF};
    testdisk::WritableImage(formatted).write(kBitmapOffset + kBitmapUsedClusters, header, 4);
    testdisk::WritableImage(formatted).write(kBitmapOffset + kBitmapClusterShift, header, 1);
    std::vector<unsigned char> d88(static_cast<std::size_t>(formatted.GetSavedSize(0)));
    formatted.Save(d88.data(), 0);
    DiskImage disk;
    ASSERT_EQ(disk.Load(d88.data(), d88.size(), 0), 0);
    EXPECT_EQ(SpaceText(disk), "4294901760/4294901760");
}

// The used figure counts the reserved area, as the machine does: a new disk is not empty of
// used space, and a small file adds its one cluster to it.
TEST(SpaceText, UsedSpaceKeepsTheReservedArea) {
    DiskImage disk;
    disk.Format(2);
    EXPECT_EQ(SpaceText(disk), "12288/286720");
    ASSERT_EQ(testdisk::PutFile(disk, "SMALL", testdisk::Pattern(28), 1), 0);
    EXPECT_EQ(SpaceText(disk), "12544/286720");
    ASSERT_EQ(disk.RemoveFile(testdisk::FindEntry(disk, "SMALL")), 0);
    EXPECT_EQ(SpaceText(disk), "12288/286720");
    EXPECT_EQ(SpaceText(DiskImage()), "0/0");
}
