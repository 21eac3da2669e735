#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>

#include "fs/DirEntry.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::FlatDisk;
using testdisk::MakeEntry;

namespace {

DirEntry::Bytes32 Numbered() {
    DirEntry::Bytes32 bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(0xA0 + i);
    return bytes;
}

DirEntry::NameBytes Field(const std::string& bytes) {
    DirEntry::NameBytes field{};
    for (std::size_t i = 0; i < bytes.size() && i < field.size(); ++i)
        field[i] = static_cast<unsigned char>(bytes[i]);
    return field;
}

TEST(DirEntryFields, ReadAtTheirOffsetsLittleEndian) {
    const DirEntry::Bytes32 bytes = Numbered();
    const DirEntry entry(bytes.data());
    EXPECT_EQ(entry.Mode(), 0xA0);
    EXPECT_EQ(entry.NameField()[0], 0xA1);
    EXPECT_EQ(entry.NameField()[16], 0xB1);
    EXPECT_EQ(entry.Attribute(), 0xB2);
    EXPECT_EQ(entry.Reserved(), 0xB3);
    EXPECT_EQ(entry.Size(), 0xB5B4);
    EXPECT_EQ(entry.LoadAddress(), 0xB7B6);
    EXPECT_EQ(entry.ExecAddress(), 0xB9B8);
    EXPECT_EQ(entry.Date(), 0xBDBCBBBAu);
    EXPECT_EQ(entry.StartSector(), 0xBFBE);
    EXPECT_EQ(entry.Bytes(), bytes);
}

TEST(DirEntryFields, SettersWriteOnlyTheirBytes) {
    struct Case {
        const char* name;
        void (*set)(DirEntry&);
        std::size_t offset;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {"mode", [](DirEntry& e) { e.SetMode(0x04); }, 0, {0x04}},
        {"attribute", [](DirEntry& e) { e.SetAttribute(0x80); }, 18, {0x80}},
        {"reserved", [](DirEntry& e) { e.SetReserved(0x00); }, 19, {0x00}},
        {"size", [](DirEntry& e) { e.SetSize(0x1234); }, 20, {0x34, 0x12}},
        {"load", [](DirEntry& e) { e.SetLoadAddress(0xABCD); }, 22, {0xCD, 0xAB}},
        {"exec", [](DirEntry& e) { e.SetExecAddress(0x0102); }, 24, {0x02, 0x01}},
        {"date", [](DirEntry& e) { e.SetDate(0x12345678); }, 26, {0x78, 0x56, 0x34, 0x12}},
        {"start", [](DirEntry& e) { e.SetStartSector(0x0030); }, 30, {0x30, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirEntry entry(Numbered());
        c.set(entry);
        DirEntry::Bytes32 expected = Numbered();
        for (std::size_t i = 0; i < c.bytes.size(); ++i)
            expected[c.offset + i] = c.bytes[i];
        EXPECT_EQ(entry.Bytes(), expected);
    }
}

TEST(DirEntryFields, DefaultIsAFreeZeroEntry) {
    const DirEntry entry;
    EXPECT_TRUE(entry.IsFree());
    for (unsigned char b : entry.Bytes())
        EXPECT_EQ(b, 0);
    EXPECT_FALSE(DirEntry(Numbered()).IsFree());
}

TEST(DirEntryName, TextRule) {
    struct Case {
        const char* name;
        std::string field; // up to 17 bytes, zero-padded
        std::string text;
    };
    const Case cases[] = {
        {"ABC then 0x0D and zeros", std::string("ABC\x0D", 4), "ABC"},
        {"seventeen bytes", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPQ"},
        {"0x0D first", std::string(17, '\x0D'), ""},
        {"0x00 first", std::string(17, '\0'), ""},
        {"0x0D in the middle",
         std::string("AB\x0D"
                     "CD\x0D",
                     6),
         "AB"},
        {"0x00 in the middle", std::string("AB\0CD", 5), "AB"},
        {"formatted blank fill",
         std::string("X\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D\x0D"
                     "\x0D\x0D\x0D\x0D",
                     17),
         "X"},
        {"Shift-JIS with 0x5C trail", "\x95\x5C\x83\x93\x0D", "\x95\x5C\x83\x93"},
        {"sixteen then 0x0D", "ABCDEFGHIJKLMNOP\x0D", "ABCDEFGHIJKLMNOP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirEntry entry;
        entry.SetNameField(Field(c.field));
        EXPECT_EQ(entry.NameText(), c.text);
        const DirEntry::NameBytes field = Field(c.field);
        EXPECT_EQ(NameFieldText(field.data()), c.text);
    }
}

TEST(DirEntryName, NeverReadsPastTheField) {
    // Byte 18 (the attribute) follows the name; a full 17-byte name must stop before it.
    DirEntry entry;
    entry.SetNameField(Field("ABCDEFGHIJKLMNOPQ"));
    entry.SetAttribute('Z');
    EXPECT_EQ(entry.NameText(), "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(NameFieldText(nullptr), "");
}

TEST(DirEntryName, SetNameTextStoresNameThenCrThenZeros) {
    struct Case {
        std::string name;
        std::string field; // all 17 bytes
    };
    const Case cases[] = {
        {"PROG", std::string("PROG\x0D", 5) + std::string(12, '\0')},
        {"", std::string("\x0D", 1) + std::string(16, '\0')},
        {"ABCDEFGHIJKLMNOP", std::string("ABCDEFGHIJKLMNOP\x0D", 17)},
        {"ABCDEFGHIJKLMNOPQRS", std::string("ABCDEFGHIJKLMNOP\x0D", 17)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirEntry entry(Numbered());
        entry.SetNameText(c.name);
        const DirEntry::NameBytes field = entry.NameField();
        EXPECT_EQ(std::string(field.begin(), field.end()), c.field);
        EXPECT_EQ(entry.Mode(), 0xA0);
        EXPECT_EQ(entry.Attribute(), 0xB2);
        EXPECT_EQ(entry.NameText(), c.name.substr(0, 16));
    }
}

TEST(DirectoryRead, EntriesComeFromTheirSectors) {
    FlatDisk builder = FlatDisk::Blank(64);
    builder.PutEntry(kRootDirSector, 0,
                     MakeEntry({.mode = 0x01, .name = "FIRST", .size = 10, .start = 0x30}));
    builder.PutEntry(kRootDirSector, 7, MakeEntry({.mode = 0x02, .name = "SEVEN"}));
    builder.PutEntry(kRootDirSector, 8, MakeEntry({.mode = 0x03, .name = "EIGHT"}));
    builder.PutEntry(kRootDirSector, 63, MakeEntry({.mode = 0x05, .name = "LAST"}));
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));
    const auto entries = ReadDirectory(disk, kRootDirSector);
    EXPECT_EQ(entries[0], MakeEntry({.mode = 0x01, .name = "FIRST", .size = 10, .start = 0x30}));
    EXPECT_EQ(entries[7].NameText(), "SEVEN");
    EXPECT_EQ(entries[8].NameText(), "EIGHT");
    EXPECT_EQ(entries[63].NameText(), "LAST");
    EXPECT_TRUE(entries[1].IsFree());
    // Sector 17 starts at entry 8.
    EXPECT_EQ(ReadDirectory(disk, kRootDirSector + 1)[0].NameText(), "EIGHT");
}

TEST(DirectoryRead, OutsideTheImageReadsFreeEntries) {
    FlatDisk builder = FlatDisk::Blank(64);
    for (int i = 0; i < kDirEntries; ++i)
        builder.PutEntry(56, i, MakeEntry({.mode = 0x01, .name = "X"}));
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));

    EXPECT_FALSE(ReadDirectory(disk, 56)[63].IsFree()); // sectors 56..63: the last 8
    // From sector 60 only 4 sectors lie inside: entries 0..31 read, 32..63 are zeros.
    const auto partial = ReadDirectory(disk, 60);
    EXPECT_FALSE(partial[31].IsFree());
    EXPECT_TRUE(partial[32].IsFree());
    EXPECT_EQ(partial[32], DirEntry());
    for (int sector : {64, 0xFFFF, -1, -8, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(sector);
        for (const DirEntry& e : ReadDirectory(disk, sector))
            EXPECT_EQ(e, DirEntry());
    }
}

TEST(DirectoryRead, InImageNeedsAllEightSectors) {
    FlatDisk builder = FlatDisk::Blank(64);
    DiskImage disk;
    ASSERT_TRUE(builder.LoadInto(disk));
    EXPECT_TRUE(DirectoryInImage(disk, 0));
    EXPECT_TRUE(DirectoryInImage(disk, 56));
    EXPECT_FALSE(DirectoryInImage(disk, 57));
    EXPECT_FALSE(DirectoryInImage(disk, -1));
    EXPECT_FALSE(DirectoryInImage(disk, LLONG_MAX - 2));
    DiskImage empty;
    EXPECT_FALSE(DirectoryInImage(empty, kRootDirSector));
    for (const DirEntry& e : ReadDirectory(empty, kRootDirSector))
        EXPECT_TRUE(e.IsFree());
}

} // namespace
