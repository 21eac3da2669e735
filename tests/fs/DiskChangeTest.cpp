#include <gtest/gtest.h>

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

// A step holds what changed, not a copy of the disk, and applies only in the state it needs.
// (Each kind of change is taken back and made again through the desktop program's menu.)
TEST(DiskChangeTest, KeepsOnlyTheChangedSectorsAndHeader) {
    DiskImage disk;
    disk.Format(0);
    DiskChange change(disk);
    // Its entry, the bitmap and one 512-byte cluster of body; the header's name.
    ASSERT_EQ(testdisk::PutFile(disk, "NEW", testdisk::Pattern(300), 1), 0);
    disk.SetDiskName("GAME");
    const State after = StateOf(disk);
    ASSERT_EQ(change.Record(disk), DiskChange::Outcome::Recorded);
    EXPECT_EQ(change.SectorCount(), 4u);
    EXPECT_LT(change.Bytes(), 2 * 4 * kSectorBytes + 256);
    ASSERT_TRUE(change.Undo(disk));
    EXPECT_EQ(disk.GetDiskName(), "");
    // Twice in the same direction: the disk is no longer in the state the step needs.
    EXPECT_FALSE(change.Undo(disk));
    ASSERT_TRUE(change.Redo(disk));
    EXPECT_EQ(StateOf(disk), after);

    DiskChange nothing(disk);
    EXPECT_EQ(nothing.Record(disk), DiskChange::Outcome::Nothing);
    EXPECT_FALSE(nothing.Undo(disk));
}

// An edit that bypassed the history touched a sector or the header of the step: neither
// direction applies, and the disk stays as the edit left it.
TEST(DiskChangeTest, RefusesADiskInAnotherState) {
    for (const bool header : {false, true}) {
        SCOPED_TRACE(header ? "header" : "sector");
        DiskImage disk;
        disk.Format(0);
        DiskChange change(disk);
        ASSERT_EQ(testdisk::PutFile(disk, "A", testdisk::Pattern(40), 1), 0);
        disk.SetWriteProtected(true);
        ASSERT_EQ(change.Record(disk), DiskChange::Outcome::Recorded);

        if (header)
            disk.SetDiskName("OTHER");
        else
            testdisk::Poke(disk, EntryOffset(kRootDirSector, 1) + 2, {'B'});
        const State edited = StateOf(disk);
        EXPECT_FALSE(change.Undo(disk));
        EXPECT_FALSE(change.Redo(disk));
        EXPECT_EQ(StateOf(disk), edited);
    }
}

TEST(DiskChangeTest, AnotherImageSizeCannotBeRecorded) {
    DiskImage disk;
    disk.Format(0);
    DiskChange change(disk);
    disk.Format(3); // 35 cylinders in place of 80
    EXPECT_EQ(change.Record(disk), DiskChange::Outcome::Unrecordable);
}

} // namespace
