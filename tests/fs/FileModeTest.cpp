#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fs/FileMode.h"
#include "fs/ListRow.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

namespace {

TEST(FileModeTable, DisplayNamesAreExactFiveCharacterTexts) {
    struct Case {
        std::uint8_t code;
        const char* display;
    };
    const Case cases[] = {
        {0x01, "OBJ  "}, {0x02, "BTX  "}, {0x03, "BSD  "}, {0x04, "BRD  "},
        {0x05, "RB   "}, {0x07, "LIB  "}, {0x0A, "SYS  "}, {0x0B, "GR   "},
        {0x0F, "DIR  "}, {0x80, "NSWAP"}, {0x81, "SWAP "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.code));
        EXPECT_EQ(FileMode::DisplayName(c.code), c.display);
        EXPECT_EQ(FileMode::DisplayName(c.code).size(), 5u);
    }
    // One more row: 0x82, hidden from the list and without a name of its own.
    EXPECT_EQ(FileMode::Table().size(), std::size(cases) + 1);
    EXPECT_TRUE(FileMode::DisplayName(0x82).empty());
}

TEST(FileModeTable, CodesWithoutARowHaveNoName) {
    std::set<int> named;
    for (const FileMode::Row& row : FileMode::Table())
        if (!row.name.empty())
            named.insert(FileMode::ToByte(row.code));
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto name = FileMode::DisplayName(static_cast<std::uint8_t>(code));
        if (named.count(code))
            EXPECT_EQ(name.size(), 5u);
        else
            EXPECT_TRUE(name.empty());
    }
    for (int code : {0x00, 0x06, 0x08, 0x0C, 0x0E, 0x10, 0x82, 0xFF})
        EXPECT_TRUE(named.count(code) == 0) << code;
}

TEST(FileModeTable, RowNamesMatchTheirDisplayNames) {
    for (const FileMode::Row& row : FileMode::Table()) {
        SCOPED_TRACE(std::string(row.name));
        if (row.name.empty())
            continue; // 0x82
        std::string padded(row.name);
        padded.resize(5, ' ');
        EXPECT_EQ(row.displayName, padded);
    }
}

TEST(FileModeList, ListingHidesFreeDirAnd80And82) {
    // Every code 0..255 as an entry of one of four directories; the listing shows the rest.
    testdisk::FlatDisk flat = testdisk::FlatDisk::Blank(16 + 4 * kDirSectors);
    for (int code = 0; code < 256; ++code)
        flat.PutEntry(kRootDirSector + (code / kDirEntries) * kDirSectors, code % kDirEntries,
                      testdisk::MakeEntry({.mode = static_cast<std::uint8_t>(code), .name = "F"}));
    DiskImage disk;
    ASSERT_TRUE(flat.LoadInto(disk));
    std::set<int> shown;
    for (int d = 0; d < 4; ++d)
        for (const ListRow& row : ListDirectory(disk, kRootDirSector + d * kDirSectors))
            shown.insert(d * kDirEntries + row.entryIndex);
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const bool hidden = code == 0x00 || code == 0x0F || code == 0x80 || code == 0x82;
        EXPECT_EQ(shown.count(code) == 0, hidden);
        EXPECT_EQ(FileMode::IsHiddenInList(static_cast<std::uint8_t>(code)), hidden);
    }
}

TEST(FileModeLayout, EveryCodeHasItsBodyLayout) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        BodyLayout expected = BodyLayout::Contiguous;
        if (code == 0x00)
            expected = BodyLayout::Free;
        else if (code == 0x03)
            expected = BodyLayout::SectorChain;
        else if (code == 0x04)
            expected = BodyLayout::BlockIndex;
        else if (code == 0x0F)
            expected = BodyLayout::SubDirectory;
        EXPECT_EQ(FileMode::BodyLayoutOf(static_cast<std::uint8_t>(code)), expected);
    }
}

TEST(FileModeCodes, EnumValuesAreTheModeBytes) {
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Obj), 0x01);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Bsd), 0x03);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Brd), 0x04);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Lib), 0x07);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Sys), 0x0A);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Gr), 0x0B);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Dir), 0x0F);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Nswap), 0x80);
    EXPECT_EQ(FileMode::ToByte(FileModeCode::Swap), 0x81);
}

} // namespace
