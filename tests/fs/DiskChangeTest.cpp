#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fs/DiskChange.h"
#include "fs/DiskImage.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

using testdisk::Bytes;
using testdisk::Snapshot;

namespace {

// The selected disk's bytes and D88 header.
struct State {
    Bytes bytes;
    std::string name;
    bool writeProtected;
    bool operator==(const State&) const = default;
};

State StateOf(const DiskImage& disk) {
    return {Snapshot(disk), disk.GetDiskName(), disk.IsWriteProtected()};
}

// Changes made with the public operations, each taken back and made again byte for byte.
TEST(DiskChangeTest, UndoAndRedoRestoreEveryByte) {
    struct Case {
        const char* name;
        std::function<void(DiskImage&)> change;
        std::size_t sectors; // changed sectors
    };
    const Case cases[] = {
        // Its entry, the bitmap and one 512-byte cluster of body.
        {"add a 300-byte file",
         [](DiskImage& d) { testdisk::PutFile(d, "NEW", testdisk::Pattern(300), 1); }, 4},
        {"delete a file", [](DiskImage& d) { d.RemoveFile(testdisk::FindEntry(d, "OLD")); }, 2},
        {"rewrite the boot sector",
         [](DiskImage& d) {
             Bytes sector(kSectorBytes, 0x5A);
             d.WriteSector(sector.data(), kIplSector);
         },
         1},
        // The D88 header only: no sector at all.
        {"name and write-protect the disk",
         [](DiskImage& d) {
             d.SetDiskName("GAME \x83\x51");
             d.SetWriteProtected(true);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiskImage disk;
        disk.Format(0);
        disk.SetDiskName("OLD NAME");
        ASSERT_EQ(testdisk::PutFile(disk, "OLD", testdisk::Pattern(700, 3), 1), 0);
        const State before = StateOf(disk);

        DiskChange change(disk);
        c.change(disk);
        const State after = StateOf(disk);
        ASSERT_EQ(change.Record(disk), DiskChange::Outcome::Recorded);
        EXPECT_EQ(change.SectorCount(), c.sectors);
        // The difference, not a copy of the disk.
        EXPECT_LT(change.Bytes(), 2 * c.sectors * kSectorBytes + 256);

        ASSERT_TRUE(change.Undo(disk));
        EXPECT_EQ(StateOf(disk), before);
        ASSERT_TRUE(change.Redo(disk));
        EXPECT_EQ(StateOf(disk), after);
        // Twice in the same direction: the disk is no longer in the state the step needs.
        EXPECT_FALSE(change.Redo(disk));
        EXPECT_EQ(StateOf(disk), after);
    }
}

TEST(DiskChangeTest, NothingChangedIsNothingToKeep) {
    DiskImage disk;
    disk.Format(3);
    DiskChange change(disk);
    EXPECT_EQ(change.Record(disk), DiskChange::Outcome::Nothing);
    EXPECT_EQ(change.SectorCount(), 0u);
    const Bytes before = Snapshot(disk);
    EXPECT_FALSE(change.Undo(disk));
    EXPECT_EQ(Snapshot(disk), before);
}

// An edit that bypassed the history touched a sector of the step: neither direction applies,
// and the disk stays as the edit left it.
TEST(DiskChangeTest, RefusesADiskInAnotherState) {
    DiskImage disk;
    disk.Format(0);
    const int dir = disk.GetCurrentDir();
    DiskChange change(disk);
    ASSERT_EQ(testdisk::PutFile(disk, "A", testdisk::Pattern(40), 1), 0);
    ASSERT_EQ(change.Record(disk), DiskChange::Outcome::Recorded);
    EXPECT_EQ(change.Directory(), dir);

    testdisk::Poke(disk, EntryOffset(kRootDirSector, 1) + 2, {'B'});
    const Bytes edited = Snapshot(disk);
    EXPECT_FALSE(change.Undo(disk));
    EXPECT_FALSE(change.Redo(disk));
    EXPECT_EQ(Snapshot(disk), edited);
}

// A step goes back to its own disk of the file, whichever is selected, and leaves the others.
TEST(DiskChangeTest, TakesBackTheDiskItWasMadeOn) {
    DiskImage disk;
    disk.Format(0);
    ASSERT_EQ(disk.AddDisk(0), 0);
    ASSERT_EQ(disk.SelectDisk(1), 0);
    const State before = StateOf(disk);
    DiskChange change(disk);
    ASSERT_EQ(testdisk::PutFile(disk, "B", testdisk::Pattern(40), 1), 0);
    ASSERT_EQ(change.Record(disk), DiskChange::Outcome::Recorded);

    ASSERT_EQ(disk.SelectDisk(0), 0);
    const State first = StateOf(disk);
    ASSERT_TRUE(change.Undo(disk));
    EXPECT_EQ(disk.GetSelectedDisk(), 1);
    EXPECT_EQ(StateOf(disk), before);
    ASSERT_EQ(disk.SelectDisk(0), 0);
    EXPECT_EQ(StateOf(disk), first);
}

TEST(DiskChangeTest, AnotherImageSizeCannotBeRecorded) {
    DiskImage disk;
    disk.Format(0);
    DiskChange change(disk);
    disk.Format(3); // 35 cylinders in place of 80
    EXPECT_EQ(change.Record(disk), DiskChange::Outcome::Unrecordable);
}

} // namespace
