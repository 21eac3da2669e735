#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fs/EntryEdit.h"
#include "fs/FsCheck.h"
#include "fs/ResultCodes.h"
#include "image/DiskImage.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::EntryAt;
using testdisk::FindEntry;
using testdisk::Pattern;
using testdisk::PutFile;
using testdisk::Snapshot;

namespace {

// ABC (OBJ), XYZ (BTX, protected), CHAIN (BSD), INDEX (BRD) and OLD deleted again.
struct EditDisk {
    DiskImage disk;
    int abc = -1;
    int xyz = -1;
    int deleted = -1; // OLD's entry, free again

    EditDisk() {
        disk.Format(1);
        EXPECT_EQ(PutFile(disk, "ABC", Pattern(300, 1), 1), 0);
        DirEntry::Bytes32 entry = AddFileEntry::Build("XYZ", 2, true, 0, 10, 0x1200, 0x1300);
        const auto data = Pattern(10, 2);
        EXPECT_EQ(disk.ImportFromBuffer(data.data(), data.size(), entry.data(), 1, 2), 0);
        EXPECT_EQ(PutFile(disk, "CHAIN", Pattern(600, 3), 3), 0);
        EXPECT_EQ(PutFile(disk, "INDEX", Pattern(5000, 4), 4), 0);
        EXPECT_EQ(PutFile(disk, "OLD", Pattern(20, 5), 1), 0);
        deleted = FindEntry(disk, "OLD");
        EXPECT_EQ(disk.RemoveFile(deleted), 0);
        abc = FindEntry(disk, "ABC");
        xyz = FindEntry(disk, "XYZ");
    }
};

void ExpectCheckClean(const DiskImage& disk) {
    const FsCheckReport report = CheckFileSystem(disk);
    EXPECT_TRUE(report.findings.empty()) << report.Summary();
}

// The name field as the add-file command stores it: bytes, then 0x0D, then zeros.
DirEntry::NameBytes Field(const std::string& sjis) {
    DirEntry::NameBytes field{};
    std::copy(sjis.begin(), sjis.end(), field.begin());
    field[sjis.size()] = 0x0D;
    return field;
}

} // namespace

