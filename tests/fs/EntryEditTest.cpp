#include <gtest/gtest.h>

#include <string>

#include "fs/EntryEdit.h"
#include "fs/FsCheck.h"
#include "fs/ResultCodes.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::EntryAt;
using testdisk::FindEntry;
using testdisk::Pattern;
using testdisk::PutFile;
using testdisk::Snapshot;

namespace {

// ABC (OBJ, attribute 0x01), XYZ (BTX, protected), CHAIN (BSD), INDEX (BRD).
// Load and exec addresses are 0x1200.
struct EditDisk {
    DiskImage disk;
    EditDisk() {
        disk.Format(1);
        EXPECT_EQ(PutFile(disk, "ABC", Pattern(300, 1), 1), 0);
        EXPECT_EQ(PutFile(disk, "XYZ", Pattern(10, 2), 2), 0);
        EXPECT_EQ(PutFile(disk, "CHAIN", Pattern(600, 3), 3), 0);
        EXPECT_EQ(PutFile(disk, "INDEX", Pattern(5000, 4), 4), 0);
        testdisk::Poke(disk, EntryOffset(kRootDirSector, FindEntry(disk, "ABC")) + 18, {0x01});
        testdisk::Poke(disk, EntryOffset(kRootDirSector, FindEntry(disk, "XYZ")) + 18, {0x80});
    }
};

// Runs one edit on the file's entry of a fresh disk: a refusal leaves the image as it was;
// success leaves the entry as `change` makes it from the old one, and a clean check.
template <typename Edit, typename Change>
void ExpectEdit(const char* file, int want, Edit edit, Change change) {
    EditDisk d;
    const int index = FindEntry(d.disk, file);
    const auto before = Snapshot(d.disk);
    DirEntry expected = EntryAt(d.disk, index);
    ASSERT_EQ(edit(d.disk, index), want);
    if (want != 0) {
        EXPECT_EQ(Snapshot(d.disk), before);
        return;
    }
    change(expected);
    EXPECT_EQ(EntryAt(d.disk, index), expected);
    const FsCheckReport report = CheckFileSystem(d.disk);
    EXPECT_TRUE(report.findings.empty()) << report.Summary();
}

} // namespace

// The cut at 16 bytes and the name test are the add-file command's own, tested with it.
TEST(RenameEntry, NameRulesOfTheAddFileCommandAndProtection) {
    struct Case {
        const char* file;
        std::string newName; // UTF-8
        bool force;
        RenameResult result;
        std::string stored; // Shift-JIS, when renamed
    };
    const Case cases[] = {
        {"ABC", "ABC", false, RenameResult::Ok, "ABC"}, // its own name
        {"ABC", "XYZ", true, RenameResult::NameTaken, ""},
        {"ABC", "", false, RenameResult::NameEmpty, ""},
        {"ABC", "A\xF0\x9F\x98\x80", false, RenameResult::NameNotEncodable, ""},
        {"XYZ", "NEW", false, RenameResult::Protected, ""},
        {"XYZ", "NEW", true, RenameResult::Ok, "NEW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newName);
        ExpectEdit(
            c.file, ToInt(c.result),
            [&](DiskImage& disk, int index) { return disk.RenameEntry(index, c.newName, c.force); },
            [&](DirEntry& e) {
                DirEntry::NameBytes field{};
                std::copy(c.stored.begin(), c.stored.end(), field.begin());
                field[c.stored.size()] = 0x0D;
                e.SetNameField(field);
            });
    }
}

TEST(EditEntryInfo, ChangesWhatItNamesWithinTheBodyLayout) {
    struct Case {
        const char* file;
        EntryInfoChanges changes;
        EditInfoResult result;
        std::uint8_t attribute = 0, mode = 0; // afterwards, when changed
        std::uint16_t load = 0, exec = 0;
        std::uint32_t date = 0;
    };
    using R = EditInfoResult;
    const Case cases[] = {
        {"ABC", {}, R::Ok, 0x01, 1, 0x1200, 0x1200, 0},
        {"ABC", {.protect = true}, R::Ok, 0x81, 1, 0x1200, 0x1200, 0},
        {"XYZ", {.protect = false}, R::Ok, 0x00, 2, 0x1200, 0x1200, 0},
        {"ABC", {.loadAddress = 8, .execAddress = 9, .date = 7}, R::Ok, 0x01, 1, 8, 9, 7},
        {"ABC", {.mode = 2}, R::Ok, 0x01, 2, 0x1200, 0x1200, 0},
        {"XYZ", {.mode = 1}, R::Ok, 0x80, 1, 0x1200, 0x1200, 0}, // protection allows it
        {"CHAIN", {.loadAddress = 5, .mode = 4}, R::ModeKind},
        {"INDEX", {.mode = 3}, R::ModeKind},
        {"ABC", {.mode = 5}, R::ModeKind}, // RB: no mode the add-file command stores
        {"ABC", {.mode = 0}, R::ModeKind},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " mode " << int{c.changes.mode.value_or(9)});
        ExpectEdit(
            c.file, ToInt(c.result),
            [&](DiskImage& disk, int index) { return disk.EditEntryInfo(index, c.changes); },
            [&](DirEntry& e) {
                e.SetAttribute(c.attribute);
                e.SetMode(c.mode);
                e.SetLoadAddress(c.load);
                e.SetExecAddress(c.exec);
                e.SetDate(c.date);
            });
    }
}

TEST(EntryEdit, NoFileOrAReadOnlyDirectoryChangesNothing) {
    EditDisk d;
    // A sub-directory over the boot area, bitmap and root: listed, never written.
    testdisk::PutEntry(d.disk, kRootDirSector, 40,
                       testdisk::MakeEntry({.mode = 0x0F, .name = "LOW", .start = 8}));
    testdisk::PutEntry(d.disk, 8, 0, testdisk::MakeEntry({.mode = 0x01, .name = "F"}));
    const auto before = Snapshot(d.disk);
    for (int index : {39, -1, 64}) { // 39 is free
        EXPECT_EQ(d.disk.RenameEntry(index, "N", true), ToInt(RenameResult::NoEntry));
        EXPECT_EQ(d.disk.EditEntryInfo(index, {.date = 1}), ToInt(EditInfoResult::NoEntry));
    }
    d.disk.SetCurrentDir(8);
    EXPECT_EQ(d.disk.RenameEntry(0, "N", true), ToInt(RenameResult::ReadOnlyDirectory));
    EXPECT_EQ(d.disk.EditEntryInfo(0, {.date = 1}), ToInt(EditInfoResult::ReadOnlyDirectory));
    EXPECT_EQ(Snapshot(d.disk), before);
}

TEST(ParseEntryDate, TenDigitsPackedFromTheTopBit) {
    EXPECT_EQ(ParseEntryDate("9912312359"), 0xC79FBF60u); // 99<<25|12<<21|31<<16|23<<11|59<<5
    for (const char* bad : {"2400011200", "2401322400", "2401012400", "2401011260", "240101120",
                            "24010112000", "24O1011200", ""})
        EXPECT_FALSE(ParseEntryDate(bad)) << bad;
}
