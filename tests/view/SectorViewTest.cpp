#include <gtest/gtest.h>

#include <vector>

#include "TestUtil.h"
#include "image/DiskImage.h"
#include "view/SectorView.h"

using testutil::D88Builder;
using testutil::SectorRecord;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kD88Header = 0x2B0;
constexpr std::size_t kRecordBytes = 16 + kSectorBytes;
constexpr std::size_t kTrackBytes = 16 * kRecordBytes;

void LoadD88(DiskImage& disk, const Bytes& file) {
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
}

// Where a file laid out the standard way (head 0 first, R 1..16, N = 1) holds a sector.
std::size_t RecordOffset(int cylinder, int head, int record) {
    return kD88Header + static_cast<std::size_t>(2 * cylinder + head) * kTrackBytes +
           static_cast<std::size_t>(record - 1) * kRecordBytes;
}

TEST(SectorViewTest, AddressesByCylinderHeadAndRecord) {
    DiskImage disk;
    disk.Format(3); // 35 cylinders
    struct Case {
        int cylinder, head, record, sector;
    };
    const Case cases[] = {
        {0, 1, 1, 0},  {0, 1, 16, 15}, {0, 0, 1, 16},  {2, 0, 16, 95}, {34, 0, 16, 1119},
        {0, 2, 1, -1}, {0, 0, 0, -1},  {0, 0, 17, -1}, {35, 1, 1, -1}, {-1, 0, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cylinder << "/" << c.head << "/" << c.record);
        EXPECT_EQ(SectorAt(disk, c.cylinder, c.head, c.record), c.sector);
    }
    ASSERT_EQ(SectorCount(disk), 1120);
    for (int sector = 0; sector < SectorCount(disk); ++sector) {
        SectorView view;
        ASSERT_TRUE(ViewSector(disk, sector, view));
        ASSERT_EQ(SectorAt(disk, view.cylinder, view.head, view.record), sector);
    }
    SectorView untouched;
    EXPECT_FALSE(ViewSector(disk, 1120, untouched));
    EXPECT_FALSE(ViewSector(disk, -1, untouched));
    EXPECT_EQ(untouched.sector, -1);
}

// Every sector shows the record header and the data bytes exactly where the D88 file holds
// them, and the machine's bytes as their complement; the X1 disk is no MZ file system.
TEST(SectorViewTest, RealImagesShowTheirRecordsAsTheFileHoldsThem) {
    DARVEX_REQUIRE_TESTDATA();
    struct Case {
        const char* file;
        int cylinders;
        std::uint8_t density;
    };
    for (const Case c : {Case{"x1/x1-hubasic-2d.d88", 40, 0x00}, Case{"ipls/ipls-2d.d88", 35, 0x40},
                         Case{"ipls/ipls-2dd.d88", 80, 0x00}}) {
        SCOPED_TRACE(c.file);
        const Bytes file = testutil::ReadFileBytes(testutil::TestDataPath(c.file));
        DiskImage disk;
        LoadD88(disk, file);
        ASSERT_EQ(SectorCount(disk), c.cylinders * kSectorsPerCylinder);
        for (int sector = 0; sector < SectorCount(disk); ++sector) {
            SectorView view;
            ASSERT_TRUE(ViewSector(disk, sector, view));
            const std::size_t at = RecordOffset(view.cylinder, view.head, view.record);
            ASSERT_TRUE(view.headerLoaded);
            ASSERT_TRUE(
                std::equal(view.header.bytes.begin(), view.header.bytes.end(), file.begin() + at))
                << "sector " << sector;
            ASSERT_EQ(view.stored, Bytes(file.begin() + at + 16, file.begin() + at + kRecordBytes));
            for (int i = 0; i < kSectorBytes; ++i)
                ASSERT_EQ(view.machine[i], static_cast<unsigned char>(~view.stored[i]));
            ASSERT_EQ(view.header.Density(), c.density);
            ASSERT_TRUE(view.notes.empty());
        }
    }
    DiskImage x1;
    LoadD88(x1, testutil::ReadFileBytes(testutil::TestDataPath("x1/x1-hubasic-2d.d88")));
    EXPECT_FALSE(x1.IsMzFileSystem());
    SectorView view;
    ASSERT_TRUE(ViewSector(x1, SectorAt(x1, 0, 0, 1), view));
    EXPECT_EQ(view.stored.front(), 0xE5);
    EXPECT_EQ(view.machine.front(), 0x1A);
}