TEST(RenameEntry, NameRulesOfTheAddFileCommand) {
    struct Case {
        const char* label;
        std::string newName; // UTF-8
        RenameResult result;
        std::string stored; // Shift-JIS, when renamed
    };
    const Case cases[] = {
        {"new name", "NEW", RenameResult::Ok, "NEW"},
        {"a prefix of a name present", "AB", RenameResult::Ok, "AB"},
        {"its own name", "ABC", RenameResult::Ok, "ABC"},
        {"a deleted file's name", "OLD", RenameResult::Ok, "OLD"},
        {"cut at 16 bytes", "ABCDEFGHIJKLMNOPQRST", RenameResult::Ok, "ABCDEFGHIJKLMNOP"},
        {"cut before a split character", "Aあいうえおかきく", RenameResult::Ok,
         "A\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab"},
        {"another file's name", "XYZ", RenameResult::NameTaken, ""},
        {"empty", "", RenameResult::NameEmpty, ""},
        {"only a CR", "\r", RenameResult::NameEmpty, ""},
        {"not CP932", "A\xF0\x9F\x98\x80", RenameResult::NameNotEncodable, ""},
        {"not UTF-8", "A\xFF", RenameResult::NameNotEncodable, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EditDisk d;
        const auto before = Snapshot(d.disk);
        const DirEntry old = EntryAt(d.disk, d.abc);
        EXPECT_EQ(d.disk.RenameEntry(d.abc, c.newName, false), ToInt(c.result));
        if (c.result != RenameResult::Ok) {
            EXPECT_EQ(Snapshot(d.disk), before);
            continue;
        }
        DirEntry expected = old;
        expected.SetNameField(Field(c.stored));
        EXPECT_EQ(EntryAt(d.disk, d.abc), expected);
        ExpectCheckClean(d.disk);
    }
}

TEST(RenameEntry, NoFileOrAReadOnlyDirectoryChangesNothing) {
    EditDisk d;
    // A sub-directory over the boot area, bitmap and root: listed, never written.
    testdisk::PutEntry(d.disk, kRootDirSector, 40,
                       testdisk::MakeEntry({.mode = 0x0F, .name = "LOW", .start = 8}));
    testdisk::PutEntry(d.disk, 8, 0, testdisk::MakeEntry({.mode = 0x01, .name = "F"}));
    const auto before = Snapshot(d.disk);
    for (int index : {d.deleted, -1, 64}) {
        EXPECT_EQ(d.disk.RenameEntry(index, "N", true), ToInt(RenameResult::NoEntry));
        EXPECT_EQ(d.disk.EditEntryInfo(index, {.loadAddress = 1}), ToInt(EditInfoResult::NoEntry));
    }
    d.disk.SetCurrentDir(8);
    EXPECT_EQ(d.disk.RenameEntry(0, "N", true), ToInt(RenameResult::ReadOnlyDirectory));
    EXPECT_EQ(d.disk.EditEntryInfo(0, {.loadAddress = 1}),
              ToInt(EditInfoResult::ReadOnlyDirectory));
    EXPECT_EQ(Snapshot(d.disk), before);
}

TEST(ProtectedFile, DeletionAndRenamingNeedForce) {
    struct Case {
        const char* label;
        bool protectedFile;
        bool force;
        bool done;
    };
    const Case cases[] = {
        {"protected", true, false, false},
        {"protected, forced", true, true, true},
        {"unprotected", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const bool rename : {false, true}) {
            SCOPED_TRACE(rename ? "rename" : "remove");
            EditDisk d;
            const int index = c.protectedFile ? d.xyz : d.abc;
            const auto before = Snapshot(d.disk);
            const int result = rename ? d.disk.RenameEntry(index, "NEW", c.force)
                                      : RemoveUnlessProtected(d.disk, index, c.force);
            if (!c.done) {
                EXPECT_EQ(result,
                          rename ? ToInt(RenameResult::Protected) : ToInt(RemoveResult::Protected));
                EXPECT_EQ(Snapshot(d.disk), before);
                continue;
            }
            EXPECT_EQ(result, 0);
            EXPECT_EQ(FindEntry(d.disk, "NEW") == index, rename);
            EXPECT_EQ(EntryAt(d.disk, index).IsFree(), !rename);
            ExpectCheckClean(d.disk);
        }
    }
}

TEST(EditEntryInfo, ChangesOnlyTheFieldsNamed) {
    struct Case {
        const char* label;
        bool onProtected;
        EntryInfoChanges changes;
        std::uint8_t attribute;
        std::uint16_t load;
        std::uint16_t exec;
        std::uint32_t date;
        std::uint8_t mode;
    };
    // ABC: OBJ, attribute 0x00, load and exec 0x1200. XYZ: BTX, 0x80, 0x1200 and 0x1300.
    const Case cases[] = {
        {"nothing", false, {}, 0x00, 0x1200, 0x1200, 0, 0x01},
        {"protect", false, {.protect = true}, 0x80, 0x1200, 0x1200, 0, 0x01},
        {"unprotect a protected file", true, {.protect = false}, 0x00, 0x1200, 0x1300, 0, 0x02},
        {"addresses",
         false,
         {.loadAddress = 0x8000, .execAddress = 0xFFFF},
         0x00,
         0x8000,
         0xFFFF,
         0,
         0x01},
        {"date", false, {.date = 0x306F63C0}, 0x00, 0x1200, 0x1200, 0x306F63C0, 0x01},
        {"OBJ to BTX", false, {.mode = 0x02}, 0x00, 0x1200, 0x1200, 0, 0x02},
        {"BTX to OBJ on a protected file", true, {.mode = 0x01}, 0x80, 0x1200, 0x1300, 0, 0x01},
        {"everything",
         true,
         {.protect = false, .loadAddress = 1, .execAddress = 2, .date = 3, .mode = 0x01},
         0x00,
         1,
         2,
         3,
         0x01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EditDisk d;
        const int index = c.onProtected ? d.xyz : d.abc;
        DirEntry expected = EntryAt(d.disk, index);
        EXPECT_EQ(d.disk.EditEntryInfo(index, c.changes), ToInt(EditInfoResult::Ok));
        expected.SetAttribute(c.attribute);
        expected.SetLoadAddress(c.load);
        expected.SetExecAddress(c.exec);
        expected.SetDate(c.date);
        expected.SetMode(c.mode);
        EXPECT_EQ(EntryAt(d.disk, index), expected);
        ExpectCheckClean(d.disk);
    }
}

TEST(EditEntryInfo, ProtectKeepsTheOtherAttributeBits) {
    EditDisk d;
    testdisk::Poke(d.disk, EntryOffset(kRootDirSector, d.abc) + 18, {0x41});
    ASSERT_EQ(d.disk.EditEntryInfo(d.abc, {.protect = true}), 0);
    EXPECT_EQ(EntryAt(d.disk, d.abc).Attribute(), 0xC1);
    ASSERT_EQ(d.disk.EditEntryInfo(d.abc, {.protect = false}), 0);
    EXPECT_EQ(EntryAt(d.disk, d.abc).Attribute(), 0x41);
}

TEST(EditEntryInfo, ModeChangesOnlyWithinTheBodyLayout) {
    struct Case {
        std::uint8_t from;
        std::uint8_t to;
        bool allowed;
    };
    const Case cases[] = {
        {0x01, 0x02, true},  {0x02, 0x01, true},  {0x01, 0x01, true},  {0x03, 0x03, true},
        {0x0A, 0x01, true},  {0x06, 0x02, true},  {0x03, 0x04, false}, {0x04, 0x03, false},
        {0x01, 0x03, false}, {0x04, 0x01, false}, {0x01, 0x05, false}, {0x01, 0x00, false},
        {0x01, 0x0F, false}, {0x0F, 0x01, false}, {0x80, 0x01, false}, {0x82, 0x02, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModeChangeAllowed(c.from, c.to), c.allowed)
            << std::hex << int{c.from} << " -> " << int{c.to};

    // Through the operation: a refused change leaves the image as it was, whatever else the
    // changes name.
    for (const char* name : {"CHAIN", "INDEX"}) {
        EditDisk d;
        const int index = FindEntry(d.disk, name);
        const std::uint8_t other = EntryAt(d.disk, index).Mode() == 0x03 ? 0x04 : 0x03;
        const auto before = Snapshot(d.disk);
        EXPECT_EQ(d.disk.EditEntryInfo(index, {.loadAddress = 5, .mode = other}),
                  ToInt(EditInfoResult::ModeKind))
            << name;
        EXPECT_EQ(Snapshot(d.disk), before);
    }
}

TEST(ParseEntryDate, TenDigitsPackedFromTheTopBit) {
    struct Case {
        const char* text;
        bool ok;
        std::uint32_t word;
    };
    const Case cases[] = {
        {"2403151230", true, 0x306F63C0}, // 24<<25 | 3<<21 | 15<<16 | 12<<11 | 30<<5
        {"9912312359", true, 0xC79FBF60},
        {"0001010000", true, 0x00210000},
        {"2413011200", false, 0},
        {"2400011200", false, 0},
        {"2401001200", false, 0},
        {"2401322400", false, 0},
        {"2401012400", false, 0},
        {"2401011260", false, 0},
        {"240101120", false, 0},
        {"24010112000", false, 0},
        {"24O1011200", false, 0},
        {"+401011200", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto word = ParseEntryDate(c.text);
        ASSERT_EQ(word.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(*word, c.word);
        }
    }
}
