#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestUtil.h"
#include "fs/DiskImage.h"
#include "view/SectorView.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kRecordBytes = 16 + kSectorBytes;

// Where a file laid out the standard way (head 0 first, R 1..16, N = 1) holds a sector.
std::size_t RecordOffset(const SectorView& v) {
    return 0x2B0 + static_cast<std::size_t>(2 * v.cylinder + v.head) * 16 * kRecordBytes +
           static_cast<std::size_t>(v.record - 1) * kRecordBytes;
}

// The header and the data bytes the file holds for the sector.
void ExpectAsInFile(const SectorView& view, const Bytes& file) {
    const auto at = file.begin() + static_cast<std::ptrdiff_t>(RecordOffset(view));
    EXPECT_TRUE(std::equal(view.header.bytes.begin(), view.header.bytes.end(), at));
    EXPECT_EQ(view.stored, Bytes(at + 16, at + kRecordBytes));
    for (int i = 0; i < kSectorBytes; ++i)
        ASSERT_EQ(view.machine[i], static_cast<unsigned char>(~view.stored[i]));
}

TEST(SectorViewTest, AddressesByCylinderHeadAndRecord) {
    DiskImage disk;
    disk.Format(3); // 35 cylinders
    const int cases[][4] = {{0, 1, 1, 0},      {0, 1, 16, 15}, {0, 0, 1, 16}, {2, 0, 16, 95},
                            {34, 0, 16, 1119}, {0, 2, 1, -1},  {0, 0, 0, -1}, {0, 0, 17, -1},
                            {35, 1, 1, -1},    {-1, 0, 1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(SectorAt(disk, c[0], c[1], c[2]), c[3]) << c[0] << "/" << c[1] << "/" << c[2];
    ASSERT_EQ(SectorCount(disk), 1120);
    SectorView view;
    for (int sector = 0; sector < SectorCount(disk); ++sector) {
        ASSERT_TRUE(ViewSector(disk, sector, view));
        ASSERT_EQ(SectorAt(disk, view.cylinder, view.head, view.record), sector);
    }
    EXPECT_FALSE(ViewSector(disk, 1120, view));
    EXPECT_FALSE(ViewSector(disk, -1, view));
    EXPECT_EQ(view.sector, 1119); // a refusal leaves the view as it was

    // A new disk was read from no file: it shows what its save writes.
    Bytes saved(static_cast<std::size_t>(disk.GetSavedSize(0)));
    ASSERT_EQ(disk.Save(saved.data(), 0), 0);
    ASSERT_TRUE(ViewSector(disk, 16, view));
    EXPECT_FALSE(view.headerLoaded);
    ExpectAsInFile(view, saved);
    ASSERT_EQ(view.notes.size(), 1u);
    EXPECT_EQ(view.notes[0].code, ViewNoteCode::SectorNotLoaded);
}

// The X1 disk is no MZ file system; its sectors show all the same.
TEST(SectorViewTest, RealImagesShowTheirRecordsAsTheFileHoldsThem) {
    DARVEX_REQUIRE_TESTDATA();
    for (const auto& [name, density] : {std::pair{"x1/x1-hubasic-2d.d88", 0x00},
                                        {"ipls/ipls-2d.d88", 0x40},
                                        {"ipls/ipls-2dd.d88", 0x00}}) {
        SCOPED_TRACE(name);
        const Bytes file = testutil::ReadFileBytes(testutil::TestDataPath(name));
        DiskImage disk;
        ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
        ASSERT_EQ(static_cast<std::size_t>(SectorCount(disk)) * kRecordBytes + 0x2B0, file.size());
        for (int sector = 0; sector < SectorCount(disk); ++sector) {
            SectorView view;
            ASSERT_TRUE(ViewSector(disk, sector, view));
            ASSERT_TRUE(view.headerLoaded && view.notes.empty());
            ASSERT_EQ(view.header.Density(), density);
            ASSERT_NO_FATAL_FAILURE(ExpectAsInFile(view, file)) << sector;
        }
    }
}

TEST(SectorViewTest, RecordsTheFlatImageCannotKeepAreNoted) {
    Bytes data(kSectorBytes, 0x5A);
    auto flagged = testutil::SectorRecord(0, 1, 1, data.data());
    flagged.density = 0x40;
    flagged.deletedMark = 0x10;
    flagged.status = 0xB0;
    const Bytes file = testutil::D88Builder()
                           .AddTrack(0, {testutil::SectorRecord(0, 0, 1, data.data(), 0),
                                         testutil::SectorRecord(0, 0, 2, data.data(), 2),
                                         testutil::SectorRecord(0, 0, 3, data.data()),
                                         testutil::SectorRecord(0, 0, 3, data.data())})
                           .AddTrack(1, {flagged})
                           .Build();
    DiskImage disk;
    ASSERT_EQ(disk.Load(file.data(), file.size(), 0), 0);
    const std::pair<ViewNoteCode, std::size_t> cases[] = {{ViewNoteCode::SectorShortRecord, 128},
                                                          {ViewNoteCode::SectorLongRecord, 256},
                                                          {ViewNoteCode::SectorDuplicate, 256},
                                                          {ViewNoteCode::SectorMissing, 0}};
    SectorView view;
    for (int record = 1; record <= 4; ++record) {
        ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, 0, record), view));
        ASSERT_EQ(view.notes.size(), 1u);
        EXPECT_EQ(view.notes[0].code, cases[record - 1].first);
        EXPECT_EQ(view.stored.size(), cases[record - 1].second);
        EXPECT_EQ(view.header.Record(), record);
    }
    EXPECT_FALSE(view.headerLoaded);
    ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, 0, 2), view));
    EXPECT_EQ(view.notes[0].value, 512);
    ASSERT_TRUE(ViewSector(disk, SectorAt(disk, 0, 1, 1), view));
    EXPECT_TRUE(view.notes.empty());
    EXPECT_EQ(std::vector<int>({view.header.Head(), view.header.Density(),
                                view.header.DeletedMark(), view.header.Status()}),
              std::vector<int>({1, 0x40, 0x10, 0xB0}));

    DirEntry entry;
    for (const auto& [start, shown] : {std::pair{16, 16}, {31, 31}, {32, -1}, {0xFFFF, -1}}) {
        entry.SetStartSector(static_cast<std::uint16_t>(start));
        EXPECT_EQ(FirstSectorOf(disk, entry), shown) << start;
    }
}

} // namespace