TEST(SectorViewTest, RecordsTheFlatImageCannotKeepAreNoted) {
    Bytes data(kSectorBytes);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i);
    auto flagged = SectorRecord(0, 1, 1, data.data());
    flagged.density = 0x40;
    flagged.status = 0xB0;
    flagged.deletedMark = 0x10;
    const Bytes file =
        D88Builder()
            .AddTrack(0,
                      {SectorRecord(0, 0, 1, data.data(), 0), SectorRecord(0, 0, 2, data.data(), 2),
                       SectorRecord(0, 0, 3, data.data()), SectorRecord(0, 0, 3, data.data())})
            .AddTrack(1, {flagged})
            .Build();
    DiskImage disk;
    LoadD88(disk, file);
    struct Case {
        int record, head;
        std::vector<ViewNoteCode> notes;
        std::size_t stored;
        bool headerLoaded;
    };
    const Case cases[] = {
        {1, 0, {ViewNoteCode::SectorShortRecord}, 128, true},
        {2, 0, {ViewNoteCode::SectorLongRecord}, 256, true},
        {3, 0, {ViewNoteCode::SectorDuplicate}, 256, true},
        {4, 0, {ViewNoteCode::SectorMissing}, 0, false},
        {1, 1, {}, 256, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "head " << c.head << " record " << c.record);
        SectorView view;
        ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, c.head, c.record), view));
        std::vector<ViewNoteCode> notes;
        for (const ViewNote& note : view.notes)
            notes.push_back(note.code);
        EXPECT_EQ(notes, c.notes);
        EXPECT_EQ(view.stored.size(), c.stored);
        EXPECT_EQ(view.headerLoaded, c.headerLoaded);
        EXPECT_EQ(view.header.Record(), c.record);
        EXPECT_EQ(view.header.Head(), c.head);
    }
    SectorView view;
    ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, 0, 2), view));
    EXPECT_EQ(view.notes[0].value, 512);
    EXPECT_EQ(view.header.SizeCode(), 2);
    ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, 1, 1), view));
    EXPECT_EQ(view.header.Density(), 0x40);
    EXPECT_EQ(view.header.DeletedMark(), 0x10);
    EXPECT_EQ(view.header.Status(), 0xB0);
}

// A new disk was read from no file: it shows the header and bytes its save writes.
TEST(SectorViewTest, NewDiskShowsWhatASaveWrites) {
    DiskImage disk;
    disk.Format(0);
    Bytes saved(static_cast<std::size_t>(disk.GetSavedSize(0)));
    ASSERT_EQ(disk.Save(saved.data(), 0), 0);
    for (const int sector : {0, 15, 16, 1000, SectorCount(disk) - 1}) {
        SCOPED_TRACE(sector);
        SectorView view;
        ASSERT_TRUE(ViewSector(disk, sector, view));
        const std::size_t at = RecordOffset(view.cylinder, view.head, view.record);
        EXPECT_FALSE(view.headerLoaded);
        EXPECT_TRUE(
            std::equal(view.header.bytes.begin(), view.header.bytes.end(), saved.begin() + at));
        EXPECT_EQ(view.stored, Bytes(saved.begin() + at + 16, saved.begin() + at + kRecordBytes));
        ASSERT_EQ(view.notes.size(), 1u);
        EXPECT_EQ(view.notes[0].code, ViewNoteCode::SectorNotLoaded);
    }
}

TEST(SectorViewTest, FirstSectorOfAFileIsItsStartSectorOnTheDisk) {
    DiskImage disk;
    disk.Format(3);
    DirEntry entry;
    entry.SetMode(0x01);
    for (const auto& [start, shown] : {std::pair{48, 48}, {1119, 1119}, {1120, -1}, {0xFFFF, -1}}) {
        entry.SetStartSector(static_cast<std::uint16_t>(start));
        EXPECT_EQ(FirstSectorOf(disk, entry), shown) << start;
    }
}

} // namespace
